#include <gtest/gtest.h>

#include "CodecTestPictures.h"
#include "raster/TargaCodec.h"

namespace nimbra {
namespace {

using test::DecodeAs;
using test::TargaBytes;
using test::TTargaLayout;

std::string Header(int type, int width, int height, int bits, int descriptor) {
  test::TBytes h;
  h.U8(0).U8(0).U8(static_cast<uint32_t>(type)).Zeros(5).U16(0).U16(0);
  h.U16(static_cast<uint32_t>(width)).U16(static_cast<uint32_t>(height));
  h.U8(static_cast<uint32_t>(bits)).U8(static_cast<uint32_t>(descriptor));
  return h.Str();
}

TEST(TargaCodecTest, StoredBytesAreBlueGreenRedFromTheBottomRow) {
  const std::string tga =
      Header(2, 2, 2, 24, 0) + std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C", 12);
  const TBitmap32 decoded = DecodeAs(OpenTargaReader, tga);
  EXPECT_EQ(decoded.Pixel(0, 1), Color32(3, 2, 1));
  EXPECT_EQ(decoded.Pixel(1, 1), Color32(6, 5, 4));
  EXPECT_EQ(decoded.Pixel(0, 0), Color32(9, 8, 7));
  EXPECT_EQ(decoded.Pixel(1, 0), Color32(12, 11, 10));
  // A run packet of three and a raw packet of one, from the top-left origin, in grey.
  const std::string grey = Header(11, 2, 2, 8, 0x20) + std::string("\x82\x40\x00\x90", 4);
  const TBitmap32 fromRuns = DecodeAs(OpenTargaReader, grey);
  EXPECT_EQ(fromRuns.Pixel(0, 0), Color32(0x40, 0x40, 0x40));
  EXPECT_EQ(fromRuns.Pixel(0, 1), Color32(0x40, 0x40, 0x40));
  EXPECT_EQ(fromRuns.Pixel(1, 1), Color32(0x90, 0x90, 0x90));
}

TEST(TargaCodecTest, AllFourOriginsRawAndRunLengthTrueColour) {
  const TBitmap32 pattern = test::TestPattern(7, 5, true);
  const TBitmap32 stripes = test::StripedPicture(9, 5, 3);
  for (const bool top : {false, true}) {
    for (const bool right : {false, true}) {
      for (const int type : {2, 10}) {
        const TBitmap32& picture = type == 2 ? pattern : stripes;
        TTargaLayout layout{.imageType = type,
                            .pixelBits = 32,
                            .topToBottom = top,
                            .rightToLeft = right,
                            .alphaBits = 8};
        EXPECT_EQ(DecodeAs(OpenTargaReader, TargaBytes(picture, layout)), picture)
            << top << right << type;
        layout.pixelBits = 24;
        layout.alphaBits = 0;
        EXPECT_EQ(DecodeAs(OpenTargaReader, TargaBytes(stripes, layout)), stripes)
            << top << right << type;
      }
    }
  }
}

TEST(TargaCodecTest, RunsCrossRowsAndOverlongRunsStopAtThePictureEnd) {
  TBitmap32 uniform(10, 20);
  uniform.Clear(Color32(1, 2, 3));
  uniform.SetPixel(9, 19, Color32(200, 100, 0));
  const std::string tga = TargaBytes(uniform, {.imageType = 10});
  EXPECT_LT(tga.size(), 60u);  // 200 pixels in a few packets spanning many rows
  EXPECT_EQ(DecodeAs(OpenTargaReader, tga), uniform);

  // A run of 128 for a picture of 4 pixels fills it and no more.
  const std::string overlong = Header(10, 2, 2, 24, 0) + std::string("\xFF\x01\x02\x03", 4);
  const TBitmap32 filled = DecodeAs(OpenTargaReader, overlong);
  EXPECT_EQ(filled.Pixel(1, 0), Color32(3, 2, 1));
}

TEST(TargaCodecTest, ColourMapsOfEverySizeAndSixteenBitColour) {
  const TBitmap32 stripes = test::StripedPicture(8, 6, 5);
  for (const int type : {1, 9}) {
    EXPECT_EQ(DecodeAs(OpenTargaReader, TargaBytes(stripes, {.imageType = type, .pixelBits = 8})),
              stripes);
    // Sixteen-bit indices counted from a first entry of 3.
    EXPECT_EQ(DecodeAs(OpenTargaReader,
                       TargaBytes(stripes, {.imageType = type, .pixelBits = 16, .mapFirst = 3})),
              stripes);
    const TBitmap32 translucent = test::TestPattern(4, 3, true);
    EXPECT_EQ(
        DecodeAs(
            OpenTargaReader,
            TargaBytes(translucent,
                       {.imageType = type, .pixelBits = 8, .mapEntryBits = 32, .alphaBits = 8})),
        translucent);
    EXPECT_EQ(
        DecodeAs(OpenTargaReader,
                 TargaBytes(stripes, {.imageType = type, .pixelBits = 8, .mapEntryBits = 16})),
        test::QuantizedTo555(stripes));
  }
  // Sixteen-bit true colour keeps five bits a channel and one bit of alpha.
  const TBitmap32 pattern = test::TestPattern(6, 4, true);
  EXPECT_EQ(DecodeAs(OpenTargaReader,
                     TargaBytes(pattern, {.imageType = 2, .pixelBits = 16, .alphaBits = 1})),
            test::QuantizedTo555(pattern));
  TBitmap32 opaque555 = test::QuantizedTo555(test::TestPattern(6, 4));
  EXPECT_EQ(DecodeAs(OpenTargaReader,
                     TargaBytes(test::TestPattern(6, 4), {.imageType = 10, .pixelBits = 16})),
            opaque555);
}

TEST(TargaCodecTest, GreyPicturesAndAlphaThatIsNotMeant) {
  TBitmap32 grey(5, 3);
  for (int i = 0; i < 15; ++i) {
    const auto v = static_cast<uint8_t>(i * 17);
    grey.SetPixel(i % 5, i / 5, Color32(v, v, v, static_cast<uint8_t>(255 - i)));
  }
  EXPECT_EQ(DecodeAs(OpenTargaReader,
                     TargaBytes(grey, {.imageType = 11, .pixelBits = 16, .alphaBits = 8})),
            grey);

  // 32 bits without alpha bits in the header: the fourth byte is not alpha.
  TBitmap32 invisible = test::TestPattern(3, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) invisible.SetPixel(x, y, invisible.Pixel(x, y) & 0x00FFFFFF);
  }
  const TBitmap32 opaque = test::TestPattern(3, 3);
  EXPECT_EQ(DecodeAs(OpenTargaReader, TargaBytes(invisible, {.pixelBits = 32, .alphaBits = 0})),
            opaque);
  // Alpha bits, but every alpha 0: a writer that did not mean it.
  EXPECT_EQ(DecodeAs(OpenTargaReader, TargaBytes(invisible, {.pixelBits = 32, .alphaBits = 8})),
            opaque);
}

TEST(TargaCodecTest, TruncatedAndHostileFilesRaise) {
  const TBitmap32 stripes = test::StripedPicture(12, 9, 4);
  for (const int type : {2, 10, 9}) {
    const std::string tga =
        TargaBytes(stripes, {.imageType = type, .pixelBits = type == 9 ? 8 : 24});
    EXPECT_EQ(test::CutsThatDecode(OpenTargaReader, tga, 0), std::vector<size_t>{}) << type;
  }
  // Sizes the data cannot hold, raw and run-length encoded.
  EXPECT_THROW(DecodeAs(OpenTargaReader, Header(2, 10000, 10000, 24, 0) + std::string(300, 'x')),
               ECodecError);
  EXPECT_THROW(
      DecodeAs(OpenTargaReader, Header(10, 10000, 10000, 24, 0) + std::string(300, '\xFF')),
      ECodecError);
  EXPECT_THROW(DecodeAs(OpenTargaReader, Header(2, 0, 5, 24, 0)), ECodecError);
  // Unknown types and sizes, a colour-mapped picture without a map, an index outside the map.
  EXPECT_THROW(DecodeAs(OpenTargaReader, Header(4, 1, 1, 24, 0) + "abc"), ECodecError);
  EXPECT_THROW(DecodeAs(OpenTargaReader, Header(2, 1, 1, 12, 0) + "abc"), ECodecError);
  EXPECT_THROW(DecodeAs(OpenTargaReader, Header(1, 1, 1, 8, 0) + "a"), ECodecError);
  std::string outside = TargaBytes(stripes, {.imageType = 1, .pixelBits = 8});
  outside.back() = '\x7F';
  EXPECT_THROW(DecodeAs(OpenTargaReader, outside), ECodecError);
  // An identification field longer than the file.
  std::string longId = Header(2, 1, 1, 24, 0) + "abc";
  longId[0] = '\xFF';
  EXPECT_THROW(DecodeAs(OpenTargaReader, longId), ECodecError);
}

}  // namespace
}  // namespace nimbra
