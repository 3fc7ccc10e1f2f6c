#include <gtest/gtest.h>

#include "CodecTestPictures.h"
#include "raster/ExifOrientation.h"

namespace nimbra {
namespace {

// The APP1 payload (after the marker and length) of a JPEG with the orientation.
std::string ExifPayload(int orientation, bool bigEndian) {
  const std::string jpeg =
      test::WithExifOrientation(std::string("\xFF\xD8", 2), orientation, bigEndian);
  return jpeg.substr(6);
}

int OrientationOf(const std::string& payload) {
  return ExifOrientation(reinterpret_cast<const uint8_t*>(payload.data()), payload.size());
}

// 3 × 2 with pixels numbered 1 to 6 row by row, so that every placement is visible.
TBitmap32 Numbered() {
  TBitmap32 bitmap(3, 2);
  for (int i = 0; i < 6; ++i) bitmap.SetPixel(i % 3, i / 3, static_cast<TColor32>(i + 1));
  return bitmap;
}

std::vector<TColor32> Rows(const TBitmap32& bitmap) {
  return {bitmap.Bits(), bitmap.Bits() + bitmap.Width() * bitmap.Height()};
}

TEST(ExifOrientationTest, EveryOrientationPlacesThePixelsAsTheCameraHeldThem) {
  // Stored:  1 2 3
  //          4 5 6
  struct TCase {
    int orientation;
    int width;
    std::vector<TColor32> upright;
  };
  const TCase cases[] = {
      {1, 3, {1, 2, 3, 4, 5, 6}}, {2, 3, {3, 2, 1, 6, 5, 4}},  // mirrored left-right
      {3, 3, {6, 5, 4, 3, 2, 1}},                              // turned by 180°
      {4, 3, {4, 5, 6, 1, 2, 3}},                              // mirrored top-bottom
      {5, 2, {1, 4, 2, 5, 3, 6}},                              // transposed
      {6, 2, {4, 1, 5, 2, 6, 3}},                              // turned clockwise
      {7, 2, {6, 3, 5, 2, 4, 1}},                              // transposed the other way
      {8, 2, {3, 6, 2, 5, 1, 4}},                              // turned counter-clockwise
      {0, 3, {1, 2, 3, 4, 5, 6}},                              // invalid values change nothing
      {9, 3, {1, 2, 3, 4, 5, 6}},
  };
  for (const TCase& c : cases) {
    TBitmap32 bitmap = Numbered();
    ApplyExifOrientation(bitmap, c.orientation);
    EXPECT_EQ(bitmap.Width(), c.width) << c.orientation;
    EXPECT_EQ(Rows(bitmap), c.upright) << c.orientation;
    EXPECT_EQ(OrientationSwapsAxes(c.orientation), c.width == 2) << c.orientation;
  }
}

TEST(ExifOrientationTest, ReadsTheTagInBothByteOrders) {
  for (int orientation = 1; orientation <= 8; ++orientation) {
    EXPECT_EQ(OrientationOf(ExifPayload(orientation, false)), orientation);
    EXPECT_EQ(OrientationOf(ExifPayload(orientation, true)), orientation);
  }
  EXPECT_EQ(OrientationOf(ExifPayload(0, false)), kOrientationAsStored);
  EXPECT_EQ(OrientationOf(ExifPayload(200, true)), kOrientationAsStored);
}

TEST(ExifOrientationTest, DamagedBlocksMeanAsStored) {
  const std::string good = ExifPayload(6, false);
  EXPECT_EQ(OrientationOf(good), 6);
  EXPECT_EQ(ExifOrientation(nullptr, 0), kOrientationAsStored);
  // Cut anywhere before the value, the block names nothing.
  for (size_t cut = 0; cut < good.size() - 6; ++cut) {
    EXPECT_EQ(OrientationOf(good.substr(0, cut)), kOrientationAsStored) << cut;
  }
  std::string notExif = good;
  notExif[0] = 'X';
  EXPECT_EQ(OrientationOf(notExif), kOrientationAsStored);
  // The first directory pointing far beyond the block.
  std::string farDirectory = good;
  farDirectory[6 + 4] = '\x7F';
  farDirectory[6 + 7] = '\x7F';
  EXPECT_EQ(OrientationOf(farDirectory), kOrientationAsStored);
  // An entry count larger than the block: the entries that are there are still read.
  std::string manyEntries = good;
  manyEntries[6 + 8] = '\xFF';
  EXPECT_EQ(OrientationOf(manyEntries), 6);
  // The tag with the wrong type.
  std::string wrongType = good;
  wrongType[6 + 10 + 12 + 2] = 4;
  EXPECT_EQ(OrientationOf(wrongType), kOrientationAsStored);
}

}  // namespace
}  // namespace nimbra
