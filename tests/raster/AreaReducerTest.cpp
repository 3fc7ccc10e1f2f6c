#include "raster/AreaReducer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "raster/Blend.h"

namespace nimbra {
namespace {

TBitmap32 Reduced(const TBitmap32& source, int width, int height) {
  TBitmap32 target;
  target.SetSizeForOverwrite(width, height);
  TAreaReducer reducer(source.Width(), source.Height(), target);
  for (int y = 0; y < source.Height(); ++y) {
    EXPECT_FALSE(reducer.Finished());
    reducer.AddRow(source.ScanLine(y));
  }
  EXPECT_TRUE(reducer.Finished());
  return target;
}

// Mean of one channel (shift 16 red, 8 green, 0 blue) over the bitmap.
double ChannelMean(const TBitmap32& bitmap, int shift) {
  double sum = 0;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) sum += (bitmap.Pixel(x, y) >> shift) & 0xFF;
  }
  return sum / (double(bitmap.Width()) * bitmap.Height());
}

double ChannelDeviation(const TBitmap32& bitmap, int shift) {
  const double mean = ChannelMean(bitmap, shift);
  double sum = 0;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      const double d = ((bitmap.Pixel(x, y) >> shift) & 0xFF) - mean;
      sum += d * d;
    }
  }
  return std::sqrt(sum / (double(bitmap.Width()) * bitmap.Height()));
}

TEST(AreaReducerTest, ReducedSizeKeepsProportionsAndJustCoversTheNeed) {
  EXPECT_EQ(AreaReducedSize(6000, 4000, 3240, 2160), (TReducedSize{3240, 2160}));
  // The binding dimension is met exactly, the other rounded but never below its need.
  EXPECT_EQ(AreaReducedSize(100, 75, 20, 10), (TReducedSize{20, 15}));
  EXPECT_EQ(AreaReducedSize(400, 300, 202, 152), (TReducedSize{203, 152}));
  EXPECT_EQ(AreaReducedSize(100, 75, 51, 1), (TReducedSize{51, 38}));
  EXPECT_EQ(AreaReducedSize(101, 100, 100, 100), (TReducedSize{101, 100}));
  // A free dimension follows the other.
  EXPECT_EQ(AreaReducedSize(100, 75, 0, 60), (TReducedSize{80, 60}));
  EXPECT_EQ(AreaReducedSize(100, 75, -3, 60), (TReducedSize{80, 60}));
  // Nothing to gain: no need, or a need the picture does not exceed.
  EXPECT_EQ(AreaReducedSize(100, 75, 0, 0), (TReducedSize{100, 75}));
  EXPECT_EQ(AreaReducedSize(100, 75, 100, 1), (TReducedSize{100, 75}));
  EXPECT_EQ(AreaReducedSize(100, 75, 120, 90), (TReducedSize{100, 75}));
  EXPECT_EQ(AreaReducedSize(65535, 1, 1, 1), (TReducedSize{65535, 1}));
  EXPECT_EQ(AreaReducedSize(65535, 2, 1, 1), (TReducedSize{32768, 1}));
}

TEST(AreaReducerTest, WeightsAreTheCoveredSharesAndAddUpToOne) {
  const TAreaReducer::TAxis thirds = TAreaReducer::AxisFor(3, 2);
  ASSERT_EQ(thirds.Taps, 2);
  // Target pixel 0 covers source 0 whole and half of source 1.
  EXPECT_EQ(thirds.First, (std::vector<int>{0, 1}));
  EXPECT_EQ(thirds.Last, (std::vector<int>{1, 2}));
  EXPECT_EQ(thirds.Weights, (std::vector<uint32_t>{2731, 1365, 1365, 2731}));

  for (const auto& [source, target] : {std::pair{6000, 3240}, {4000, 2160}, {65535, 65534},
                                       {8192, 1}, {7, 7}, {1000, 999}, {17, 5}}) {
    const TAreaReducer::TAxis axis = TAreaReducer::AxisFor(source, target);
    for (int i = 0; i < target; ++i) {
      const auto begin = axis.Weights.begin() + i * axis.Taps;
      ASSERT_EQ(std::accumulate(begin, begin + axis.Taps, 0u), TAreaReducer::kWeightOne)
          << source << " to " << target << " at " << i;
      ASSERT_LE(axis.Last[i], source - 1);
    }
    EXPECT_EQ(axis.First.front(), 0);
    EXPECT_EQ(axis.Last.back(), source - 1);
  }
  EXPECT_THROW(TAreaReducer::AxisFor(10, 11), std::invalid_argument);
  EXPECT_THROW(TAreaReducer::AxisFor(10, 0), std::invalid_argument);
}

TEST(AreaReducerTest, UniformPicturesStayUniform) {
  // Opaque colours stay exactly what they are; translucent ones are averaged premultiplied and
  // keep what that round trip keeps.
  for (const TColor32 colour : {Color32(200, 100, 50), Color32(255, 255, 255),
                                Color32(0, 0, 0, 0), Color32(1, 254, 128, 77)}) {
    TBitmap32 source(617, 411);
    source.Clear(colour);
    const TColor32 expected = Unpremultiply(Premultiply(colour));
    for (const auto& [width, height] : {std::pair{333, 222}, {616, 410}, {1, 1}, {617, 5}}) {
      const TBitmap32 reduced = Reduced(source, width, height);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) ASSERT_EQ(reduced.Pixel(x, y), expected) << x << "," << y;
      }
    }
  }
}

TEST(AreaReducerTest, HalvingAveragesEachTwoByTwoBlock) {
  TBitmap32 source(4, 2);
  const TColor32 pixels[8] = {Color32(0, 0, 0),      Color32(255, 0, 0),    Color32(10, 20, 30),
                              Color32(10, 20, 30),   Color32(255, 255, 255), Color32(0, 255, 0),
                              Color32(30, 40, 50, 0), Color32(30, 40, 50, 0)};
  for (int i = 0; i < 8; ++i) source.SetPixel(i % 4, i / 4, pixels[i]);
  const TBitmap32 halved = Reduced(source, 2, 1);
  // (0 + 255 + 255 + 0) / 4 = 127.5 rounds up; transparent pixels lend no colour, only their
  // alpha.
  EXPECT_EQ(halved.Pixel(0, 0), Color32(128, 128, 64));
  EXPECT_EQ(halved.Pixel(1, 0), Color32(10, 20, 30, 128));
}

TEST(AreaReducerTest, ReductionKeepsThePicturesMeanAndFollowsItsGradient) {
  // Grain over a gradient, reduced by an uneven factor as a 6000-pixel photo is to 3240.
  TBitmap32 source(600, 400);
  uint32_t noise = 7;
  for (int y = 0; y < 400; ++y) {
    for (int x = 0; x < 600; ++x) {
      noise = noise * 1103515245u + 12345u;
      const auto grain = static_cast<uint8_t>((noise >> 16) & 63);
      source.SetPixel(x, y, Color32(static_cast<uint8_t>(x * 190 / 600 + grain), grain,
                                    static_cast<uint8_t>(y * 190 / 400)));
    }
  }
  const TBitmap32 reduced = Reduced(source, 324, 216);
  for (const int shift : {16, 8, 0}) {
    EXPECT_NEAR(ChannelMean(reduced, shift), ChannelMean(source, shift), 0.5) << shift;
  }
  // Far from the grain, each pixel is the gradient at its place (blue runs with the row).
  for (const int y : {0, 100, 215}) {
    const double expected = (y + 0.5) * 400 / 216 * 190 / 400;
    EXPECT_NEAR(BlueComponent(reduced.Pixel(100, y)), expected, 1.5) << y;
  }
  // The grain is averaged, not sampled: a target pixel covers about 3.4 source pixels, so the
  // grain's spread shrinks by about their square root (point sampling would keep it).
  EXPECT_LT(ChannelDeviation(reduced, 8), 0.7 * ChannelDeviation(source, 8));
}

TEST(AreaReducerTest, APartOfTheReductionIsThatPartOfTheWhole) {
  TBitmap32 source(97, 61);
  for (int y = 0; y < 61; ++y) {
    for (int x = 0; x < 97; ++x) {
      source.SetPixel(x, y,
                      Color32(uint8_t(x * 2), uint8_t(y * 4), uint8_t(x + y), uint8_t(x * y)));
    }
  }
  const TBitmap32 whole = Reduced(source, 23, 17);
  // Columns 5 … 14 and rows 3 … 10 of the 23 × 17 reduction, from only the source they cover.
  TAreaReducer::TAxis columns = TAreaReducer::AxisFor(97, 23, 5, 10);
  TAreaReducer::TAxis rows = TAreaReducer::AxisFor(61, 17, 3, 8);
  EXPECT_EQ(columns.Start, 5 * 97 / 23);
  EXPECT_EQ(rows.Start, 3 * 61 / 17);
  const int left = columns.Start;
  const int top = rows.Start;
  const int rowCount = rows.Last.back() + 1;
  int written = 0;
  TAreaReducer part(std::move(columns), std::move(rows), [&](int row, const TColor32* pixels) {
    EXPECT_EQ(row, written++);
    for (int x = 0; x < 10; ++x) {
      ASSERT_EQ(Unpremultiply(pixels[x]), whole.Pixel(5 + x, 3 + row)) << x << "," << row;
    }
  });
  for (int y = 0; y < rowCount; ++y) part.AddRow(source.ScanLine(top + y) + left);
  EXPECT_EQ(written, 8);
  EXPECT_THROW(TAreaReducer::AxisFor(97, 23, 20, 4), std::invalid_argument);
}

TEST(AreaReducerTest, RefusesRowsPastTheLastAndTargetsLargerThanTheSource) {
  TBitmap32 target(2, 2);
  TAreaReducer reducer(3, 3, target);
  const TColor32 row[3] = {};
  for (int i = 0; i < 3; ++i) reducer.AddRow(row);
  EXPECT_THROW(reducer.AddRow(row), std::logic_error);
  TBitmap32 larger(4, 2);
  EXPECT_THROW(TAreaReducer(3, 3, larger), std::invalid_argument);
}

}  // namespace
}  // namespace nimbra
