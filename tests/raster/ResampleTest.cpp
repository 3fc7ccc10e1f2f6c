#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "raster/Blend.h"
#include "raster/StretchDraw.h"

namespace nimbra {
namespace {

constexpr TColor32 kSentinel = Color32(1, 2, 3, 4);

constexpr TResamplingFilter kAllFilters[] = {TResamplingFilter::Nearest, TResamplingFilter::Box,
                                             TResamplingFilter::Linear,  TResamplingFilter::Cosine,
                                             TResamplingFilter::Spline,  TResamplingFilter::Lanczos,
                                             TResamplingFilter::Mitchell};

TBitmap32 Filled(int width, int height, TColor32 colour) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  return bitmap;
}

// Every pixel different, opaque.
TBitmap32 Numbered(int width, int height) {
  TBitmap32 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      bitmap.SetPixel(x, y, Color32(uint8_t(x * 7), uint8_t(y * 11), 99));
  }
  return bitmap;
}

// How many pixels differ from colour.
int ChangedPixels(const TBitmap32& bitmap, TColor32 colour) {
  int changed = 0;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) changed += bitmap.Pixel(x, y) != colour;
  }
  return changed;
}

TBitmap32 Checkerboard(int width, int height) {
  TBitmap32 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      bitmap.SetPixel(x, y, (x + y) % 2 ? kColor32White : kColor32Black);
  }
  return bitmap;
}

TEST(ResampleTest, FilterNumbersAreTheStoredOnes) {
  for (int number = 0; number <= 6; ++number) {
    EXPECT_EQ(ResamplingFilterFromNumber(number), kAllFilters[number]);
  }
  EXPECT_EQ(ResamplingFilterFromNumber(7), TResamplingFilter::Nearest);
  EXPECT_EQ(ResamplingFilterFromNumber(-1), TResamplingFilter::Nearest);
}

TEST(ResampleTest, AUniformPictureStaysUniformToItsEdgesWithEveryFilter) {
  const TColor32 colour = Color32(12, 200, 99);
  const TBitmap32 source = Filled(37, 23, colour);
  // Growing, shrinking a little and a lot; each rectangle reaches past the target's edges.
  const TRect rects[] = {{-13, 5, 90, 70}, {3, -2, 30, 17}, {1, 1, 5, 4}, {-1, -1, 41, 31}};
  for (TResamplingFilter filter : kAllFilters) {
    for (const TRect& rect : rects) {
      for (TDrawMode mode : {TDrawMode::Opaque, TDrawMode::Blend}) {
        TBitmap32 target = Filled(40, 30, kSentinel);
        StretchDraw(target, rect, source, filter, mode);
        for (int y = 0; y < 30; ++y) {
          for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(target.Pixel(x, y), rect.Contains(x, y) ? colour : kSentinel)
                << int(filter) << " " << rect.Left << "," << rect.Top << " at " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(ResampleTest, NearestNeighbourRepeatsOrPicksWholePixels) {
  const TBitmap32 source = Numbered(8, 6);
  TBitmap32 half(4, 3);
  StretchDraw(half, half.BoundsRect(), source, TResamplingFilter::Nearest, TDrawMode::Opaque);
  for (int y = 0; y < 3; ++y) {
    // The centre of target pixel x lies on the border of source pixels 2x and 2x + 1.
    for (int x = 0; x < 4; ++x) EXPECT_EQ(half.Pixel(x, y), source.Pixel(2 * x + 1, 2 * y + 1));
  }
  TBitmap32 twice(16, 12);
  StretchDraw(twice, twice.BoundsRect(), source, TResamplingFilter::Nearest, TDrawMode::Opaque);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) ASSERT_EQ(twice.Pixel(x, y), source.Pixel(x / 2, y / 2));
  }
  // Straight pixels: a translucent colour survives unchanged.
  const TBitmap32 faint = Filled(2, 2, Color32(201, 7, 13, 3));
  TBitmap32 big = Filled(5, 5, kColor32Black);
  StretchDraw(big, big.BoundsRect(), faint, TResamplingFilter::Nearest, TDrawMode::Opaque);
  EXPECT_EQ(big.Pixel(4, 4), Color32(201, 7, 13, 3));
}

TEST(ResampleTest, BoxAveragesAndEveryFilterCopiesAtTheSameSize) {
  TBitmap32 source(4, 2);
  const uint8_t values[2][4] = {{0, 40, 100, 100}, {80, 120, 10, 30}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) source.SetPixel(x, y, Color32(values[y][x], 0, 0));
  }
  TBitmap32 half(2, 1);
  StretchDraw(half, half.BoundsRect(), source, TResamplingFilter::Box, TDrawMode::Opaque);
  EXPECT_EQ(half.Pixel(0, 0), Color32(60, 0, 0));
  EXPECT_EQ(half.Pixel(1, 0), Color32(60, 0, 0));

  const TBitmap32 numbered = Numbered(9, 5);
  for (TResamplingFilter filter : kAllFilters) {
    TBitmap32 copy = Filled(11, 7, kSentinel);
    StretchDraw(copy, {1, 1, 10, 6}, numbered, filter, TDrawMode::Opaque);
    EXPECT_EQ(copy.Pixel(1, 1), numbered.Pixel(0, 0));
    EXPECT_EQ(copy.Pixel(9, 5), numbered.Pixel(8, 4));
    EXPECT_EQ(copy.Pixel(5, 3), numbered.Pixel(4, 2));
    EXPECT_EQ(copy.Pixel(0, 0), kSentinel);
  }
}

TEST(ResampleTest, ShrinkingWidensTheKernelSoFineDetailAveragesInsteadOfAliasing) {
  // One-pixel black and white squares reduced tenfold: point sampling would give black or white,
  // a kernel as wide as the reduction gives grey.
  const TBitmap32 board = Checkerboard(200, 160);
  for (TResamplingFilter filter :
       {TResamplingFilter::Box, TResamplingFilter::Linear, TResamplingFilter::Spline,
        TResamplingFilter::Lanczos, TResamplingFilter::Mitchell}) {
    const TBitmap32 small = Resampled(board, 20, 16, filter);
    // The outermost two pixels repeat the board's edge under their wide kernels.
    for (int y = 2; y < 14; ++y) {
      for (int x = 2; x < 18; ++x) {
        ASSERT_NEAR(RedComponent(small.Pixel(x, y)), 128, 3) << int(filter) << " " << x << "," << y;
        ASSERT_EQ(AlphaComponent(small.Pixel(x, y)), 255);
      }
    }
  }
  const TBitmap32 aliased = Resampled(board, 20, 16, TResamplingFilter::Nearest);
  EXPECT_TRUE(aliased.Pixel(3, 3) == kColor32Black || aliased.Pixel(3, 3) == kColor32White);
}

TEST(ResampleTest, LargeShrinksAverageTheAreaUnderEachPixel) {
  // Red runs along x and blue along y, so every target pixel's area mean is the gradient at its
  // centre; a translucent picture must stay uniform.
  const auto gradient = [](int width, int height) {
    TBitmap32 bitmap(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        bitmap.SetPixel(x, y, Color32(uint8_t(x * 250 / width), 80, uint8_t(y * 250 / height)));
      }
    }
    return bitmap;
  };
  // The mean of value(j) = j × 250 / n (rounded down, as stored) over target pixel i's share.
  const auto areaMean = [](int i, int n, int m) {
    const double from = double(i) * n / m;
    const double to = double(i + 1) * n / m;
    double sum = 0;
    for (int j = int(from); j < n && j < to; ++j) {
      sum += (std::min<double>(j + 1, to) - std::max<double>(j, from)) * (j * 250 / n);
    }
    return sum / (to - from);
  };
  const TColor32 faint = Color32(201, 7, 13, 90);
  struct TCase {
    int sourceWidth, sourceHeight, width, height;
  };
  for (const TCase& c : {TCase{4000, 30, 40, 3}, TCase{30, 3000, 3, 25}, TCase{900, 700, 9, 7}}) {
    const TBitmap32 source = gradient(c.sourceWidth, c.sourceHeight);
    for (TResamplingFilter filter :
         {TResamplingFilter::Box, TResamplingFilter::Lanczos, TResamplingFilter::Mitchell}) {
      const TBitmap32 small = Resampled(source, c.width, c.height, filter);
      // The outermost pixel repeats the edge under its kernel.
      for (int y = 1; y + 1 < c.height; ++y) {
        for (int x = 1; x + 1 < c.width; ++x) {
          const TColor32 p = small.Pixel(x, y);
          ASSERT_NEAR(RedComponent(p), areaMean(x, c.sourceWidth, c.width), 1.5) << x << "," << y;
          ASSERT_NEAR(BlueComponent(p), areaMean(y, c.sourceHeight, c.height), 1.5)
              << x << "," << y;
        }
      }
      const TBitmap32 uniform =
          Resampled(Filled(c.sourceWidth, c.sourceHeight, faint), c.width, c.height, filter);
      EXPECT_EQ(ChangedPixels(uniform, Unpremultiply(Premultiply(faint))), 0) << int(filter);
    }
    // A clipped part is that part of the whole.
    TBitmap32 whole = Filled(c.width, c.height, kSentinel);
    StretchDraw(whole, whole.BoundsRect(), source, TResamplingFilter::Lanczos, TDrawMode::Opaque);
    TBitmap32 clipped = Filled(c.width - 1, c.height - 1, kSentinel);
    StretchDraw(clipped, {-1, -1, c.width - 1, c.height - 1}, source, TResamplingFilter::Lanczos,
                TDrawMode::Opaque);
    for (int y = 0; y + 1 < c.height; ++y) {
      for (int x = 0; x + 1 < c.width; ++x) {
        ASSERT_EQ(clipped.Pixel(x, y), whole.Pixel(x + 1, y + 1)) << x << "," << y;
      }
    }
  }
}

TEST(ResampleTest, TransparentPixelsLendNoColour) {
  // Left half opaque red, right half transparent green: no filter may pull green into red.
  TBitmap32 source(40, 10);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 40; ++x)
      source.SetPixel(x, y, x < 20 ? Color32(255, 0, 0) : Color32(0, 255, 0, 0));
  }
  for (TResamplingFilter filter : kAllFilters) {
    for (const int width : {7, 100}) {
      const TBitmap32 result = Resampled(source, width, 5, filter);
      for (int x = 0; x < width; ++x) {
        const TColor32 c = result.Pixel(x, 2);
        if (AlphaComponent(c) > 0) {
          ASSERT_EQ(GreenComponent(c), 0) << int(filter) << " " << x;
        }
      }
      EXPECT_EQ(result.Pixel(0, 0), Color32(255, 0, 0)) << int(filter);
      EXPECT_EQ(AlphaComponent(result.Pixel(width - 1, 4)), 0) << int(filter);
    }
  }
}

TEST(ResampleTest, BlendingAStretchedPictureAppliesMasterAlphaOnce) {
  TBitmap32 target = Filled(6, 4, Color32(30, 50, 80));
  StretchDraw(target, {0, 0, 6, 4}, Filled(2, 2, Color32(255, 0, 0)), TResamplingFilter::Lanczos,
              TDrawMode::Blend, 128);
  EXPECT_EQ(target.Pixel(3, 2), Color32(143, 25, 40));
  EXPECT_EQ(target.Pixel(5, 0), Color32(143, 25, 40));
  StretchDraw(target, {0, 0, 6, 4}, Filled(3, 3, kColor32White), TResamplingFilter::Mitchell,
              TDrawMode::Blend, 0);
  EXPECT_EQ(target.Pixel(3, 2), Color32(143, 25, 40));
}

TEST(ResampleTest, ClippingKeepsTheScaleOfTheWholeRectangle) {
  const TBitmap32 source = Numbered(50, 40);
  const TRect rect{-20, -10, 83, 97};
  TBitmap32 whole = Filled(103, 107, kSentinel);
  StretchDraw(whole, {0, 0, 103, 107}, source, TResamplingFilter::Lanczos, TDrawMode::Opaque);
  TBitmap32 clipped = Filled(40, 45, kSentinel);
  StretchDraw(clipped, rect, source, TResamplingFilter::Lanczos, TDrawMode::Opaque);
  for (int y = 0; y < 45; ++y) {
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(clipped.Pixel(x, y), whole.Pixel(x + 20, y + 10)) << x << "," << y;
  }
  // A source rectangle stretches only its part.
  TBitmap32 part = Filled(4, 4, kSentinel);
  StretchDraw(part, part.BoundsRect(), source, TRect{10, 20, 12, 22}, TResamplingFilter::Nearest,
              TDrawMode::Opaque);
  EXPECT_EQ(part.Pixel(0, 0), source.Pixel(10, 20));
  EXPECT_EQ(part.Pixel(3, 3), source.Pixel(11, 21));
}

TEST(ResampleTest, DegenerateSizesDrawNothingOrFillUniformly) {
  TBitmap32 target = Filled(5, 5, kSentinel);
  StretchDraw(target, {0, 0, 5, 5}, TBitmap32(), TResamplingFilter::Lanczos);
  StretchDraw(target, {3, 3, 3, 9}, Filled(2, 2, kColor32White), TResamplingFilter::Lanczos);
  StretchDraw(target, {9, 9, 20, 20}, Filled(2, 2, kColor32White), TResamplingFilter::Lanczos);
  StretchDraw(target, {-2147483647 - 1, -2147483647 - 1, 2147483647, 2147483647},
              Filled(1, 1, kColor32White), TResamplingFilter::Nearest, TDrawMode::Opaque);
  EXPECT_EQ(target.Pixel(0, 0), kColor32White);
  target.Clear(kSentinel);
  StretchDraw(target, {0, 0, 5, 5}, Filled(2, 2, kColor32White), TResamplingFilter::Lanczos,
              TDrawMode::Opaque, 255);
  StretchDraw(target, {1, 1, 4, 4}, Filled(1, 1, kColor32Black), TResamplingFilter::Mitchell,
              TDrawMode::Opaque);
  EXPECT_EQ(target.Pixel(0, 0), kColor32White);
  EXPECT_EQ(target.Pixel(2, 2), kColor32Black);
  TBitmap32 empty;
  StretchDraw(empty, {0, 0, 5, 5}, Filled(2, 2, kColor32White), TResamplingFilter::Lanczos);
  EXPECT_TRUE(Resampled(Filled(3, 3, kColor32White), 0, 4, TResamplingFilter::Box).Empty());
}

}  // namespace
}  // namespace nimbra
