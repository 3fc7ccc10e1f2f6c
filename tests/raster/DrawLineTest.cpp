#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "raster/DrawLine.h"

namespace nimbra {
namespace {

constexpr TColor32 kBackground = Color32(30, 50, 80);

TBitmap32 Filled(int width, int height, TColor32 colour) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  return bitmap;
}

std::set<std::pair<int, int>> Changed(const TBitmap32& bitmap, TColor32 background) {
  std::set<std::pair<int, int>> changed;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (bitmap.Pixel(x, y) != background) changed.insert({x, y});
    }
  }
  return changed;
}

using Pixels = std::set<std::pair<int, int>>;

TEST(DrawLineTest, LinesStepAlongTheLongerAxisAndLeaveOutTheirEndPoint) {
  TBitmap32 bitmap = Filled(8, 8, kBackground);
  DrawLine(bitmap, 1, 1, 6, 1, kColor32White);
  EXPECT_EQ(Changed(bitmap, kBackground), (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}));

  bitmap.Clear(kBackground);
  DrawLine(bitmap, 0, 0, 4, 2, kColor32White);
  EXPECT_EQ(Changed(bitmap, kBackground), (Pixels{{0, 0}, {1, 1}, {2, 1}, {3, 2}}));
  bitmap.Clear(kBackground);
  DrawLine(bitmap, 4, 2, 0, 0, kColor32White);  // halves round away from the start
  EXPECT_EQ(Changed(bitmap, kBackground), (Pixels{{4, 2}, {3, 1}, {2, 1}, {1, 0}}));
  bitmap.Clear(kBackground);
  DrawLine(bitmap, 2, 7, 3, 3, kColor32White);  // steep, upward
  EXPECT_EQ(Changed(bitmap, kBackground), (Pixels{{2, 7}, {2, 6}, {3, 5}, {3, 4}}));

  bitmap.Clear(kBackground);
  DrawLine(bitmap, 3, 3, 3, 3, kColor32White);  // no length, no pixel
  EXPECT_TRUE(Changed(bitmap, kBackground).empty());
}

TEST(DrawLineTest, LinesAreClippedAndBlendedOncePerPixel) {
  TBitmap32 bitmap = Filled(10, 10, kBackground);
  DrawLine(bitmap, -100, 3, 100, 3, Color32(255, 0, 0, 128));
  for (int x = 0; x < 10; ++x) EXPECT_EQ(bitmap.Pixel(x, 3), Color32(143, 25, 40));
  EXPECT_EQ(Changed(bitmap, kBackground).size(), 10u);

  // Ends far beyond the integer range's middle: only the visible pixels are visited.
  bitmap.Clear(kBackground);
  DrawLine(bitmap, -2147483647 - 1, -2147483647 - 1, 2147483647, 2147483647, kColor32White);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(bitmap.Pixel(i, i), kColor32White) << i;
  EXPECT_EQ(Changed(bitmap, kBackground).size(), 10u);

  DrawLine(bitmap, 20, 0, 30, 9, kColor32Black);
  DrawLine(bitmap, 0, 5, 9, 5, kColor32Transparent);  // blending nothing leaves it alone
  EXPECT_EQ(Changed(bitmap, kBackground).size(), 10u);
  DrawLine(bitmap, 0, 5, 9, 5, kColor32Transparent, TDrawMode::Opaque);  // but a copy sets it
  EXPECT_EQ(bitmap.Pixel(4, 5), kColor32Transparent);
}

TEST(DrawLineTest, FramesDrawEachOutlinePixelOnce) {
  TBitmap32 bitmap = Filled(6, 5, kBackground);
  FrameRect(bitmap, {1, 1, 5, 4}, Color32(255, 0, 0, 128));
  const Pixels outline{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 2},
                       {4, 2}, {1, 3}, {2, 3}, {3, 3}, {4, 3}};
  EXPECT_EQ(Changed(bitmap, kBackground), outline);
  for (const auto& [x, y] : outline) EXPECT_EQ(bitmap.Pixel(x, y), Color32(143, 25, 40));

  // One pixel wide or high, partly outside: still one blend per pixel, nothing beyond the edge.
  bitmap.Clear(kBackground);
  FrameRect(bitmap, {2, -3, 3, 9}, Color32(255, 0, 0, 128));
  FrameRect(bitmap, {-4, 4, 9, 5}, Color32(255, 0, 0, 128));
  for (int y = 0; y < 4; ++y) EXPECT_EQ(bitmap.Pixel(2, y), Color32(143, 25, 40)) << y;
  EXPECT_EQ(bitmap.Pixel(0, 4), Color32(143, 25, 40));
  EXPECT_EQ(bitmap.Pixel(2, 4), BlendColors(Color32(255, 0, 0, 128), Color32(143, 25, 40)));
  EXPECT_EQ(Changed(bitmap, kBackground).size(), 4u + 6u);
  FrameRect(bitmap, {3, 3, 3, 3}, kColor32White);
  EXPECT_EQ(Changed(bitmap, kBackground).size(), 4u + 6u);
}

TEST(DrawLineTest, PatternedLinesCycleThroughTheirColours) {
  TBitmap32 bitmap = Filled(9, 2, kBackground);
  const TLinePattern alternate{{kColor32Black, kColor32White}, 1, false};
  const double end = DrawPatternedLine(bitmap, 0, 0, 5, 0, alternate);
  EXPECT_DOUBLE_EQ(end, 5);
  DrawPatternedLine(bitmap, 5, 0, 9, 0, alternate, end);  // continues where the first stopped
  for (int x = 0; x < 9; ++x)
    EXPECT_EQ(bitmap.Pixel(x, 0), x % 2 ? kColor32White : kColor32Black) << x;

  // Continuous colours: half way between the entries lies their mix.
  const TLinePattern wave{{kColor32Black, kColor32White}, 0.5, true};
  DrawPatternedLine(bitmap, 0, 1, 5, 1, wave, 0, TDrawMode::Opaque);
  EXPECT_EQ(bitmap.Pixel(0, 1), kColor32Black);
  EXPECT_EQ(bitmap.Pixel(1, 1), Color32(128, 128, 128));
  EXPECT_EQ(bitmap.Pixel(2, 1), kColor32White);
  EXPECT_EQ(bitmap.Pixel(3, 1), Color32(128, 128, 128));
  EXPECT_EQ(bitmap.Pixel(4, 1), kColor32Black);

  // Dashes: transparent entries leave the target alone when blending.
  bitmap.Clear(kBackground);
  const TLinePattern dashes{{kColor32White, kColor32White, kColor32Transparent}, 1, false};
  DrawPatternedLine(bitmap, 8, 0, -1, 0, dashes);
  EXPECT_EQ(Changed(bitmap, kBackground), (Pixels{{8, 0}, {7, 0}, {5, 0}, {4, 0}, {2, 0}, {1, 0}}));

  EXPECT_EQ(alternate.ColorAt(-1), kColor32White);
  EXPECT_EQ(alternate.ColorAt(-0.5), kColor32White);
  EXPECT_EQ(TLinePattern{}.ColorAt(3), kColor32Transparent);
}

}  // namespace
}  // namespace nimbra
