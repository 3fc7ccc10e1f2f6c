#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include "CodecTestPictures.h"
#include "LibraryTestPictures.h"
#include "raster/PictureWriters.h"
#include "raster/PngCodec.h"

namespace nimbra {
namespace {

using test::DecodeAs;

std::string PngOf(const TBitmap32& picture) {
  TMemoryStream stream;
  SavePng(picture, stream);
  return stream.ToString();
}

TEST(PngCodecTest, WrittenPicturesComeBackExactlyWithOrWithoutAlpha) {
  const TBitmap32 translucent = test::TestPattern(13, 7, true);
  EXPECT_EQ(DecodeAs(OpenPngReader, PngOf(translucent)), translucent);
  const TBitmap32 opaque = test::TestPattern(13, 7);
  const std::string opaqueFile = PngOf(opaque);
  EXPECT_EQ(DecodeAs(OpenPngReader, opaqueFile), opaque);
  // Opaque pictures are written without an alpha channel (colour type 2 in the header).
  EXPECT_EQ(opaqueFile[25], 2);
  TMemoryStream sink;
  EXPECT_THROW(SavePng(TBitmap32(), sink), ECodecError);
}

TEST(PngCodecTest, SixteenBitSamplesAreRoundedToEightBits) {
  // RGBA, 16 bits big-endian: 0x1234 rounds to 0x12, 0xFF80 to 0xFF, 0x80FF to 0x80.
  test::TPngPicture png{
      .width = 2, .height = 1, .colourType = PNG_COLOR_TYPE_RGB_ALPHA, .bitDepth = 16};
  png.rows = {
      std::string("\x12\x34\xFF\x80\x80\xFF\xFF\xFF"
                  "\x00\x00\x00\x00\x00\x00\x80\x00",
                  16)};
  const TBitmap32 decoded = DecodeAs(OpenPngReader, test::PngBytes(png));
  EXPECT_EQ(decoded.Pixel(0, 0), Color32(0x12, 0xFF, 0x80, 0xFF));
  EXPECT_EQ(decoded.Pixel(1, 0), Color32(0, 0, 0, 0x80));
}

TEST(PngCodecTest, PalettesGreyAndTransparentKeysBecomeColourWithAlpha) {
  // A 4-bit palette with one translucent and one invisible entry.
  const std::vector<TColor32> palette = {Color32(255, 0, 0), Color32(0, 255, 0, 128),
                                         Color32(0, 0, 255, 0)};
  test::TPngPicture indexed{
      .width = 3, .height = 1, .colourType = PNG_COLOR_TYPE_PALETTE, .bitDepth = 4};
  indexed.palette = palette;
  indexed.rows = {std::string("\x01\x20", 2)};
  const TBitmap32 fromPalette = DecodeAs(OpenPngReader, test::PngBytes(indexed));
  EXPECT_EQ(fromPalette.Pixel(0, 0), palette[0]);
  EXPECT_EQ(fromPalette.Pixel(1, 0), palette[1]);
  EXPECT_EQ(AlphaComponent(fromPalette.Pixel(2, 0)), 0);

  // 2-bit grey: values 0 to 3 widen to 0, 85, 170, 255; value 2 is the transparent key.
  test::TPngPicture grey{.width = 4, .height = 1, .colourType = PNG_COLOR_TYPE_GRAY, .bitDepth = 2};
  grey.rows = {std::string("\x1B", 1)};  // 00 01 10 11
  grey.withTransparentKey = true;
  grey.keyRed = 2;
  const TBitmap32 fromGrey = DecodeAs(OpenPngReader, test::PngBytes(grey));
  EXPECT_EQ(fromGrey.Pixel(0, 0), Color32(0, 0, 0));
  EXPECT_EQ(fromGrey.Pixel(1, 0), Color32(85, 85, 85));
  EXPECT_EQ(AlphaComponent(fromGrey.Pixel(2, 0)), 0);
  EXPECT_EQ(fromGrey.Pixel(3, 0), Color32(255, 255, 255));
  // Without the key every grey is opaque; 16-bit grey rounds like the colour samples.
  grey.withTransparentKey = false;
  const TBitmap32 plainGrey = DecodeAs(OpenPngReader, test::PngBytes(grey));
  EXPECT_EQ(plainGrey.Pixel(2, 0), Color32(170, 170, 170));
  test::TPngPicture deepGrey{.width = 2,
                             .height = 1,
                             .colourType = PNG_COLOR_TYPE_GRAY,
                             .bitDepth = 16,
                             .rows = {std::string("\x12\x34\xFF\x80", 4)}};
  const TBitmap32 fromDeepGrey = DecodeAs(OpenPngReader, test::PngBytes(deepGrey));
  EXPECT_EQ(fromDeepGrey.Pixel(0, 0), Color32(0x12, 0x12, 0x12));
  EXPECT_EQ(fromDeepGrey.Pixel(1, 0), Color32(0xFF, 0xFF, 0xFF));

  test::TPngPicture greyAlpha{.width = 1, .height = 1, .colourType = PNG_COLOR_TYPE_GRAY_ALPHA};
  greyAlpha.rows = {std::string("\x40\x90", 2)};
  EXPECT_EQ(DecodeAs(OpenPngReader, test::PngBytes(greyAlpha)).Pixel(0, 0),
            Color32(0x40, 0x40, 0x40, 0x90));

  test::TPngPicture rgbKey{.width = 2, .height = 1, .colourType = PNG_COLOR_TYPE_RGB};
  rgbKey.rows = {std::string("\x01\x02\x03\x04\x05\x06", 6)};
  rgbKey.withTransparentKey = true;
  rgbKey.keyRed = 4;
  rgbKey.keyGreen = 5;
  rgbKey.keyBlue = 6;
  const TBitmap32 keyed = DecodeAs(OpenPngReader, test::PngBytes(rgbKey));
  EXPECT_EQ(keyed.Pixel(0, 0), Color32(1, 2, 3));
  EXPECT_EQ(AlphaComponent(keyed.Pixel(1, 0)), 0);
}

TEST(PngCodecTest, InterlacedPicturesDecodeLikePlainOnes) {
  const TBitmap32 picture = test::TestPattern(19, 11);
  test::TPngPicture png{
      .width = 19, .height = 11, .colourType = PNG_COLOR_TYPE_RGB, .interlaced = true};
  for (int y = 0; y < 11; ++y) {
    std::string row;
    for (int x = 0; x < 19; ++x) {
      const TColor32 c = picture.Pixel(x, y);
      row += {static_cast<char>(RedComponent(c)), static_cast<char>(GreenComponent(c)),
              static_cast<char>(BlueComponent(c))};
    }
    png.rows.push_back(row);
  }
  EXPECT_EQ(DecodeAs(OpenPngReader, test::PngBytes(png)), picture);
}

TEST(PngCodecTest, TruncatedCorruptAndBombFilesRaise) {
  const std::string png = PngOf(test::TestPattern(30, 20, true));
  // The end chunk (12 bytes) carries nothing of the picture.
  EXPECT_EQ(test::CutsThatDecode(OpenPngReader, png, 12), std::vector<size_t>{});

  std::string badCrc = png;
  badCrc[33 + 8 + 3] ^= 0x55;  // inside the first data chunk
  EXPECT_THROW(DecodeAs(OpenPngReader, badCrc), ECodecError);

  // A header claiming 20000 × 20000 in front of the same small data: deflate cannot expand the
  // few hundred bytes that far, so the file is refused before any row is allocated.
  std::string bomb = png;
  const std::string size("\x00\x00\x4E\x20\x00\x00\x4E\x20", 8);
  bomb.replace(16, 8, size);
  // The header's CRC must match, or libpng refuses it for that reason alone.
  const uint32_t crc =
      static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bomb.data() + 12), 17));
  for (int i = 0; i < 4; ++i)
    bomb[29 + static_cast<size_t>(i)] = static_cast<char>(crc >> (24 - 8 * i));
  EXPECT_THROW(DecodeAs(OpenPngReader, bomb), ECodecError);
  EXPECT_THROW(DecodeAs(OpenPngReader, "\x89PNG\r\n\x1A\n"), ECodecError);
  EXPECT_THROW(DecodeAs(OpenPngReader, "not a png at all"), ECodecError);
}

}  // namespace
}  // namespace nimbra
