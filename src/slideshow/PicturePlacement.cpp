#include "slideshow/PicturePlacement.h"

#include <algorithm>
#include <cmath>

namespace nimbra {

namespace {

// Positions are rounded like the element rectangles of page templates, so a picture and an
// element laid over the same fractions meet at the same pixel.
int32_t ScaledOffset(int32_t length, double fraction) {
  return RoundHalfEven(static_cast<double>(length) * fraction);
}

// 3. The alignments other than centre put the picture against the named edges of the area and
// centre it along the other axis.
TPixelRect Align(TPixelRect picture, const TPixelRect& area, uint8_t alignment) {
  const int32_t width = picture.Width();
  const int32_t height = picture.Height();
  const int32_t centredLeft = area.Left + (area.Width() - width) / 2;
  const int32_t centredTop = area.Top + (area.Height() - height) / 2;
  const int32_t right = area.Right - width;
  const int32_t bottom = area.Bottom - height;
  int32_t left = picture.Left;
  int32_t top = picture.Top;
  switch (static_cast<TPictureAlignment>(alignment)) {
    case TPictureAlignment::Centre:
      left = centredLeft;
      top = centredTop;
      break;
    case TPictureAlignment::TopLeft:
      left = area.Left;
      top = area.Top;
      break;
    case TPictureAlignment::TopRight:
      left = right;
      top = area.Top;
      break;
    case TPictureAlignment::BottomLeft:
      left = area.Left;
      top = bottom;
      break;
    case TPictureAlignment::BottomRight:
      left = right;
      top = bottom;
      break;
    case TPictureAlignment::TopCentre:
      left = centredLeft;
      top = area.Top;
      break;
    case TPictureAlignment::BottomCentre:
      left = centredLeft;
      top = bottom;
      break;
    case TPictureAlignment::LeftCentre:
      left = area.Left;
      top = centredTop;
      break;
    case TPictureAlignment::RightCentre:
      left = right;
      top = centredTop;
      break;
    default:
      return picture;
  }
  return {left, top, left + width, top + height};
}

// 2. A picture scaled into the area with its proportions: as wide as the area, or as high as it
// when that would be too high.
TPixelRect FitWithAspect(int32_t width, int32_t height, const TPixelRect& area) {
  if (width <= 0 || height <= 0) return {area.Left, area.Top, area.Left, area.Top};
  int32_t fittedWidth = area.Width();
  int32_t fittedHeight =
      RoundHalfEven(static_cast<double>(height) / width * static_cast<double>(area.Width()));
  if (fittedHeight > area.Height()) {
    fittedHeight = area.Height();
    fittedWidth =
        RoundHalfEven(static_cast<double>(width) / height * static_cast<double>(area.Height()));
  }
  fittedWidth = std::max(fittedWidth, 1);
  fittedHeight = std::max(fittedHeight, 1);
  return {area.Left, area.Top, area.Left + fittedWidth, area.Top + fittedHeight};
}

uint8_t Channel(TColor32 colour, int shift) {
  return static_cast<uint8_t>(colour >> shift);
}

}  // namespace

int32_t RoundHalfEven(double value) {
  // Worked out by hand rather than with nearbyint, whose result follows the floating-point
  // rounding mode of the moment.
  const double floor = std::floor(value);
  const double fraction = value - floor;
  double result = floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0)) result = floor + 1;
  if (!(result >= -2147483648.0)) return INT32_MIN;  // also NaN
  if (result > 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(result);
}

TPixelRect PlacementArea(const TDoubleRect& fractions, const TPixelRect& screen) {
  const int32_t width = screen.Width();
  const int32_t height = screen.Height();
  return {screen.Left + ScaledOffset(width, fractions.Left),
          screen.Top + ScaledOffset(height, fractions.Top),
          screen.Left + ScaledOffset(width, fractions.Right),
          screen.Top + ScaledOffset(height, fractions.Bottom)};
}

TPixelRect PlacePicture(int32_t width, int32_t height, const TPlacementSettings& settings,
                        const TPixelRect& screen) {
  // 1. the area
  const TPixelRect area = PlacementArea(settings.Rect, screen);
  // 2. the picture's own rectangle
  TPixelRect picture{0, 0, width, height};
  if (settings.Scale) {
    picture = settings.KeepAspectRatio ? FitWithAspect(width, height, area) : area;
  }
  // 3. aligned inside the area
  return Align(picture, area, settings.Alignment);
}

TColor32 CombinePixel(TColor32 picture, TColor32 background, TCombineMode mode) {
  const uint32_t alpha = AlphaComponent(picture);
  if (mode == TCombineMode::Opaque) return picture;
  TColor32 result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t f = Channel(picture, shift);
    const uint32_t b = Channel(background, shift);
    uint32_t c = f;
    switch (mode) {
      case TCombineMode::AlphaBlend:
        c = (f * alpha + b * (255 - alpha) + 127) / 255;
        break;
      case TCombineMode::Add:
        c = std::min<uint32_t>(f + b, 255);
        break;
      case TCombineMode::Subtract:
        c = f > b ? f - b : 0;
        break;
      case TCombineMode::Multiply:
        c = f * b / 256;
        break;
      case TCombineMode::Darken:
        c = std::min(f, b);
        break;
      case TCombineMode::Lighten:
        c = std::max(f, b);
        break;
      default:
        break;
    }
    result |= c << shift;
  }
  uint32_t resultAlpha = alpha;
  if (mode == TCombineMode::AlphaBlend) {
    // What shows through stays covered: the background's own coverage adds to the picture's.
    resultAlpha = alpha + (AlphaComponent(background) * (255 - alpha) + 127) / 255;
  }
  return result | (resultAlpha << 24);
}

}  // namespace nimbra
