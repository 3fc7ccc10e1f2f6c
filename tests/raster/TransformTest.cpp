#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "raster/Transform.h"

namespace nimbra {
namespace {

constexpr TColor32 kSentinel = Color32(1, 2, 3, 4);

TBitmap32 Filled(int width, int height, TColor32 colour) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  return bitmap;
}

TBitmap32 Numbered(int width, int height) {
  TBitmap32 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      bitmap.SetPixel(x, y, Color32(uint8_t(40 * x), uint8_t(60 * y), 200));
  }
  return bitmap;
}

// Turns a w × h picture by the angle about its centre and moves it so that the turned bounding
// box of its pixel centres starts at (dx, dy).
TAffineTransformation TurnAboutCentre(int w, int h, double degrees, double dx, double dy) {
  TAffineTransformation t;
  t.Translate(-(w - 1) / 2.0, -(h - 1) / 2.0);
  t.Rotate(degrees);
  const double r = degrees * std::numbers::pi / 180;
  const double bw = std::fabs((w - 1) * std::cos(r)) + std::fabs((h - 1) * std::sin(r));
  const double bh = std::fabs((w - 1) * std::sin(r)) + std::fabs((h - 1) * std::cos(r));
  t.Translate(bw / 2 + dx, bh / 2 + dy);
  return t;
}

TEST(TransformTest, BuildingStepsApplyInOrderAndInvert) {
  TAffineTransformation t;
  t.Translate(10, 0);
  t.Scale(2, 3);
  EXPECT_EQ(t.Transform({1, 1}), (TFloatPoint{22, 3}));
  TAffineTransformation u;
  u.Scale(2, 3);
  u.Translate(10, 0);
  EXPECT_EQ(u.Transform({1, 1}), (TFloatPoint{12, 3}));

  // Positive angles turn counter-clockwise on a screen whose y grows downward.
  TAffineTransformation turn;
  turn.Rotate(90);
  EXPECT_EQ(turn.Transform({1, 0}), (TFloatPoint{0, -1}));
  turn.Rotate(5, 5, -90);
  EXPECT_EQ(turn.Transform({1, 0}), (TFloatPoint{11, 0}));

  t.Append(turn);
  const TAffineTransformation inverse = t.Inverse();
  const TFloatPoint p = inverse.Transform(t.Transform({3.25, -7.5}));
  EXPECT_NEAR(p.X, 3.25, 1e-12);
  EXPECT_NEAR(p.Y, -7.5, 1e-12);

  TAffineTransformation flat;
  flat.Scale(0, 1);
  EXPECT_FALSE(flat.IsInvertible());
  EXPECT_TRUE(t.IsInvertible());
}

TEST(TransformTest, TransformedBoundsOfATurnedRectangleAreRoundedOutward) {
  TAffineTransformation t;
  t.SetSrcRect({0, 0, 400, 300});
  t.Rotate(90);
  EXPECT_EQ(t.GetTransformedBounds(), (TRect{0, -400, 300, 0}));
  t.Clear();
  t.Rotate(30);
  // Corners (0, 0), (346.4, −200), (150, 259.8), (496.4, 59.8).
  EXPECT_EQ(t.GetTransformedBounds(), (TRect{0, -200, 497, 260}));
  t.Clear();
  t.Rotate(-30);
  EXPECT_EQ(t.GetTransformedBounds(), (TRect{-150, 0, 347, 460}));
  t.Clear();
  t.Rotate(180);
  t.Translate(0.5, 0.25);
  EXPECT_EQ(t.GetTransformedBounds(), (TRect{-400, -300, 1, 1}));
  t.Clear();
  t.Scale(0.5);
  EXPECT_EQ(t.GetTransformedBounds(), (TRect{0, 0, 200, 150}));
}

TEST(TransformTest, AQuarterTurnMovesEveryPixelExactly) {
  const TBitmap32 source = Numbered(5, 3);
  for (TResamplingFilter filter :
       {TResamplingFilter::Nearest, TResamplingFilter::Linear, TResamplingFilter::Lanczos}) {
    for (TDrawMode mode : {TDrawMode::Opaque, TDrawMode::Blend}) {
      // Into a 3 × 5 box one pixel in from the target's corner; the ring around stays untouched.
      TBitmap32 target = Filled(5, 7, kSentinel);
      DrawTransformed(target, source, TurnAboutCentre(5, 3, 90, 1, 1), filter, mode);
      for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 5; ++x) {
          const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 5;
          // Source (sx, sy) goes to (sy, 4 − sx) in the box.
          const TColor32 expected = inside ? source.Pixel(4 - (y - 1), x - 1) : kSentinel;
          ASSERT_EQ(target.Pixel(x, y), expected) << int(filter) << " " << x << "," << y;
        }
      }
    }
  }
}

TEST(TransformTest, EdgesOfATurnedPictureBlendIntoTheTarget) {
  TBitmap32 target = Filled(40, 40, kColor32Black);
  DrawTransformed(target, Filled(20, 20, kColor32White), TurnAboutCentre(20, 20, 45, 5, 5),
                  TResamplingFilter::Lanczos);
  EXPECT_EQ(target.Pixel(19, 19), kColor32White);  // the centre
  EXPECT_EQ(target.Pixel(18, 2), kColor32Black);   // above the top corner
  EXPECT_EQ(target.Pixel(6, 6), kColor32Black);    // outside the diamond
  int partial = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const TColor32 c = target.Pixel(x, y);
      ASSERT_EQ(AlphaComponent(c), 255);
      if (RedComponent(c) > 20 && RedComponent(c) < 235) ++partial;
    }
  }
  EXPECT_GT(partial, 40);  // the four antialiased edges

  // Opaque drawing leaves what lies outside the picture and makes its edges translucent.
  TBitmap32 opaque = Filled(40, 40, kSentinel);
  DrawTransformed(opaque, Filled(20, 20, kColor32White), TurnAboutCentre(20, 20, 45, 5, 5),
                  TResamplingFilter::Linear, TDrawMode::Opaque);
  EXPECT_EQ(opaque.Pixel(19, 19), kColor32White);
  EXPECT_EQ(opaque.Pixel(6, 6), kSentinel);
  EXPECT_EQ(opaque.Pixel(39, 39), kSentinel);
}

TEST(TransformTest, ShrinkingThroughATransformationFiltersFirst) {
  TBitmap32 board(200, 200);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) board.SetPixel(x, y, (x + y) % 2 ? kColor32White : kColor32Black);
  }
  TAffineTransformation t;
  t.Translate(0.5, 0.5);
  t.Scale(0.1);
  t.Translate(-0.5, -0.5);  // pixel areas map onto pixel areas: 200 → 20
  t.Rotate(9.5, 9.5, 3);
  TBitmap32 target = Filled(20, 20, kColor32Black);
  DrawTransformed(target, board, t, TResamplingFilter::Lanczos);
  for (int y = 3; y < 17; ++y) {
    for (int x = 3; x < 17; ++x)
      ASSERT_NEAR(RedComponent(target.Pixel(x, y)), 128, 4) << x << "," << y;
  }
}

TEST(TransformTest, MasterAlphaClippingAndImpossibleTransformations) {
  TAffineTransformation identity;
  TBitmap32 target = Filled(3, 3, Color32(30, 50, 80));
  DrawTransformed(target, Filled(3, 3, Color32(255, 0, 0)), identity, TResamplingFilter::Lanczos,
                  TDrawMode::Blend, 128);
  EXPECT_EQ(target.Pixel(1, 1), Color32(143, 25, 40));

  // Mostly outside the target: only the visible corner is drawn.
  TAffineTransformation away;
  away.Translate(-8, -9);
  TBitmap32 corner = Filled(4, 4, kSentinel);
  DrawTransformed(corner, Numbered(10, 10), away, TResamplingFilter::Nearest, TDrawMode::Opaque);
  EXPECT_EQ(corner.Pixel(0, 0), Numbered(10, 10).Pixel(8, 9));
  EXPECT_EQ(corner.Pixel(1, 0), Numbered(10, 10).Pixel(9, 9));
  EXPECT_EQ(corner.Pixel(2, 0), kSentinel);
  EXPECT_EQ(corner.Pixel(0, 1), kSentinel);

  TBitmap32 untouched = Filled(4, 4, kSentinel);
  TAffineTransformation flat;
  flat.Scale(0, 1);
  DrawTransformed(untouched, Filled(4, 4, kColor32White), flat);
  TAffineTransformation far;
  far.Translate(1e12, 0);
  DrawTransformed(untouched, Filled(4, 4, kColor32White), far);
  DrawTransformed(untouched, TBitmap32(), identity);
  EXPECT_EQ(untouched, Filled(4, 4, kSentinel));
  TBitmap32 empty;
  DrawTransformed(empty, Filled(4, 4, kColor32White), identity);
  // Enlarged a billionfold, one source pixel covers the whole target.
  TAffineTransformation huge;
  huge.Scale(1e9);
  DrawTransformed(untouched, Filled(4, 4, kColor32White), huge);
  EXPECT_EQ(untouched, Filled(4, 4, kColor32White));

  // A 1 × 1 picture turned stays one pixel.
  TBitmap32 dot = Filled(3, 3, kColor32Black);
  DrawTransformed(dot, Filled(1, 1, kColor32White), TurnAboutCentre(1, 1, 90, 1, 1),
                  TResamplingFilter::Linear);
  EXPECT_EQ(dot.Pixel(1, 1), kColor32White);
  EXPECT_EQ(dot.Pixel(0, 1), kColor32Black);
}

// Drawn through the identity, a picture merges exactly as DrawBitmap merges it, which differs
// from blending wherever the target is translucent. (Channels of 0 and 255 survive the
// premultiplied sampling unchanged, so the rule itself is compared.)
TEST(TransformTest, MergeDrawsWithTheEffectsRule) {
  struct TCase {
    TColor32 Foreground, Background;
    uint8_t MasterAlpha;
    bool DiffersFromBlend;
  };
  const TCase cases[] = {
      {Color32(255, 0, 0, 128), Color32(0, 0, 255, 200), 255, true},
      {Color32(255, 0, 255, 90), Color32(0, 255, 0, 60), 255, true},
      {Color32(255, 0, 0, 128), Color32(0, 0, 255, 200), 100, true},
      // Over transparency and at master alpha 0 both rules agree.
      {Color32(255, 255, 0, 128), Color32(0, 0, 255, 0), 255, false},
      {Color32(0, 255, 0, 255), Color32(0, 0, 255, 200), 0, false},
  };
  for (const TCase& c : cases) {
    TBitmap32 merged = Filled(4, 3, c.Background);
    DrawTransformed(merged, Filled(4, 3, c.Foreground), TAffineTransformation(),
                    TResamplingFilter::Nearest, TDrawMode::Merge, c.MasterAlpha);
    TBitmap32 expected = Filled(4, 3, c.Background);
    DrawBitmap(expected, 0, 0, Filled(4, 3, c.Foreground), TDrawMode::Merge, c.MasterAlpha);
    EXPECT_EQ(merged, expected) << std::hex << c.Foreground << " " << c.Background;
    TBitmap32 blended = Filled(4, 3, c.Background);
    DrawTransformed(blended, Filled(4, 3, c.Foreground), TAffineTransformation(),
                    TResamplingFilter::Nearest, TDrawMode::Blend, c.MasterAlpha);
    EXPECT_EQ(merged != blended, c.DiffersFromBlend) << std::hex << c.Foreground;
  }
}

}  // namespace
}  // namespace nimbra
