// Affine transformations (turning, scaling, moving) of pictures, their transformed bounds, and
// drawing a picture through one onto another bitmap with antialiased edges.
//
// Coordinates are pixel centres: the point (x, y) is the centre of pixel (x, y), so a picture of
// w × h pixels covers (−0.5, −0.5) … (w − 0.5, h − 0.5), and its centre is ((w − 1) / 2,
// (h − 1) / 2). Turning about that centre by a multiple of 90 degrees therefore maps pixels
// exactly onto pixels. y grows downward; positive angles turn counter-clockwise as seen on the
// screen. Unlike StretchDraw, which maps pixel areas edge onto edge, a scaling transformation maps
// centres: Scale(2) puts the centres 0 … w − 1 at 0 … 2w − 2.
#pragma once

#include <cstdint>

#include "raster/Bitmap32.h"
#include "raster/Blend.h"
#include "raster/Resample.h"

namespace nimbra {

struct TFloatPoint {
  double X = 0;
  double Y = 0;
  bool operator==(const TFloatPoint&) const = default;
};

struct TFloatRect {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;

  double Width() const { return Right - Left; }
  double Height() const { return Bottom - Top; }
  bool operator==(const TFloatRect&) const = default;
};

// x' = A x + C y + E, y' = B x + D y + F. Every building operation applies after what the
// transformation already does. A transformation also carries the source rectangle it is meant
// for; its transformed bounds size the bitmaps pictures are turned into.
class TAffineTransformation {
 public:
  // The identity with an empty source rectangle.
  TAffineTransformation() = default;

  void Clear();
  void Translate(double dx, double dy);
  void Scale(double sx, double sy);
  void Scale(double factor) { Scale(factor, factor); }
  // About the origin. Multiples of 90 degrees use exact sines and cosines.
  void Rotate(double degrees);
  void Rotate(double centreX, double centreY, double degrees);
  // First this transformation, then next; the source rectangle stays this one's.
  void Append(const TAffineTransformation& next);

  TFloatPoint Transform(TFloatPoint point) const;
  // False for a transformation that squeezes the plane onto a line or a point.
  bool IsInvertible() const;
  // The inverse; the identity when there is none.
  TAffineTransformation Inverse() const;

  const TFloatRect& SrcRect() const { return srcRect_; }
  void SetSrcRect(const TFloatRect& rect) { srcRect_ = rect; }

  // The smallest rectangle of whole numbers holding the four transformed corners of rect (left and
  // top rounded down, right and bottom up; values within 1e-7 of a whole number count as whole,
  // so that turning by 90 degrees gives the exact size). The first form takes SrcRect.
  TRect GetTransformedBounds() const { return GetTransformedBounds(srcRect_); }
  TRect GetTransformedBounds(const TFloatRect& rect) const;

  double A() const { return a_; }
  double B() const { return b_; }
  double C() const { return c_; }
  double D() const { return d_; }
  double E() const { return e_; }
  double F() const { return f_; }

 private:
  // Applies the linear part (a, b, c, d) and then (e, f) after the current transformation.
  void Then(double a, double b, double c, double d, double e, double f);

  double a_ = 1;
  double b_ = 0;
  double c_ = 0;
  double d_ = 1;
  double e_ = 0;
  double f_ = 0;
  TFloatRect srcRect_;
};

// Draws the whole of source through the transformation onto target (clipped to it). Beyond the
// picture's edges lies transparency, so the edges are antialiased: they fade over about a pixel
// into what is beneath (Blend, or Merge with the effects' integer rule), or into transparency
// (Opaque, which replaces the target's pixels wherever the picture covers them, and leaves the
// rest). When the transformation shrinks the
// picture, it is first reduced with the filter to about its final size, so that no detail
// aliases; pixman then samples the turn (and any enlargement) bilinearly, or with Nearest the
// nearest pixel. Nothing is drawn for an empty bitmap, a transformation without inverse, or one
// that pixman's 16.16 fixed-point numbers cannot hold.
void DrawTransformed(TBitmap32& target, const TBitmap32& source,
                     const TAffineTransformation& transformation,
                     TResamplingFilter filter = TResamplingFilter::Linear,
                     TDrawMode mode = TDrawMode::Blend, uint8_t masterAlpha = 255);

}  // namespace nimbra
