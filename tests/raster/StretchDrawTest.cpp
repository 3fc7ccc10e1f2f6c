#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "raster/StretchDraw.h"

namespace nimbra {
namespace {

// Noise with every alpha, over a page of other noise: rounding differences cannot hide.
TBitmap32 Noise(int width, int height, uint32_t seed, bool opaque) {
  std::mt19937 random(seed);
  TBitmap32 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t c = random();
      bitmap.SetPixel(x, y, opaque ? (c | 0xFF000000u) : c);
    }
  }
  return bitmap;
}

TEST(StretchDrawTest, BlendingStraightGivesThePixelsOfAStretchedCopyBlended) {
  struct TCase {
    int width, height;  // of the stretch
    int left, top;      // where it goes on the 40 × 30 page, partly beyond it in some cases
    TResamplingFilter filter;
    uint8_t masterAlpha;
    bool opaque;
  };
  const TCase cases[] = {
      {25, 17, 3, 4, TResamplingFilter::Lanczos, 255, true},
      {25, 17, 3, 4, TResamplingFilter::Lanczos, 255, false},
      {9, 7, -2, 26, TResamplingFilter::Mitchell, 140, false},
      {50, 37, -5, -3, TResamplingFilter::Mitchell, 255, true},
      {13, 11, 30, 1, TResamplingFilter::Spline, 77, true},
      {31, 5, 2, 2, TResamplingFilter::Nearest, 200, false},
      {16, 12, 10, 10, TResamplingFilter::Box, 255, false},  // the source's own size
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.width << "x" << c.height << " at " << c.left << "," << c.top << " filter "
                 << int(c.filter) << " alpha " << int(c.masterAlpha));
    const TBitmap32 source = Noise(16, 12, 7, c.opaque);
    const TBitmap32 page = Noise(40, 30, 11, true);
    TBitmap32 copy;
    copy.SetSize(c.width, c.height);
    StretchDraw(copy, copy.BoundsRect(), source, c.filter, TDrawMode::Opaque);
    TBitmap32 expected = page;
    DrawBitmap(expected, c.left, c.top, copy, TDrawMode::Blend, c.masterAlpha);
    TBitmap32 straight = page;
    StretchBlendStraight(straight, {c.left, c.top, c.left + c.width, c.top + c.height}, source,
                         c.filter, c.masterAlpha);
    EXPECT_EQ(straight, expected);
  }
}

TEST(StretchDrawTest, ShrinkingAveragesTheCoveredPixels) {
  // Left half red, right half blue, 4 × 2 → 2 × 1 keeps the halves apart.
  TBitmap32 halves(4, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x)
      halves.SetPixel(x, y, x < 2 ? Color32(255, 0, 0) : Color32(0, 0, 255));
  }
  TBitmap32 small(2, 1);
  StretchDrawOpaque(halves, small);
  EXPECT_EQ(small.Pixel(0, 0), Color32(255, 0, 0));
  EXPECT_EQ(small.Pixel(1, 0), Color32(0, 0, 255));

  TBitmap32 one(1, 1);
  StretchDrawOpaque(halves, one);
  EXPECT_EQ(one.Pixel(0, 0), Color32(128, 0, 128));  // 127.5 rounds up
}

TEST(StretchDrawTest, UnevenBoxesShareABorderPixel) {
  // 3 → 2: each target pixel covers one and a half source pixels.
  TBitmap32 row(3, 1);
  row.SetPixel(0, 0, Color32(0, 0, 0));
  row.SetPixel(1, 0, Color32(90, 90, 90));
  row.SetPixel(2, 0, Color32(180, 180, 180));
  TBitmap32 two(2, 1);
  StretchDrawOpaque(row, two);
  EXPECT_EQ(two.Pixel(0, 0), Color32(30, 30, 30));     // (0 + 90 / 2) / 1.5
  EXPECT_EQ(two.Pixel(1, 0), Color32(150, 150, 150));  // (90 / 2 + 180) / 1.5
}

TEST(StretchDrawTest, TransparentPixelsLendNoColour) {
  // Averaged premultiplied, the transparent magenta adds nothing to the green.
  TBitmap32 pair(2, 1);
  pair.SetPixel(0, 0, Color32(0, 255, 0, 255));
  pair.SetPixel(1, 0, Color32(255, 0, 255, 0));
  TBitmap32 one(1, 1);
  StretchDrawOpaque(pair, one);
  EXPECT_EQ(one.Pixel(0, 0), Color32(0, 255, 0, 128));
}

TEST(StretchDrawTest, GrowingReplacesEveryTargetPixel) {
  // Opaque drawing replaces the target's pixels, alpha included, even with transparency.
  TBitmap32 dot(1, 1);
  dot.SetPixel(0, 0, Color32(0, 0, 0, 0));
  TBitmap32 big(3, 2);
  big.Clear(kColor32White);
  StretchDrawOpaque(dot, big);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(big.Pixel(x, y), kColor32Transparent) << x << "," << y;
  }
  dot.SetPixel(0, 0, Color32(1, 2, 3));
  StretchDrawOpaque(dot, big);
  EXPECT_EQ(big.Pixel(2, 1), Color32(1, 2, 3));
  TBitmap32 empty;
  StretchDrawOpaque(empty, big);
  EXPECT_EQ(big.Pixel(0, 0), Color32(1, 2, 3));
}

}  // namespace
}  // namespace nimbra
