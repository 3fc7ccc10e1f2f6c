#include "templates/PageGeometry.h"

#include <cmath>
#include <limits>

namespace nimbra {

int32_t RoundHalfToEven(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kLowest = std::numeric_limits<int32_t>::min();
  constexpr double kHighest = std::numeric_limits<int32_t>::max();
  if (value <= kLowest) return std::numeric_limits<int32_t>::min();
  if (value >= kHighest) return std::numeric_limits<int32_t>::max();
  // Explicit rather than std::nearbyint: the result must not depend on the thread's rounding mode.
  const double floor = std::floor(value);
  const double fraction = value - floor;
  double rounded = floor;
  if (fraction > 0.5) {
    rounded = floor + 1;
  } else if (fraction == 0.5) {
    rounded = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
  }
  return static_cast<int32_t>(rounded);
}

namespace {

// Offsets are added in 64 bits and clamped, so an origin near the end of the range cannot overflow.
int32_t Offset(double scaled, int32_t origin) {
  const int64_t sum = int64_t{RoundHalfToEven(scaled)} + origin;
  if (sum > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (sum < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(sum);
}

double Fraction(int32_t pixel, int32_t origin, double extent) {
  if (extent == 0) return 0;
  return (static_cast<double>(pixel) - origin) / extent;
}

}  // namespace

TPixelRect FractionToPixels(const TDoubleRect& fractions, const TPixelRect& page) {
  const double width = static_cast<double>(page.Right) - page.Left;
  const double height = static_cast<double>(page.Bottom) - page.Top;
  return {Offset(width * fractions.Left, page.Left), Offset(height * fractions.Top, page.Top),
          Offset(width * fractions.Right, page.Left), Offset(height * fractions.Bottom, page.Top)};
}

TDoubleRect PixelsToFraction(const TPixelRect& pixels, const TPixelRect& page) {
  const double width = static_cast<double>(page.Right) - page.Left;
  const double height = static_cast<double>(page.Bottom) - page.Top;
  return {Fraction(pixels.Left, page.Left, width), Fraction(pixels.Top, page.Top, height),
          Fraction(pixels.Right, page.Left, width), Fraction(pixels.Bottom, page.Top, height)};
}

int32_t CentimetresToPixels(double centimetres, double dotsPerInch) {
  return RoundHalfToEven(centimetres * dotsPerInch / 2.54);
}

}  // namespace nimbra
