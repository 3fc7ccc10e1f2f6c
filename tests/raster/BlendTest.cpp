#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "raster/Blend.h"

namespace nimbra {
namespace {

TBitmap32 Filled(int width, int height, TColor32 colour) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  return bitmap;
}

TEST(BlendTest, SourceOverFollowsTheStraightAlphaRule) {
  // Half-transparent red over an opaque colour is blended once.
  EXPECT_EQ(BlendColors(Color32(255, 0, 0, 128), Color32(30, 50, 80)), Color32(143, 25, 40));
  // Master alpha weakens an opaque colour the same way.
  EXPECT_EQ(BlendColors(Color32(255, 0, 0), Color32(30, 50, 80), 128), Color32(143, 25, 40));
  // Both alphas multiply: 255 × 128 × 128 / 255² ≈ 64.25.
  EXPECT_EQ(BlendColors(Color32(255, 255, 255, 128), kColor32Black, 128), Color32(64, 64, 64));
  EXPECT_EQ(BlendColors(Color32(1, 2, 3), Color32(30, 50, 80)), Color32(1, 2, 3));
  EXPECT_EQ(BlendColors(Color32(1, 2, 3, 0), Color32(30, 50, 80, 7)), Color32(30, 50, 80, 7));
  EXPECT_EQ(BlendColors(Color32(1, 2, 3), Color32(30, 50, 80), 0), Color32(30, 50, 80));
  // Over nothing, the colour stays and only its alpha is weakened.
  EXPECT_EQ(BlendColors(Color32(200, 100, 50, 200), Color32(0, 255, 0, 0), 128),
            Color32(200, 100, 50, 100));
  // Over a translucent target: alpha 128/255 + 128/255 × 127/255 → 192; red 170, blue 85.
  EXPECT_EQ(BlendColors(Color32(255, 0, 0, 128), Color32(0, 0, 255, 128)),
            Color32(170, 0, 85, 192));
}

TEST(BlendTest, BlendingAgreesWithTheExactFormulaAndKeepsOpaqueTargetsOpaque) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int i = 0; i < 20000; ++i) {
    const TColor32 f = Color32(byte(random), byte(random), byte(random), byte(random));
    const uint8_t backAlpha = i % 2 ? 255 : static_cast<uint8_t>(byte(random));
    const TColor32 b = Color32(byte(random), byte(random), byte(random), backAlpha);
    const auto master = static_cast<uint8_t>(byte(random));
    const TColor32 result = BlendColors(f, b, master);

    const double a = AlphaComponent(f) / 255.0 * master / 255.0;
    const double t = AlphaComponent(b) / 255.0 * (1 - a);
    const double alpha = (a + t) * 255;
    if (a == 0) {
      EXPECT_EQ(result, b);
      continue;
    }
    if (backAlpha == 255) {
      EXPECT_EQ(AlphaComponent(result), 255);
    }
    EXPECT_LE(std::fabs(AlphaComponent(result) - alpha), 0.5 + 1e-9);
    const auto channel = [&](uint8_t fc, uint8_t bc) { return (fc * a + bc * t) / (a + t); };
    EXPECT_LE(std::fabs(RedComponent(result) - channel(RedComponent(f), RedComponent(b))),
              0.5 + 1e-9);
    EXPECT_LE(std::fabs(BlueComponent(result) - channel(BlueComponent(f), BlueComponent(b))),
              0.5 + 1e-9);
  }
}

TEST(BlendTest, PremultiplyingRoundsAndComesBackWithinItsPrecision) {
  EXPECT_EQ(Premultiply(Color32(200, 100, 50, 128)), Color32(100, 50, 25, 128));
  EXPECT_EQ(Premultiply(Color32(200, 100, 50, 0)), kColor32Transparent);
  for (int alpha = 1; alpha <= 255; ++alpha) {
    for (int c = 0; c <= 255; c += 3) {
      const TColor32 colour = Color32(uint8_t(c), uint8_t(255 - c), 0, uint8_t(alpha));
      const TColor32 back = Unpremultiply(Premultiply(colour));
      // Premultiplying rounds by at most half a level, which unpremultiplying scales by 255/a.
      const double bound = 0.5 * 255 / alpha + 0.5;
      ASSERT_LE(std::abs(RedComponent(back) - c), bound) << alpha << " " << c;
      ASSERT_LE(std::abs(GreenComponent(back) - (255 - c)), bound) << alpha << " " << c;
      ASSERT_EQ(AlphaComponent(back), alpha);
      if (alpha == 255) {
        ASSERT_EQ(back, colour);
      }
    }
  }
  // Premultiplied rows blend as their straight form does.
  const TColor32 straight[3] = {Color32(255, 0, 0, 128), Color32(10, 200, 30), 0x00FFFFFF};
  TColor32 premultiplied[3];
  PremultiplyRow(premultiplied, straight, 3);
  TColor32 viaStraight[3] = {Color32(30, 50, 80), Color32(30, 50, 80), Color32(30, 50, 80)};
  TColor32 viaPremultiplied[3] = {Color32(30, 50, 80), Color32(30, 50, 80), Color32(30, 50, 80)};
  BlendRow(viaStraight, straight, 3, 200);
  BlendPremultipliedRow(viaPremultiplied, premultiplied, 3, 200);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(viaPremultiplied[i], viaStraight[i]) << i;
}

TEST(BlendTest, MixingInterpolatesWithoutDarkeningTowardsTransparency) {
  EXPECT_EQ(MixColors(kColor32Black, kColor32White, 0), kColor32Black);
  EXPECT_EQ(MixColors(kColor32Black, kColor32White, 1), kColor32White);
  EXPECT_EQ(MixColors(kColor32Black, kColor32White, 0.5), Color32(128, 128, 128));
  EXPECT_EQ(MixColors(Color32(255, 0, 0), Color32(0, 0, 0, 0), 0.5), Color32(255, 0, 0, 128));
  EXPECT_EQ(MixColors(kColor32Black, kColor32White, 7), kColor32White);
}

TEST(BlendTest, ARowIsOpaqueOnlyWhenEveryAlphaIs255WhereverTheOddPixelLies) {
  // Lengths around the blocks the test is made in, the odd pixel at each place of the row.
  for (const int count : {0, 1, 15, 16, 17, 31, 32, 33, 64, 70}) {
    std::vector<TColor32> row(static_cast<size_t>(count), 0xFF102030);
    EXPECT_TRUE(RowIsOpaque(row.data(), count)) << count;
    for (int odd = 0; odd < count; ++odd) {
      for (const TColor32 pixel : {0xFE102030u, 0x7F000000u, 0x00FFFFFFu}) {
        row[size_t(odd)] = pixel;
        EXPECT_FALSE(RowIsOpaque(row.data(), count)) << count << " at " << odd;
        row[size_t(odd)] = 0xFF102030;
      }
    }
  }
}

TEST(BlendTest, DrawingABitmapCopiesOrBlendsTheClippedPart) {
  TBitmap32 source(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x)
      source.SetPixel(x, y, Color32(uint8_t(10 * x), uint8_t(10 * y), 0, 128));
  }
  // Opaque copies pixels, alpha included; the part beyond the target's corner is dropped.
  TBitmap32 target = Filled(4, 3, Color32(30, 50, 80));
  DrawBitmap(target, 2, 1, source, TDrawMode::Opaque);
  EXPECT_EQ(target.Pixel(2, 1), source.Pixel(0, 0));
  EXPECT_EQ(target.Pixel(3, 2), source.Pixel(1, 1));
  EXPECT_EQ(target.Pixel(1, 1), Color32(30, 50, 80));
  EXPECT_EQ(target.Pixel(3, 0), Color32(30, 50, 80));

  // Blending at a negative position draws the source's lower right part at the origin.
  target = Filled(4, 3, Color32(30, 50, 80));
  DrawBitmap(target, -1, -1, source, TDrawMode::Blend, 255);
  EXPECT_EQ(target.Pixel(0, 0), BlendColors(source.Pixel(1, 1), Color32(30, 50, 80)));
  EXPECT_EQ(target.Pixel(1, 0), BlendColors(source.Pixel(2, 1), Color32(30, 50, 80)));
  EXPECT_EQ(target.Pixel(2, 0), Color32(30, 50, 80));
  EXPECT_EQ(target.Pixel(0, 1), Color32(30, 50, 80));

  // A source rectangle reaching past the source keeps the part inside at its place.
  target = Filled(4, 3, kColor32Black);
  DrawBitmap(target, 0, 0, source, TRect{2, -1, 9, 1}, TDrawMode::Opaque);
  EXPECT_EQ(target.Pixel(0, 1), source.Pixel(2, 0));
  EXPECT_EQ(target.Pixel(0, 0), kColor32Black);
  EXPECT_EQ(target.Pixel(1, 1), kColor32Black);

  // Far outside, or onto itself, nothing breaks.
  DrawBitmap(target, 2147483647, -2147483647 - 1, source);
  TBitmap32 self = Filled(2, 1, kColor32White);
  self.SetPixel(0, 0, kColor32Black);
  DrawBitmap(self, 1, 0, self, TDrawMode::Opaque);
  EXPECT_EQ(self.Pixel(1, 0), kColor32Black);
}

TEST(BlendTest, FillingSetsOrBlendsOnlyInsideTheTarget) {
  TBitmap32 target = Filled(3, 3, Color32(30, 50, 80));
  FillRect(target, {-5, 1, 2, 99}, Color32(255, 0, 0, 128), TDrawMode::Blend);
  EXPECT_EQ(target.Pixel(0, 1), Color32(143, 25, 40));
  EXPECT_EQ(target.Pixel(1, 2), Color32(143, 25, 40));
  EXPECT_EQ(target.Pixel(2, 1), Color32(30, 50, 80));
  EXPECT_EQ(target.Pixel(0, 0), Color32(30, 50, 80));

  FillRect(target, {1, 0, 3, 1}, Color32(1, 2, 3, 4));  // opaque: set as it is
  EXPECT_EQ(target.Pixel(2, 0), Color32(1, 2, 3, 4));
  FillRect(target, {2, 2, 1, 3}, kColor32Black);  // empty
  EXPECT_EQ(target.Pixel(2, 2), Color32(30, 50, 80));
  TBitmap32 empty;
  FillRect(empty, {0, 0, 5, 5}, kColor32Black);
  EXPECT_TRUE(empty.Empty());
}

TEST(BlendTest, MergingKeepsTheDocumentedCasesAndEveryChannelInRange) {
  const TColor32 f = Color32(200, 10, 120);
  const TColor32 b = Color32(30, 250, 120, 180);
  // The documented corner cases, exactly.
  EXPECT_EQ(MergeColors(f, b, 255), f);
  EXPECT_EQ(MergeColors(f, b, 0), b);
  EXPECT_EQ(MergeColors(ColorWithAlpha(f, 0), b, 255), b);
  EXPECT_EQ(MergeColors(ColorWithAlpha(f, 200), ColorWithAlpha(b, 0), 128),
            ColorWithAlpha(f, 128 * 200 / 255));
  // Every master alpha and foreground alpha over sampled colours: the alpha is the documented
  // c + Ba − Ba × c div 255, and no channel comes out brighter than both colours, which a
  // product of (f − b) wrapped round as unsigned would.
  const uint8_t levels[] = {0, 1, 37, 128, 200, 254, 255};
  for (int master = 0; master <= 255; ++master) {
    for (int fa = 1; fa <= 255; ++fa) {
      const uint32_t c = uint32_t(master) * fa / 255;
      for (uint8_t ba : levels) {
        for (uint8_t fc : levels) {
          const uint8_t bc = static_cast<uint8_t>(255 - fc / 2);
          const TColor32 fg = Color32(fc, bc, fc, uint8_t(fa));
          const TColor32 bg = Color32(bc, fc, 0, ba);
          const TColor32 merged = MergeColors(fg, bg, uint8_t(master));
          if (fa == 255 && (master == 255 || master == 0)) continue;
          const uint32_t alpha = c == 255 || ba == 0 ? c : c + ba - ba * c / 255;
          ASSERT_EQ(AlphaComponent(merged), alpha) << master << " " << fa << " " << int(ba);
          ASSERT_LE(RedComponent(merged), std::max(fc, bc)) << master << " " << fa;
          ASSERT_LE(GreenComponent(merged), std::max(fc, bc)) << master << " " << fa;
          ASSERT_LE(BlueComponent(merged), fc) << master << " " << fa;
        }
      }
    }
  }
  // Drawing with the merge mode merges every pixel, clipped like the other modes.
  TBitmap32 target = Filled(3, 1, b);
  DrawBitmap(target, 1, 0, Filled(4, 1, ColorWithAlpha(f, 90)), TDrawMode::Merge, 200);
  EXPECT_EQ(target.Pixel(0, 0), b);
  EXPECT_EQ(target.Pixel(2, 0), MergeColors(ColorWithAlpha(f, 90), b, 200));
}

}  // namespace
}  // namespace nimbra
