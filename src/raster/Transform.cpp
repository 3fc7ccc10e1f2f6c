#include "raster/Transform.h"

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <vector>

namespace nimbra {

namespace {

constexpr double kWholeTolerance = 1e-7;

int ToIntClamped(double value) {
  constexpr double kLow = std::numeric_limits<int>::min();
  constexpr double kHigh = std::numeric_limits<int>::max();
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::clamp(value, kLow, kHigh));
}

struct TPixmanImageDeleter {
  void operator()(pixman_image_t* image) const { pixman_image_unref(image); }
};
using TPixmanImage = std::unique_ptr<pixman_image_t, TPixmanImageDeleter>;

TPixmanImage WrapPixels(const TColor32* pixels, int width, int height) {
  // pixman takes a writable pointer for every image; a source image is only read.
  return TPixmanImage(pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height,
                                               const_cast<TColor32*>(pixels), width * 4));
}

// The whole source at width × height with the filter, premultiplied.
TBitmap32 ReducedPremultiplied(const TBitmap32& source, int width, int height,
                               TResamplingFilter filter) {
  TBitmap32 reduced(width, height);
  const TRect all = reduced.BoundsRect();
  ResampleConvolved(source, source.BoundsRect(), all, all, filter,
                    [&](int y, const TColor32* pixels) {
                      std::copy(pixels, pixels + width, reduced.ScanLine(y));
                    });
  return reduced;
}

TBitmap32 PremultipliedCopy(const TBitmap32& source) {
  TBitmap32 copy(source.Width(), source.Height());
  for (int y = 0; y < source.Height(); ++y) {
    PremultiplyRow(copy.ScanLine(y), source.ScanLine(y), source.Width());
  }
  return copy;
}

bool IsOpaque(const TBitmap32& bitmap) {
  return RowIsOpaque(bitmap.Bits(), bitmap.Width() * bitmap.Height());
}

// Tiles keep the temporary pixels small and pixman's coordinates well inside its 16.16 range.
constexpr int kTileWidth = 1024;
constexpr int kTileHeight = 64;

}  // namespace

// ---- TAffineTransformation ----

void TAffineTransformation::Clear() {
  a_ = d_ = 1;
  b_ = c_ = e_ = f_ = 0;
}

void TAffineTransformation::Then(double a, double b, double c, double d, double e, double f) {
  const double na = a * a_ + c * b_;
  const double nb = b * a_ + d * b_;
  const double nc = a * c_ + c * d_;
  const double nd = b * c_ + d * d_;
  const double ne = a * e_ + c * f_ + e;
  const double nf = b * e_ + d * f_ + f;
  a_ = na;
  b_ = nb;
  c_ = nc;
  d_ = nd;
  e_ = ne;
  f_ = nf;
}

void TAffineTransformation::Translate(double dx, double dy) {
  e_ += dx;
  f_ += dy;
}

void TAffineTransformation::Scale(double sx, double sy) {
  Then(sx, 0, 0, sy, 0, 0);
}

void TAffineTransformation::Rotate(double degrees) {
  double cosine;
  double sine;
  const double quarters = degrees / 90;
  if (std::isfinite(quarters) && quarters == std::round(quarters) && std::fabs(quarters) < 1e15) {
    static constexpr double kCos[4] = {1, 0, -1, 0};
    static constexpr double kSin[4] = {0, 1, 0, -1};
    const auto k = static_cast<int>(((static_cast<int64_t>(quarters) % 4) + 4) % 4);
    cosine = kCos[k];
    sine = kSin[k];
  } else {
    const double radians = degrees * std::numbers::pi / 180;
    cosine = std::cos(radians);
    sine = std::sin(radians);
  }
  // With y pointing down, (1, 0) goes to (cos, −sin): upward for small positive angles.
  Then(cosine, -sine, sine, cosine, 0, 0);
}

void TAffineTransformation::Rotate(double centreX, double centreY, double degrees) {
  Translate(-centreX, -centreY);
  Rotate(degrees);
  Translate(centreX, centreY);
}

void TAffineTransformation::Append(const TAffineTransformation& next) {
  Then(next.a_, next.b_, next.c_, next.d_, next.e_, next.f_);
}

TFloatPoint TAffineTransformation::Transform(TFloatPoint point) const {
  return {a_ * point.X + c_ * point.Y + e_, b_ * point.X + d_ * point.Y + f_};
}

bool TAffineTransformation::IsInvertible() const {
  const double det = a_ * d_ - b_ * c_;
  return std::isfinite(det) && std::fabs(det) > 1e-12 && std::isfinite(e_) && std::isfinite(f_);
}

TAffineTransformation TAffineTransformation::Inverse() const {
  TAffineTransformation inverse;
  if (!IsInvertible()) return inverse;
  const double det = a_ * d_ - b_ * c_;
  inverse.a_ = d_ / det;
  inverse.b_ = -b_ / det;
  inverse.c_ = -c_ / det;
  inverse.d_ = a_ / det;
  inverse.e_ = (c_ * f_ - d_ * e_) / det;
  inverse.f_ = (b_ * e_ - a_ * f_) / det;
  return inverse;
}

TRect TAffineTransformation::GetTransformedBounds(const TFloatRect& rect) const {
  const TFloatPoint corners[4] = {
      Transform({rect.Left, rect.Top}), Transform({rect.Right, rect.Top}),
      Transform({rect.Left, rect.Bottom}), Transform({rect.Right, rect.Bottom})};
  double left = corners[0].X;
  double right = corners[0].X;
  double top = corners[0].Y;
  double bottom = corners[0].Y;
  for (const TFloatPoint& p : corners) {
    left = std::min(left, p.X);
    right = std::max(right, p.X);
    top = std::min(top, p.Y);
    bottom = std::max(bottom, p.Y);
  }
  return {ToIntClamped(std::floor(left + kWholeTolerance)),
          ToIntClamped(std::floor(top + kWholeTolerance)),
          ToIntClamped(std::ceil(right - kWholeTolerance)),
          ToIntClamped(std::ceil(bottom - kWholeTolerance))};
}

// ---- drawing ----

void DrawTransformed(TBitmap32& target, const TBitmap32& source,
                     const TAffineTransformation& transformation, TResamplingFilter filter,
                     TDrawMode mode, uint8_t masterAlpha) {
  if (&target == &source) {
    const TBitmap32 copy = source;
    DrawTransformed(target, copy, transformation, filter, mode, masterAlpha);
    return;
  }
  if (source.Empty() || target.Empty() || !transformation.IsInvertible()) return;
  if (mode == TDrawMode::Blend && masterAlpha == 0) return;

  // 1. A shrinking transformation first reduces the picture with the filter, so that the turn
  // (sampling four pixels) loses no detail to aliasing. The reduced picture's pixel p' stands
  // where the original's p = (p' + 0.5) × w / w' − 0.5 was.
  TAffineTransformation toTarget = transformation;
  const double shrinkX = std::min(1.0, std::hypot(transformation.A(), transformation.B()));
  const double shrinkY = std::min(1.0, std::hypot(transformation.C(), transformation.D()));
  TBitmap32 premultiplied;
  const TBitmap32* pixels = &source;
  if (filter != TResamplingFilter::Nearest && (shrinkX < 0.999 || shrinkY < 0.999)) {
    const int width = std::max(1, static_cast<int>(std::lround(source.Width() * shrinkX)));
    const int height = std::max(1, static_cast<int>(std::lround(source.Height() * shrinkY)));
    premultiplied = ReducedPremultiplied(source, width, height, filter);
    TAffineTransformation back;
    back.Translate(0.5, 0.5);
    back.Scale(double(source.Width()) / width, double(source.Height()) / height);
    back.Translate(-0.5, -0.5);
    back.Append(transformation);
    toTarget = back;
    pixels = &premultiplied;
  } else if (!IsOpaque(source)) {
    premultiplied = PremultipliedCopy(source);
    pixels = &premultiplied;
  }
  if (!toTarget.IsInvertible()) return;

  // 2. The target pixels the picture can reach, with a pixel to spare for the fading edges.
  const TRect reach =
      toTarget.GetTransformedBounds({-0.5, -0.5, pixels->Width() - 0.5, pixels->Height() - 0.5});
  const TRect region = IntersectRect(
      {reach.Left == std::numeric_limits<int>::min() ? reach.Left : reach.Left - 1,
       reach.Top == std::numeric_limits<int>::min() ? reach.Top : reach.Top - 1,
       reach.Right == std::numeric_limits<int>::max() ? reach.Right : reach.Right + 1,
       reach.Bottom == std::numeric_limits<int>::max() ? reach.Bottom : reach.Bottom + 1},
      target.BoundsRect());
  if (region.IsEmpty()) return;

  // 3. pixman samples the picture for each tile of the region (premultiplied, transparent
  // outside the picture), and the tile is then combined with the target.
  const TPixmanImage image = WrapPixels(pixels->Bits(), pixels->Width(), pixels->Height());
  if (!image) return;
  pixman_image_set_filter(
      image.get(),
      filter == TResamplingFilter::Nearest ? PIXMAN_FILTER_NEAREST : PIXMAN_FILTER_BILINEAR,
      nullptr, 0);
  pixman_image_set_repeat(image.get(), PIXMAN_REPEAT_NONE);
  const TAffineTransformation toSource = toTarget.Inverse();
  std::vector<TColor32> tile(size_t(kTileWidth) * kTileHeight);
  // The merge rule works on straight colours; a sampled row is turned back into them first.
  std::vector<TColor32> straight(mode == TDrawMode::Merge ? kTileWidth : 0);
  for (int top = region.Top; top < region.Bottom; top += kTileHeight) {
    const int rows = std::min(kTileHeight, region.Bottom - top);
    for (int left = region.Left; left < region.Right; left += kTileWidth) {
      const int columns = std::min(kTileWidth, region.Right - left);
      // pixman samples tile pixel (i, j) at (i + 0.5, j + 0.5) and reads source pixel (x, y)
      // at (x + 0.5, y + 0.5); in between lie our pixel-centre coordinates.
      TAffineTransformation m;
      m.Translate(left - 0.5, top - 0.5);
      m.Append(toSource);
      m.Translate(0.5, 0.5);
      pixman_f_transform_t matrix = {{{m.A(), m.C(), m.E()}, {m.B(), m.D(), m.F()}, {0, 0, 1}}};
      pixman_transform_t fixed;
      if (!pixman_transform_from_pixman_f_transform(&fixed, &matrix)) return;
      pixman_image_set_transform(image.get(), &fixed);
      const TPixmanImage out = TPixmanImage(
          pixman_image_create_bits(PIXMAN_a8r8g8b8, columns, rows, tile.data(), columns * 4));
      if (!out) return;
      pixman_image_composite32(PIXMAN_OP_SRC, image.get(), nullptr, out.get(), 0, 0, 0, 0, 0, 0,
                               columns, rows);
      for (int j = 0; j < rows; ++j) {
        TColor32* line = target.ScanLine(top + j) + left;
        const TColor32* sampled = tile.data() + size_t(j) * size_t(columns);
        if (mode == TDrawMode::Opaque) {
          UnpremultiplyCoveredRow(line, sampled, columns);
        } else if (mode == TDrawMode::Merge) {
          UnpremultiplyRow(straight.data(), sampled, columns);
          MergeRow(line, straight.data(), columns, masterAlpha);
        } else {
          BlendPremultipliedRow(line, sampled, columns, masterAlpha);
        }
      }
    }
  }
}

}  // namespace nimbra
