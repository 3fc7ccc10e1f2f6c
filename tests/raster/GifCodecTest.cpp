#include <gtest/gtest.h>

#include "CodecTestPictures.h"
#include "LibraryTestPictures.h"
#include "raster/GifCodec.h"

namespace nimbra {
namespace {

using test::DecodeAs;

const std::vector<TColor32> kPalette = {Color32(0, 0, 0), Color32(255, 0, 0), Color32(0, 200, 0),
                                        Color32(10, 20, 250), Color32(255, 255, 255)};

test::TGifPicture Picture(int width, int height) {
  test::TGifPicture gif{
      .screenWidth = width, .screenHeight = height, .width = width, .height = height};
  gif.palette = kPalette;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) gif.indices.push_back(static_cast<uint8_t>((x + 2 * y) % 5));
  }
  return gif;
}

TColor32 Expected(int x, int y) {
  return kPalette[static_cast<size_t>((x + 2 * y) % 5)];
}

TEST(GifCodecTest, FramesDecodeThroughTheirColourTable) {
  for (const bool interlaced : {false, true}) {
    for (const bool localPalette : {false, true}) {
      test::TGifPicture gif = Picture(11, 13);
      gif.interlaced = interlaced;
      gif.localPalette = localPalette;
      const TBitmap32 decoded = DecodeAs(OpenGifReader, test::GifBytes(gif));
      ASSERT_EQ(decoded.Width(), 11);
      ASSERT_EQ(decoded.Height(), 13);
      for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 11; ++x) {
          ASSERT_EQ(decoded.Pixel(x, y), Expected(x, y)) << x << "," << y << " " << interlaced;
        }
      }
    }
  }
}

TEST(GifCodecTest, TheTransparentIndexAndTheScreenAroundTheFrameAreTransparent) {
  test::TGifPicture gif = Picture(4, 3);
  gif.transparent = 1;
  gif.screenWidth = 7;
  gif.screenHeight = 5;
  gif.left = 2;
  gif.top = 1;
  const TBitmap32 decoded = DecodeAs(OpenGifReader, test::GifBytes(gif));
  ASSERT_EQ(decoded.Width(), 7);
  ASSERT_EQ(decoded.Height(), 5);
  EXPECT_EQ(AlphaComponent(decoded.Pixel(0, 0)), 0);
  EXPECT_EQ(AlphaComponent(decoded.Pixel(6, 4)), 0);
  EXPECT_EQ(decoded.Pixel(2, 1), Expected(0, 0));
  // Frame pixel (1, 0) has index 1, the transparent one.
  EXPECT_EQ(AlphaComponent(decoded.Pixel(3, 1)), 0);
  EXPECT_EQ(decoded.Pixel(5, 3), Expected(3, 2));

  // A frame reaching beyond a smaller screen widens the picture.
  gif.screenWidth = 3;
  gif.screenHeight = 2;
  const TBitmap32 widened = DecodeAs(OpenGifReader, test::GifBytes(gif));
  EXPECT_EQ(widened.Width(), 6);
  EXPECT_EQ(widened.Height(), 4);
}

TEST(GifCodecTest, TruncatedAndHostileFilesRaise) {
  const std::string gif = test::GifBytes(Picture(40, 30));
  // The trailer and the data's closing block carry no pixels.
  EXPECT_EQ(test::CutsThatDecode(OpenGifReader, gif, 2), std::vector<size_t>{});

  // A 1 × 1 frame on a 60000 × 60000 screen: a few bytes cannot describe that picture.
  test::TGifPicture tiny = Picture(1, 1);
  tiny.screenWidth = 60000;
  tiny.screenHeight = 60000;
  EXPECT_THROW(DecodeAs(OpenGifReader, test::GifBytes(tiny)), ECodecError);
  tiny.screenWidth = 3000;
  tiny.screenHeight = 3000;
  EXPECT_THROW(DecodeAs(OpenGifReader, test::GifBytes(tiny)), ECodecError);

  // A 1 × 1 picture of colour 0, with and without a colour table to find colour 0 in.
  const auto handMade = [](bool withTable) {
    test::TBytes bytes;
    bytes.Raw("GIF89a").U16(1).U16(1).U8(withTable ? 0x80 : 0).U8(0).U8(0);
    if (withTable) bytes.U8(10).U8(20).U8(30).U8(0).U8(0).U8(0);
    // Image descriptor, then LZW codes clear (4), 0 and end (5) of three bits each.
    bytes.Raw(",").U16(0).U16(0).U16(1).U16(1).U8(0).U8(2).U8(2).U8(0x44).U8(0x01).U8(0).Raw(";");
    return bytes.Str();
  };
  EXPECT_EQ(DecodeAs(OpenGifReader, handMade(true)).Pixel(0, 0), Color32(10, 20, 30));
  EXPECT_THROW(DecodeAs(OpenGifReader, handMade(false)), ECodecError);
  EXPECT_THROW(DecodeAs(OpenGifReader, "GIF89a"), ECodecError);
  EXPECT_THROW(DecodeAs(OpenGifReader, "not a gif"), ECodecError);
}

}  // namespace
}  // namespace nimbra
