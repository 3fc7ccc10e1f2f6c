#include "elements/PictureGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "elements/FitRect.h"
#include "raster/StretchDraw.h"
#include "templates/PageGeometry.h"

namespace nimbra {

namespace {

// Turned pictures are cleared to white without alpha, so that filters which reach past the
// picture's edge mix in no dark fringe.

int64_t FittedArea(int width, int height, int boxWidth, int boxHeight) {
  const TPixelRect fitted = FitRect(width, height, {0, 0, boxWidth, boxHeight});
  return int64_t{fitted.Width()} * fitted.Height();
}

// Output size of a turned picture; 0 × 0 for a fit mode that does not exist.
void TurnedOutputSize(const TAffineTransformation& transformation, int boxWidth, int boxHeight,
                      uint8_t fitMode, int& width, int& height) {
  width = 0;
  height = 0;
  if (fitMode == 0) {
    width = boxWidth;
    height = boxHeight;
  } else if (fitMode == 1 || fitMode == 2) {
    // The transformed bounds hold the outer edges of the corner pixels; the picture is as large
    // as the span of their centres, one less.
    const TRect bounds = transformation.GetTransformedBounds();
    width = std::max(0, bounds.Width() - 1);
    height = std::max(0, bounds.Height() - 1);
    // Fitted to the box, that span is one pixel wider than the box where it touches it; the
    // pixel given up there holds only the outer half of the transparent border, and without it
    // the picture stays inside the element as this mode promises.
    if (fitMode == 1) {
      width = std::min(width, boxWidth);
      height = std::min(height, boxHeight);
    }
  }
}

TPictureGeometry Unturned(const TBitmap32& source, TBitmap32& output, int boxWidth,
                          int boxHeight, bool keepAspect, TResamplingFilter filter,
                          const TPictureSize& shape) {
  const TPictureGeometry geometry =
      UnturnedFit(source.Width(), source.Height(), boxWidth, boxHeight, keepAspect, shape);
  // Every pixel of the output is drawn.
  output.SetSizeForOverwrite(geometry.ScaledWidth, geometry.ScaledHeight);
  StretchDraw(output, output.BoundsRect(), source, filter, TDrawMode::Opaque);
  return geometry;
}

// What to cut off each side of an output side of this size to keep it within twice the reach.
int CutToReach(int size, int reach) {
  if (reach <= 0 || size <= int64_t{2} * reach) return 0;
  return static_cast<int>((size - int64_t{2} * reach) / 2);
}

TPictureGeometry Turned(TBitmap32& source, TBitmap32& output, int boxWidth, int boxHeight,
                        bool keepAspect, double angle, uint8_t fitMode, TResamplingFilter filter,
                        TPictureReach reach) {
  ClearBorderPixels(source);
  const double w = source.Width();
  const double h = source.Height();
  // The turn is about the middle of the pixel centres' span.
  const double w1 = std::max(1.0, w - 1);
  const double h1 = std::max(1.0, h - 1);
  const TTurnedScale scale =
      TurnedScaleOf(source.Width(), source.Height(), boxWidth, boxHeight, keepAspect, angle, fitMode);
  const double turnedWidth = scale.TurnedWidth;
  const double turnedHeight = scale.TurnedHeight;
  const double sx = scale.Sx;
  const double sy = scale.Sy;

  TPictureGeometry geometry;
  TAffineTransformation& t = geometry.Transformation;
  // The picture's area in the raster's pixel-centre coordinates, so that its transformed bounds
  // lie evenly about the turned picture and centring them centres the picture.
  t.SetSrcRect({-0.5, -0.5, w - 0.5, h - 0.5});
  t.Translate(-w1 / 2, -h1 / 2);
  t.Rotate(angle);
  t.Translate(turnedWidth / 2, turnedHeight / 2);
  t.Scale(sx, sy);
  geometry.ScaledWidth = RoundHalfToEven(w * sx);
  geometry.ScaledHeight = RoundHalfToEven(h * sy);

  int width = 0;
  int height = 0;
  TurnedOutputSize(t, boxWidth, boxHeight, fitMode, width, height);
  // Whole pixels, so the transformed bounds keep their size and centring them places every
  // remaining pixel as before.
  const int cutX = CutToReach(width, reach.Width);
  const int cutY = CutToReach(height, reach.Height);
  if (cutX != 0 || cutY != 0) t.Translate(-cutX, -cutY);
  output = TBitmap32(width - 2 * cutX, height - 2 * cutY);
  output.Clear(kColor32TransparentWhite);
  DrawTransformed(output, source, t, filter, TDrawMode::Opaque);
  return geometry;
}

}  // namespace

TPictureGeometry UnturnedFit(int width, int height, int boxWidth, int boxHeight, bool keepAspect,
                             TPictureSize shape) {
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return {};
  if (shape.Width <= 0 || shape.Height <= 0) shape = {width, height};
  TPixelRect box{0, 0, boxWidth, boxHeight};
  if (keepAspect) box = FitRect(shape.Width, shape.Height, box);
  TPictureGeometry geometry;
  geometry.Transformation.SetSrcRect({0, 0, double(width), double(height)});
  geometry.Transformation.Scale(double(box.Width()) / width, double(box.Height()) / height);
  geometry.ScaledWidth = box.Width();
  geometry.ScaledHeight = box.Height();
  return geometry;
}

TTurnedScale TurnedScaleOf(int width, int height, int boxWidth, int boxHeight, bool keepAspect,
                           double angle, uint8_t fitMode) {
  const double w = width;
  const double h = height;
  // Pixel centres span one less than the picture; the turn is about the middle of that span.
  const double w1 = std::max(1.0, w - 1);
  const double h1 = std::max(1.0, h - 1);
  const double radians = angle * std::numbers::pi / 180;
  TTurnedScale scale;
  scale.TurnedWidth = std::abs(w1 * std::cos(radians)) + std::abs(h1 * std::sin(radians));
  scale.TurnedHeight = std::abs(w1 * std::sin(radians)) + std::abs(h1 * std::cos(radians));
  scale.Sx = double(boxWidth) / scale.TurnedWidth;
  scale.Sy = double(boxHeight) / scale.TurnedHeight;
  if (fitMode == 2) {
    scale.Sx = boxWidth / w;
    scale.Sy = boxHeight / h;
  }
  if (keepAspect) scale.Sx = scale.Sy = std::min(scale.Sx, scale.Sy);
  return scale;
}

TResamplingFilter PictureFilter(int sourceWidth, int sourceHeight, int targetWidth,
                                int targetHeight, bool preview) {
  if (preview) return TResamplingFilter::Nearest;
  const bool enlarging = targetWidth >= sourceWidth && targetHeight >= sourceHeight;
  return enlarging ? TResamplingFilter::Mitchell : TResamplingFilter::Lanczos;
}

bool ReducesToWorkingCopy(int width, int height, int fittedWidth, int fittedHeight) {
  return width > int64_t{2} * fittedWidth || height > int64_t{2} * fittedHeight;
}

TBitmap32 MakeWorkingCopy(TBitmap32& picture, int fittedWidth, int fittedHeight, bool rendering) {
  const int64_t workWidth = int64_t{2} * fittedWidth;
  const int64_t workHeight = int64_t{2} * fittedHeight;
  if (!rendering ||
      !ReducesToWorkingCopy(picture.Width(), picture.Height(), fittedWidth, fittedHeight)) {
    return std::exchange(picture, TBitmap32());
  }
  TBitmap32 working(static_cast<int>(workWidth), static_cast<int>(workHeight));
  StretchDraw(working, working.BoundsRect(), picture,
              PictureFilter(picture.Width(), picture.Height(), working.Width(), working.Height(),
                            false),
              TDrawMode::Opaque);
  picture = TBitmap32();
  return working;
}

bool TurningFillsBetter(int width, int height, int boxWidth, int boxHeight) {
  return FittedArea(height, width, boxWidth, boxHeight) >
         FittedArea(width, height, boxWidth, boxHeight);
}

void ClearBorderPixels(TBitmap32& bitmap) {
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  if (w == 0 || h == 0) return;
  auto clear = [&](int x, int y) { bitmap.SetPixel(x, y, ColorWithAlpha(bitmap.Pixel(x, y), 0)); };
  for (int x = 0; x < w; ++x) {
    clear(x, 0);
    clear(x, h - 1);
  }
  for (int y = 1; y < h - 1; ++y) {
    clear(0, y);
    clear(w - 1, y);
  }
}

TPictureGeometry FitAndTurn(TBitmap32& source, TBitmap32& output, int boxWidth, int boxHeight,
                            bool keepAspect, double angle, uint8_t fitMode,
                            TResamplingFilter filter, TPictureReach reach, TPictureSize shape) {
  if (source.Empty() || boxWidth <= 0 || boxHeight <= 0) {
    output = TBitmap32();
    return {};
  }
  if (angle == 0) return Unturned(source, output, boxWidth, boxHeight, keepAspect, filter, shape);
  return Turned(source, output, boxWidth, boxHeight, keepAspect, angle, fitMode, filter, reach);
}

}  // namespace nimbra
