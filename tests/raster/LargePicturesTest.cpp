// Files of a few hundred kilobytes that claim pictures of up to 268 million pixels: each is
// refused, or decoded no larger than what drawing it into a box asks for. The bombs are refused
// before anything is decoded; the large pictures that are accepted (ShownSizeTest reads their
// headers, PictureBoxBench draws them into a 1920 × 1080 box) are decoded here at an eighth of
// their size into a box of an eighth, which reduces them by the same ratios in a fraction of the
// time.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CodecTestPictures.h"
#include "LargePictureFiles.h"
#include "raster/CodecError.h"

namespace nimbra {
namespace {

constexpr int kBoxWidth = 1920 / 8;
constexpr int kBoxHeight = 1080 / 8;

// What the picture element asks for: twice the box the picture fits into.
TDecodeHint HintForBox(int width, int height) {
  const double scale = std::min(double(kBoxWidth) / width, double(kBoxHeight) / height);
  return {2 * std::max(1, int(width * scale)), 2 * std::max(1, int(height * scale))};
}

struct TCase {
  std::string name;
  std::string extension;
  std::string bytes;
  int width;
  int height;
  bool refused;
};

TEST(LargePicturesTest, AreRefusedOrDecodedNoLargerThanTheHint) {
  using namespace test;
  const std::vector<TCase> cases = {
      {"png bomb", "png", BlankPng(268435456, 1), 268435456, 1, true},
      {"tiff bomb", "tif", BlankTiff(268435456, 1, 1), 268435456, 1, true},
      {"tall png bomb", "png", BlankPng(1, 268435456), 1, 268435456, true},
      {"progressive jpeg", "jpg", BlankJpeg(16000, 16000, true), 16000, 16000, true},
      {"bmp", "bmp", BlankRunLengthBmp(16384, 16384), 16384, 16384, true},
      {"png", "png", BlankPng(2048, 2048), 2048, 2048, false},
      {"interlaced png", "png", BlankPng(2048, 2048, true), 2048, 2048, false},
      {"tiff", "tif", BlankTiff(2000, 2000, 16), 2000, 2000, false},
      {"targa", "tga", BlankTarga(8191, 512), 8191, 512, false},
      {"baseline jpeg", "jpg", BlankJpeg(2000, 2000, false), 2000, 2000, false},
      {"smaller progressive jpeg", "jpg", BlankJpeg(2000, 2000, true), 2000, 2000, false},
  };
  for (const TCase& c : cases) {
    const TPictureReaderOpener open = ReaderFor(c.extension);
    const TDecodeHint hint = HintForBox(c.width, c.height);
    if (c.refused) {
      EXPECT_THROW(DecodeAs(open, c.bytes, hint), ECodecError) << c.name;
      continue;
    }
    const TBitmap32 picture = DecodeAs(open, c.bytes, hint);
    EXPECT_GE(picture.Width(), hint.MinimumWidth) << c.name;
    EXPECT_GE(picture.Height(), hint.MinimumHeight) << c.name;
    // Reducing keeps the proportions, so the side that does not bind may round up by one.
    EXPECT_LE(picture.Width(), hint.MinimumWidth + 1) << c.name;
    EXPECT_LE(picture.Height(), hint.MinimumHeight + 1) << c.name;
  }
}

}  // namespace
}  // namespace nimbra
