#include <gtest/gtest.h>

#include "CodecTestPictures.h"
#include "LibraryTestPictures.h"
#include "raster/JpegCodec.h"
#include "raster/PictureWriters.h"

namespace nimbra {
namespace {

using test::DecodeAs;
using test::MaxChannelDifference;

TBitmap32 Gradient(int width, int height) {
  TBitmap32 picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      picture.SetPixel(
          x, y,
          Color32(static_cast<uint8_t>(x * 255 / width), static_cast<uint8_t>(y * 255 / height),
                  static_cast<uint8_t>(128 + (x - y) / 4)));
    }
  }
  return picture;
}

std::string JpegOf(const TBitmap32& picture, int quality = 95) {
  TMemoryStream stream;
  SaveJpeg(picture, stream, quality);
  return stream.ToString();
}

size_t MarkerAt(const std::string& bytes, uint8_t marker) {
  const size_t at = bytes.find(std::string{'\xFF', static_cast<char>(marker)});
  EXPECT_NE(at, std::string::npos);
  return at;
}

std::string WithSize(std::string jpeg, int width, int height) {
  const size_t sof = MarkerAt(jpeg, 0xC0);
  jpeg[sof + 5] = static_cast<char>(height >> 8);
  jpeg[sof + 6] = static_cast<char>(height & 0xFF);
  jpeg[sof + 7] = static_cast<char>(width >> 8);
  jpeg[sof + 8] = static_cast<char>(width & 0xFF);
  return jpeg;
}

TEST(JpegCodecTest, WrittenPicturesDecodeCloseToTheOriginalAndOpaque) {
  const TBitmap32 original = Gradient(40, 24);
  const TBitmap32 decoded = DecodeAs(OpenJpegReader, JpegOf(original));
  EXPECT_LE(MaxChannelDifference(decoded, original), 8);

  // Lower quality buys a smaller file; out-of-range qualities are clamped, not refused.
  EXPECT_LT(JpegOf(original, 30).size(), JpegOf(original, 95).size());
  EXPECT_LE(MaxChannelDifference(DecodeAs(OpenJpegReader, JpegOf(original, 500)), original), 8);
  EXPECT_EQ(DecodeAs(OpenJpegReader, JpegOf(original, -3)).Width(), 40);

  // JPEG keeps no alpha: a translucent pixel comes back opaque.
  TBitmap32 translucent = original;
  translucent.SetPixel(0, 0, Color32(10, 20, 30, 40));
  EXPECT_EQ(AlphaComponent(DecodeAs(OpenJpegReader, JpegOf(translucent)).Pixel(0, 0)), 255);
  TMemoryStream sink;
  EXPECT_THROW(SaveJpeg(TBitmap32(), sink), ECodecError);
}

TEST(JpegCodecTest, GreyAndCmykPicturesBecomeRgb) {
  test::TJpegPicture grey{.width = 16, .height = 8, .components = 1};
  for (int i = 0; i < 16 * 8; ++i) grey.samples += static_cast<char>(i * 2);
  const TBitmap32 decodedGrey = DecodeAs(OpenJpegReader, test::JpegBytes(grey));
  ASSERT_EQ(decodedGrey.Width(), 16);
  const TColor32 g = decodedGrey.Pixel(5, 3);
  EXPECT_NEAR(RedComponent(g), (3 * 16 + 5) * 2, 4);
  EXPECT_EQ(RedComponent(g), GreenComponent(g));
  EXPECT_EQ(RedComponent(g), BlueComponent(g));
  EXPECT_EQ(AlphaComponent(g), 255);

  // Adobe's inverted CMYK: red is no cyan, full magenta and yellow, no black.
  for (const bool ycck : {false, true}) {
    test::TJpegPicture cmyk{.width = 8, .height = 8, .components = 4, .storeAsYcck = ycck};
    for (int i = 0; i < 64; ++i)
      cmyk.samples +=
          i < 32 ? std::string("\xFF\x00\x00\xFF", 4) : std::string("\xFF\xFF\xFF\x80", 4);
    const TBitmap32 decoded = DecodeAs(OpenJpegReader, test::JpegBytes(cmyk));
    const TColor32 red = decoded.Pixel(2, 1);
    EXPECT_GE(RedComponent(red), 245) << ycck;
    EXPECT_LE(GreenComponent(red), 10) << ycck;
    EXPECT_LE(BlueComponent(red), 10) << ycck;
    // Half black on white paper is middle grey.
    EXPECT_NEAR(RedComponent(decoded.Pixel(2, 6)), 128, 6) << ycck;
    // Converted rows are averaged down like any others: the red top half stays red.
    const TBitmap32 reduced = DecodeAs(OpenJpegReader, test::JpegBytes(cmyk), {6, 6});
    ASSERT_EQ(reduced.Width(), 6) << ycck;
    EXPECT_GE(RedComponent(reduced.Pixel(3, 0)), 240) << ycck;
    EXPECT_LE(GreenComponent(reduced.Pixel(3, 0)), 15) << ycck;
  }
}

TEST(JpegCodecTest, ScaleIsTheLargestPowerOfTwoReductionThatStillCoversTheHint) {
  EXPECT_EQ(JpegScaleDenominator(64, 48, {}, false), 1);
  EXPECT_EQ(JpegScaleDenominator(64, 48, {8, 6}, false), 8);
  EXPECT_EQ(JpegScaleDenominator(64, 48, {9, 6}, false), 4);
  EXPECT_EQ(JpegScaleDenominator(64, 48, {16, 12}, false), 4);
  EXPECT_EQ(JpegScaleDenominator(64, 48, {17, 12}, false), 2);
  EXPECT_EQ(JpegScaleDenominator(64, 48, {32, 24}, false), 2);
  EXPECT_EQ(JpegScaleDenominator(64, 48, {33, 1}, false), 1);
  EXPECT_EQ(JpegScaleDenominator(64, 48, {100, 100}, false), 1);
  // A free dimension leaves the choice to the other one.
  EXPECT_EQ(JpegScaleDenominator(64, 48, {0, 13}, false), 2);
  // libjpeg rounds reduced sizes up: 100 / 8 gives 13 pixels.
  EXPECT_EQ(JpegScaleDenominator(100, 75, {13, 10}, false), 8);
  EXPECT_EQ(JpegScaleDenominator(100, 75, {14, 10}, false), 4);
  // A picture turned by 90° afterwards meets the hint's width with its stored height.
  EXPECT_EQ(JpegScaleDenominator(64, 32, {16, 32}, true), 2);
  EXPECT_EQ(JpegScaleDenominator(64, 32, {16, 32}, false), 1);
}

TEST(JpegCodecTest, HintedDecodesJustCoverTheHintAndShowTheSamePicture) {
  const TBitmap32 original = Gradient(100, 75);
  const std::string jpeg = JpegOf(original);
  const TBitmap32 full = DecodeAs(OpenJpegReader, jpeg);
  struct TCase {
    TDecodeHint hint;
    int width;
    int height;
  };
  // {13, 10} is met by an eighth exactly; the others are decoded at a quarter (25 × 19), a half
  // (50 × 38) or full size and averaged down to the hint's binding dimension.
  for (const TCase& c : {TCase{{}, 100, 75}, TCase{{13, 10}, 13, 10}, TCase{{20, 10}, 20, 15},
                         TCase{{26, 19}, 26, 20}, TCase{{51, 1}, 51, 38}, TCase{{0, 60}, 80, 60},
                         TCase{{100, 75}, 100, 75}}) {
    const TBitmap32 scaled = DecodeAs(OpenJpegReader, jpeg, c.hint);
    ASSERT_EQ(scaled.Width(), c.width) << c.hint.MinimumWidth;
    ASSERT_EQ(scaled.Height(), c.height) << c.hint.MinimumWidth;
    // A smooth picture reduced looks like the full one sampled at the same place.
    for (const auto& [x, y] :
         {std::pair{1, 1}, {c.width / 2, c.height / 2}, {c.width - 2, c.height - 2}}) {
      const TColor32 a = scaled.Pixel(x, y);
      const TColor32 b =
          full.Pixel((2 * x + 1) * 100 / (2 * c.width), (2 * y + 1) * 75 / (2 * c.height));
      EXPECT_NEAR(RedComponent(a), RedComponent(b), 20);
      EXPECT_NEAR(GreenComponent(a), GreenComponent(b), 20);
      EXPECT_EQ(AlphaComponent(a), 255);
    }
  }
}

TEST(JpegCodecTest, ExifOrientationSixTurnsAFourByTwoPictureUpright) {
  // Stored 4 × 2: red top-left, blue bottom-right, grey elsewhere.
  TBitmap32 stored(4, 2);
  stored.Clear(Color32(128, 128, 128));
  stored.SetPixel(0, 0, Color32(255, 0, 0));
  stored.SetPixel(3, 1, Color32(0, 0, 255));
  const std::string jpeg = JpegOf(stored, 100);

  const TBitmap32 upright = DecodeAs(OpenJpegReader, test::WithExifOrientation(jpeg, 6));
  ASSERT_EQ(upright.Width(), 2);
  ASSERT_EQ(upright.Height(), 4);
  // Turned clockwise: the stored top row becomes the right column.
  TBitmap32 expected(2, 4);
  expected.Clear(Color32(128, 128, 128));
  expected.SetPixel(1, 0, Color32(255, 0, 0));
  expected.SetPixel(0, 3, Color32(0, 0, 255));
  EXPECT_LE(MaxChannelDifference(upright, expected), 16);

  // Big-endian EXIF, turned counter-clockwise: the stored top row becomes the left column.
  const TBitmap32 left = DecodeAs(OpenJpegReader, test::WithExifOrientation(jpeg, 8, true));
  ASSERT_EQ(left.Width(), 2);
  EXPECT_GE(RedComponent(left.Pixel(0, 3)), 235);
  EXPECT_GE(BlueComponent(left.Pixel(1, 0)), 235);
  // An orientation outside 1 to 8 leaves the picture as stored.
  EXPECT_EQ(DecodeAs(OpenJpegReader, test::WithExifOrientation(jpeg, 9)).Width(), 4);
}

TEST(JpegCodecTest, HintOfATurnedPictureAppliesToItsUprightSize) {
  const std::string jpeg = test::WithExifOrientation(JpegOf(Gradient(64, 32)), 6);
  const TBitmap32 decoded = DecodeAs(OpenJpegReader, jpeg, {16, 32});
  EXPECT_EQ(decoded.Width(), 16);
  EXPECT_EQ(decoded.Height(), 32);
  // Decoded at half size (32 × 16 as stored), averaged down to 24 × 12, then turned.
  const TBitmap32 reduced = DecodeAs(OpenJpegReader, jpeg, {12, 24});
  EXPECT_EQ(reduced.Width(), 12);
  EXPECT_EQ(reduced.Height(), 24);
}

TEST(JpegCodecTest, ProgressivePicturesDecodeAndRefuseTruncation) {
  test::TJpegPicture picture{.width = 24, .height = 16, .components = 3, .progressive = true};
  for (int i = 0; i < 24 * 16; ++i) picture.samples += std::string{static_cast<char>(i), 90, 30};
  const std::string jpeg = test::JpegBytes(picture);
  EXPECT_EQ(DecodeAs(OpenJpegReader, jpeg).Width(), 24);
  EXPECT_EQ(DecodeAs(OpenJpegReader, jpeg, {6, 4}).Width(), 6);
  EXPECT_EQ(test::CutsThatDecode(OpenJpegReader, jpeg, 2), std::vector<size_t>{});
}

TEST(JpegCodecTest, TruncatedCorruptAndHostileFilesRaise) {
  const std::string jpeg = JpegOf(Gradient(48, 40));
  // Everything but the end marker is needed.
  EXPECT_EQ(test::CutsThatDecode(OpenJpegReader, jpeg, 2), std::vector<size_t>{});
  EXPECT_EQ(DecodeAs(OpenJpegReader, jpeg.substr(0, jpeg.size() - 2)).Width(), 48);

  // A Huffman table with more codes than its lengths allow.
  std::string badTable = jpeg;
  badTable[MarkerAt(badTable, 0xC4) + 5 + 15] = static_cast<char>(0xFF);
  EXPECT_THROW(DecodeAs(OpenJpegReader, badTable), ECodecError);

  // Sizes that the file cannot hold are refused before anything of that size is allocated.
  EXPECT_THROW(DecodeAs(OpenJpegReader, WithSize(jpeg, 60000, 60000)), ECodecError);
  EXPECT_THROW(DecodeAs(OpenJpegReader, WithSize(jpeg, 8000, 6000)), ECodecError);
  EXPECT_THROW(DecodeAs(OpenJpegReader, WithSize(jpeg, 0, 40)), ECodecError);
  EXPECT_THROW(DecodeAs(OpenJpegReader, std::string("\xFF\xD8\xFF\xD9", 4)), ECodecError);
  EXPECT_THROW(DecodeAs(OpenJpegReader, "GIF89a not a jpeg"), ECodecError);
}

}  // namespace
}  // namespace nimbra
