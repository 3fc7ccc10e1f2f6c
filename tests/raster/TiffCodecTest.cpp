#include <gtest/gtest.h>
#include <tiffio.h>

#include "CodecTestPictures.h"
#include "LibraryTestPictures.h"
#include "raster/TiffCodec.h"

namespace nimbra {
namespace {

using test::DecodeAs;

TEST(TiffCodecTest, RgbPicturesDecodeExactlyWhateverTheCompression) {
  const TBitmap32 picture = test::TestPattern(9, 5);
  for (const int compression : {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_ADOBE_DEFLATE}) {
    const std::string tiff = test::TiffBytes(picture, {.compression = compression});
    EXPECT_EQ(DecodeAs(OpenTiffReader, tiff), picture) << compression;
  }
}

TEST(TiffCodecTest, UnassociatedAlphaComesBackUnpremultiplied) {
  TBitmap32 picture(4, 1);
  picture.SetPixel(0, 0, Color32(200, 100, 50, 255));
  picture.SetPixel(1, 0, Color32(200, 100, 50, 128));
  picture.SetPixel(2, 0, Color32(17, 33, 250, 200));
  picture.SetPixel(3, 0, Color32(0, 0, 0, 0));
  const TBitmap32 decoded = DecodeAs(OpenTiffReader, test::TiffBytes(picture, {.alpha = true}));
  ASSERT_EQ(decoded.Width(), 4);
  EXPECT_EQ(decoded.Pixel(0, 0), picture.Pixel(0, 0));
  // libtiff hands alpha over premultiplied; undoing it loses at most a step of 255 / alpha.
  EXPECT_LE(test::MaxChannelDifference(decoded, picture), 2);
  EXPECT_EQ(AlphaComponent(decoded.Pixel(1, 0)), 128);
  EXPECT_EQ(AlphaComponent(decoded.Pixel(3, 0)), 0);
}

TEST(TiffCodecTest, TheOrientationTagTurnsThePictureUpright) {
  // Stored 3 × 2: red top-left; with orientation 6 the stored top row is the right column.
  TBitmap32 stored(3, 2);
  stored.Clear(Color32(9, 9, 9));
  stored.SetPixel(0, 0, Color32(255, 0, 0));
  stored.SetPixel(2, 1, Color32(0, 0, 255));
  const TBitmap32 upright = DecodeAs(OpenTiffReader, test::TiffBytes(stored, {.orientation = 6}));
  ASSERT_EQ(upright.Width(), 2);
  ASSERT_EQ(upright.Height(), 3);
  EXPECT_EQ(upright.Pixel(1, 0), Color32(255, 0, 0));
  EXPECT_EQ(upright.Pixel(0, 2), Color32(0, 0, 255));
  // Orientation 4 (bottom-left origin) only flips.
  const TBitmap32 flipped = DecodeAs(OpenTiffReader, test::TiffBytes(stored, {.orientation = 4}));
  EXPECT_EQ(flipped.Pixel(0, 1), Color32(255, 0, 0));
}

TEST(TiffCodecTest, TruncatedAndHostileFilesRaise) {
  const std::string tiff =
      test::TiffBytes(test::TestPattern(16, 12), {.compression = COMPRESSION_LZW});
  EXPECT_EQ(test::CutsThatDecode(OpenTiffReader, tiff, 0), std::vector<size_t>{});

  // The same file claiming 30000 × 30000 pixels.
  const TBitmap32 small = test::TestPattern(2, 2);
  std::string huge = test::TiffBytes(small, {});
  // Rewrite the values of the width and length entries (tags 256 and 257) in the directory.
  const auto byte = [&](size_t at) { return uint32_t{static_cast<uint8_t>(huge[at])}; };
  const uint32_t directory = byte(4) | (byte(5) << 8) | (byte(6) << 16) | (byte(7) << 24);
  const size_t entries = byte(directory);
  for (size_t i = 0; i < entries; ++i) {
    const size_t entry = directory + 2 + 12 * i;
    const uint32_t tag = byte(entry) | (byte(entry + 1) << 8);
    if (tag == 256 || tag == 257) {
      huge[entry + 8] = '\x30';
      huge[entry + 9] = '\x75';  // 30000
    }
  }
  EXPECT_THROW(DecodeAs(OpenTiffReader, huge), ECodecError);
  EXPECT_THROW(DecodeAs(OpenTiffReader, std::string("II*\0\x08\0\0\0garbage", 15)), ECodecError);
  EXPECT_THROW(DecodeAs(OpenTiffReader, "not a tiff"), ECodecError);
}

}  // namespace
}  // namespace nimbra
