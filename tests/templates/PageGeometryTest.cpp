#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "templates/PageGeometry.h"

namespace nimbra {
namespace {

TEST(PageGeometryTest, HalvesRoundToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfToEven(500.5), 500);
  EXPECT_EQ(RoundHalfToEven(501.5), 502);
  EXPECT_EQ(RoundHalfToEven(0.5), 0);
  EXPECT_EQ(RoundHalfToEven(-0.5), 0);
  EXPECT_EQ(RoundHalfToEven(-1.5), -2);
  EXPECT_EQ(RoundHalfToEven(-2.5), -2);
  EXPECT_EQ(RoundHalfToEven(102.4), 102);
  EXPECT_EQ(RoundHalfToEven(76.8), 77);
  EXPECT_EQ(RoundHalfToEven(-76.8), -77);
}

TEST(PageGeometryTest, ValuesOutsideTheRangeAreClamped) {
  EXPECT_EQ(RoundHalfToEven(std::nan("")), 0);
  EXPECT_EQ(RoundHalfToEven(1e20), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(RoundHalfToEven(-std::numeric_limits<double>::infinity()),
            std::numeric_limits<int32_t>::min());
}

TEST(PageGeometryTest, FractionsMapOntoThePageRectangle) {
  // A new element's tenth of a 1024 × 768 page: 102.4 → 102, 76.8 → 77.
  EXPECT_EQ(FractionToPixels({0, 0, 0.1, 0.1}, {0, 0, 1024, 768}), (TPixelRect{0, 0, 102, 77}));
  // 1001 × 0.5 = 500.5 goes to the even 500; the origin is added after rounding.
  EXPECT_EQ(FractionToPixels({0.5, 0.5, 1, 1}, {10, 20, 1011, 1021}),
            (TPixelRect{510, 520, 1011, 1021}));
  EXPECT_EQ(FractionToPixels({0.5, 0, 1.5, 1}, {0, 0, 1003, 3}), (TPixelRect{502, 0, 1504, 3}));
}

TEST(PageGeometryTest, PixelsMapBackToFractions) {
  const TPixelRect page{100, 50, 500, 250};
  EXPECT_EQ(PixelsToFraction({200, 100, 500, 250}, page), (TDoubleRect{0.25, 0.25, 1, 1}));
  EXPECT_EQ(PixelsToFraction({1, 2, 3, 4}, {0, 0, 0, 0}), (TDoubleRect{0, 0, 0, 0}));
}

TEST(PageGeometryTest, CentimetresBecomePixelsAtTheResolution) {
  EXPECT_EQ(CentimetresToPixels(10, 96), 378);  // 377.95
  EXPECT_EQ(CentimetresToPixels(2.54, 300), 300);
  EXPECT_EQ(CentimetresToPixels(21, 0), 0);
}

}  // namespace
}  // namespace nimbra
