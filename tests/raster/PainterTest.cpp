#include <gtest/gtest.h>

#include <vector>

#include "raster/Painter.h"

namespace nimbra {
namespace {

constexpr TColor32 kBackground = Color32(30, 50, 80);

TBitmap32 Filled(int width, int height, TColor32 colour) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  return bitmap;
}

int CountPixels(const TBitmap32& bitmap, TColor32 colour) {
  int n = 0;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) n += bitmap.Pixel(x, y) == colour;
  }
  return n;
}

TEST(PainterTest, FilledEllipsesCoverTheirInsideAndBlendTranslucentColoursOnce) {
  TBitmap32 bitmap = Filled(30, 24, kBackground);
  {
    TPainter painter(bitmap);
    ASSERT_TRUE(painter.IsActive());
    // Through the centres of columns 5 … 24 and rows 2 … 21.
    painter.FillEllipse({5, 2, 24, 21}, Color32(255, 0, 0, 128));
  }
  EXPECT_EQ(bitmap.Pixel(14, 11), Color32(143, 25, 40));
  // The leftmost pixel is partly covered: antialiased, less than the full blend.
  EXPECT_GT(RedComponent(bitmap.Pixel(5, 11)), RedComponent(kBackground));
  EXPECT_LT(RedComponent(bitmap.Pixel(5, 11)), 143);
  EXPECT_EQ(bitmap.Pixel(5, 2), kBackground);  // the bounding box's corner lies outside
  for (int y = 0; y < 24; ++y) {
    EXPECT_EQ(bitmap.Pixel(3, y), kBackground);
    EXPECT_EQ(bitmap.Pixel(26, y), kBackground);
  }
  for (int x = 0; x < 30; ++x) EXPECT_EQ(bitmap.Pixel(x, 0), kBackground);
  // Every touched pixel stays opaque, and none is more than the colour blended once.
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 30; ++x) {
      ASSERT_EQ(AlphaComponent(bitmap.Pixel(x, y)), 255);
      ASSERT_LE(RedComponent(bitmap.Pixel(x, y)), 143);
    }
  }
}

TEST(PainterTest, OutlinesAndAliasedShapesTouchOnlyTheirEdge) {
  TBitmap32 bitmap = Filled(30, 30, kBackground);
  {
    TPainter painter(bitmap);
    painter.DrawEllipse({2, 2, 27, 27}, kColor32White);
  }
  EXPECT_EQ(bitmap.Pixel(14, 14), kBackground);
  EXPECT_NE(bitmap.Pixel(14, 2), kBackground);
  EXPECT_NE(bitmap.Pixel(2, 14), kBackground);
  EXPECT_EQ(bitmap.Pixel(0, 0), kBackground);
  EXPECT_EQ(bitmap.Pixel(14, 0), kBackground);

  // Without antialiasing a pixel is either the colour or untouched.
  bitmap.Clear(kBackground);
  {
    TPainter painter(bitmap);
    painter.SetAntialiasing(false);
    painter.FillEllipse({2, 2, 27, 27}, kColor32White);
  }
  const int white = CountPixels(bitmap, kColor32White);
  EXPECT_EQ(white + CountPixels(bitmap, kBackground), 30 * 30);
  EXPECT_NEAR(white, 3.14159 * 12.5 * 12.5, 15);
}

TEST(PainterTest, PolygonsAndWideLinesBlendOnceWhereTheyCrossThemselves) {
  // A five-pointed star drawn in one stroke: its middle is wound twice.
  const std::vector<TFloatPoint> star = {
      {10, 1}, {15.3, 17.3}, {1.4, 7.2}, {18.6, 7.2}, {4.7, 17.3}};
  TBitmap32 bitmap = Filled(20, 20, kBackground);
  {
    TPainter painter(bitmap);
    painter.FillPolygon(star, Color32(255, 0, 0, 128), TFillRule::Winding);
  }
  EXPECT_EQ(bitmap.Pixel(10, 10), Color32(143, 25, 40));  // the middle, once
  EXPECT_EQ(bitmap.Pixel(10, 4), Color32(143, 25, 40));   // the top point
  EXPECT_EQ(bitmap.Pixel(4, 12), kBackground);            // between two points
  bitmap.Clear(kBackground);
  {
    TPainter painter(bitmap);
    painter.FillPolygon(star, Color32(255, 0, 0, 128), TFillRule::EvenOdd);
  }
  EXPECT_EQ(bitmap.Pixel(10, 10), kBackground);
  EXPECT_EQ(bitmap.Pixel(10, 4), Color32(143, 25, 40));

  // A closed square stroked three pixels wide: the corners overlap only in the outline's path.
  bitmap.Clear(kBackground);
  {
    TPainter painter(bitmap);
    const std::vector<TFloatPoint> square = {{3, 3}, {16, 3}, {16, 16}, {3, 16}};
    painter.DrawPolyline(square, Color32(255, 0, 0, 128), 3, true);
  }
  for (const int i : {2, 3, 4}) {
    EXPECT_EQ(bitmap.Pixel(i, i), Color32(143, 25, 40)) << i;
    EXPECT_EQ(bitmap.Pixel(10, i), Color32(143, 25, 40)) << i;
  }
  EXPECT_EQ(bitmap.Pixel(10, 10), kBackground);
  EXPECT_EQ(bitmap.Pixel(1, 1), kBackground);

  // A one-pixel line between two pixel centres; its flat ends cut the end pixels in half.
  bitmap.Clear(kBackground);
  {
    TPainter painter(bitmap);
    painter.DrawLine({0, 5}, {19, 5}, kColor32Black, 1);
  }
  for (int x = 1; x < 19; ++x) EXPECT_EQ(bitmap.Pixel(x, 5), kColor32Black) << x;
  EXPECT_EQ(bitmap.Pixel(0, 5), Color32(15, 25, 40));
  EXPECT_EQ(bitmap.Pixel(19, 5), Color32(15, 25, 40));
  EXPECT_EQ(CountPixels(bitmap, kBackground), 20 * 20 - 20);
}

TEST(PainterTest, ShapesAreClippedAndEmptyBitmapsAreLeftAlone) {
  TBitmap32 bitmap = Filled(10, 10, kBackground);
  {
    TPainter painter(bitmap);
    painter.FillEllipse({-10, -10, 4, 4}, kColor32White);
    painter.FillEllipse({5000, 5000, 9000, 9000}, kColor32White);
    painter.FillPolygon(std::vector<TFloatPoint>{{0, 0}, {3, 3}}, kColor32White);  // no area
  }
  EXPECT_EQ(bitmap.Pixel(0, 0), kColor32White);
  EXPECT_EQ(bitmap.Pixel(9, 9), kBackground);
  EXPECT_EQ(bitmap.Pixel(5, 0), kBackground);

  // Translucent pixels the shape does not touch keep their exact values.
  TBitmap32 faint = Filled(12, 12, Color32(201, 7, 13, 3));
  {
    TPainter painter(faint);
    painter.FillEllipse({3, 3, 8, 8}, Color32(0, 0, 255, 200));
  }
  EXPECT_EQ(faint.Pixel(0, 0), Color32(201, 7, 13, 3));
  EXPECT_EQ(faint.Pixel(11, 5), Color32(201, 7, 13, 3));
  // Over a translucent pixel Qt's premultiplied arithmetic may land a level off.
  const TColor32 blended = faint.Pixel(5, 5);
  const TColor32 exact = BlendColors(Color32(0, 0, 255, 200), Color32(201, 7, 13, 3));
  EXPECT_EQ(AlphaComponent(blended), AlphaComponent(exact));
  EXPECT_NEAR(RedComponent(blended), RedComponent(exact), 1);
  EXPECT_NEAR(GreenComponent(blended), GreenComponent(exact), 1);
  EXPECT_NEAR(BlueComponent(blended), BlueComponent(exact), 1);

  // Opaque over transparent gives the colour itself.
  TBitmap32 clear = Filled(1, 1, kColor32Transparent);
  {
    TPainter painter(clear);
    painter.FillEllipse({-5, -5, 5, 5}, Color32(10, 20, 30));
  }
  EXPECT_EQ(clear.Pixel(0, 0), Color32(10, 20, 30));

  TBitmap32 empty;
  TPainter painter(empty);
  EXPECT_FALSE(painter.IsActive());
  painter.FillEllipse({0, 0, 5, 5}, kColor32White);
  painter.DrawLine({0, 0}, {5, 5}, kColor32White);
  EXPECT_TRUE(empty.Empty());
}

}  // namespace
}  // namespace nimbra
