#include <gtest/gtest.h>

#include <limits>

#include "raster/Bitmap32.h"

namespace nimbra {
namespace {

TEST(Bitmap32Test, PixelsAreAlphaRedGreenBlueFromTheTopByte) {
  EXPECT_EQ(kColor32Black, Color32(0, 0, 0));
  EXPECT_EQ(Color32(0x12, 0x34, 0x56, 0x78), 0x78123456u);
  EXPECT_EQ(AlphaComponent(0x78123456u), 0x78);
  EXPECT_EQ(RedComponent(0x78123456u), 0x12);
  EXPECT_EQ(GreenComponent(0x78123456u), 0x34);
  EXPECT_EQ(BlueComponent(0x78123456u), 0x56);
}

TEST(Bitmap32Test, RowsLieOneAfterTheOtherWithoutPadding) {
  TBitmap32 bitmap(3, 2);
  EXPECT_EQ(bitmap.ByteSize(), 24);
  EXPECT_EQ(bitmap.Pixel(2, 1), kColor32Transparent);
  bitmap.Clear(kColor32Black);
  bitmap.SetPixel(1, 1, kColor32White);
  EXPECT_EQ(bitmap.ScanLine(1)[1], kColor32White);
  EXPECT_EQ(bitmap.Bits()[3 + 1], kColor32White);
  EXPECT_EQ(bitmap.ScanLine(0)[1], kColor32Black);
  EXPECT_THROW(bitmap.Pixel(3, 0), std::out_of_range);
  EXPECT_THROW(bitmap.SetPixel(0, -1, 0), std::out_of_range);
  EXPECT_THROW(bitmap.ScanLine(2), std::out_of_range);
}

TEST(Bitmap32Test, CopiesAreIndependentAndMovesLeaveAnEmptyBitmap) {
  TBitmap32 original(2, 2);
  original.Clear(kColor32Black);
  TBitmap32 copy = original;
  copy.SetPixel(0, 0, kColor32White);
  EXPECT_EQ(original.Pixel(0, 0), kColor32Black);

  TBitmap32 assigned;
  assigned.Assign(copy);
  EXPECT_EQ(assigned, copy);

  TBitmap32 moved = std::move(copy);
  EXPECT_EQ(moved.Pixel(0, 0), kColor32White);
  EXPECT_TRUE(copy.Empty());  // NOLINT(bugprone-use-after-move): a moved-from bitmap is empty
  EXPECT_EQ(copy.Width(), 0);
  EXPECT_EQ(copy.Height(), 0);
}

TEST(Bitmap32Test, CroppingKeepsThePartInPlace) {
  // Each pixel names its place: x in the low byte, y in the next.
  TBitmap32 source(7, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 7; ++x) source.SetPixel(x, y, Color32(0, uint8_t(y), uint8_t(x)));
  }
  const TRect parts[] = {{2, 1, 5, 4}, {0, 2, 7, 5}, {-3, -1, 2, 9}, {0, 0, 7, 5}, {6, 4, 7, 5}};
  for (const TRect& part : parts) {
    TBitmap32 cut = source;
    cut.Crop(part);
    const TRect kept = IntersectRect(part, source.BoundsRect());
    ASSERT_EQ(cut.Width(), kept.Width());
    ASSERT_EQ(cut.Height(), kept.Height());
    for (int y = 0; y < cut.Height(); ++y) {
      for (int x = 0; x < cut.Width(); ++x) {
        EXPECT_EQ(cut.Pixel(x, y), source.Pixel(kept.Left + x, kept.Top + y)) << x << "," << y;
      }
    }
  }
}

TEST(Bitmap32Test, AbsurdSizesAreRefusedBeforeAnythingIsAllocated) {
  TBitmap32 bitmap(4, 4);
  constexpr int kMax = std::numeric_limits<int>::max();
  EXPECT_THROW(bitmap.SetSize(-1, 5), EBitmapSizeError);
  EXPECT_THROW(bitmap.SetSize(kMax, kMax), EBitmapSizeError);
  EXPECT_THROW(bitmap.SetSize(46341, 46341), EBitmapSizeError);
  EXPECT_THROW(bitmap.SetSize(1 << 29, 2), EBitmapSizeError);
  // A refused size leaves the bitmap as it was.
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(bitmap.ByteSize(), 64);

  bitmap.SetSize(0, 7);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.ByteSize(), 0);
}

TEST(Bitmap32Test, SizingForOverwriteChecksLikeSetSizeAndLeavesSetSizeClearing) {
  TBitmap32 bitmap(4, 4);
  bitmap.Clear(kColor32White);
  EXPECT_THROW(bitmap.SetSizeForOverwrite(-1, 5), EBitmapSizeError);
  EXPECT_THROW(bitmap.SetSizeForOverwrite(46341, 46341), EBitmapSizeError);
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(bitmap.Pixel(3, 3), kColor32White);

  bitmap.SetSizeForOverwrite(3, 5);
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 5);
  EXPECT_EQ(bitmap.ByteSize(), 60);
  bitmap.Clear(kColor32White);
  // Storage that skips clearing for overwriting must not leak old pixels into SetSize.
  bitmap.SetSize(3, 5);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 3; ++x) EXPECT_EQ(bitmap.Pixel(x, y), kColor32Transparent);
  }
  bitmap.SetSizeForOverwrite(0, 0);
  EXPECT_TRUE(bitmap.Empty());
}

}  // namespace
}  // namespace nimbra
