// Antialiased shapes (ellipses, polygons, wide lines) drawn straight into a bitmap's memory with
// Qt's raster painter; every shape is one path, so a translucent colour is blended once per pixel
// even where the outline crosses itself.
//
// The painter wraps the bitmap as QImage::Format_ARGB32, our own layout (straight alpha), without
// copying. Qt composites internally on premultiplied values: it converts just the pixels a shape
// touches, blends, and converts them back. Pixels the shape does not touch are never converted,
// opaque pixels survive the round trip unchanged, and the blend itself is source over as in
// Blend.h (red at alpha 128 over (30, 50, 80) gives (143, 25, 40)); over translucent pixels a
// channel may land one level from Blend.h's exact result. Wrapping as premultiplied
// instead would mean converting the whole bitmap there and back for every shape, costing time
// and the precision of every translucent pixel.
//
// Coordinates are pixel centres, as in Transform.h: (x, y) is the centre of pixel (x, y).
#pragma once

#include <memory>
#include <span>

#include "raster/Bitmap32.h"
#include "raster/Transform.h"

class QPainter;

namespace nimbra {

enum class TFillRule : uint8_t { EvenOdd, Winding };

class TPainter {
 public:
  // Paints on target until the painter is destroyed; antialiasing is on. The bitmap must not be
  // resized meanwhile. An empty bitmap gives a painter that draws nothing.
  explicit TPainter(TBitmap32& target);
  ~TPainter();
  TPainter(const TPainter&) = delete;
  TPainter& operator=(const TPainter&) = delete;

  bool IsActive() const;
  void SetAntialiasing(bool on);

  // The ellipse whose bounding box is bounds, filled.
  void FillEllipse(const TFloatRect& bounds, TColor32 colour);
  // Its outline: a stroke of the width, centred on the ellipse.
  void DrawEllipse(const TFloatRect& bounds, TColor32 colour, double width = 1);
  void FillPolygon(std::span<const TFloatPoint> points, TColor32 colour,
                   TFillRule rule = TFillRule::EvenOdd);
  // Strokes with flat ends and mitred corners; closed joins the last point to the first.
  void DrawPolyline(std::span<const TFloatPoint> points, TColor32 colour, double width = 1,
                    bool closed = false);
  void DrawLine(TFloatPoint from, TFloatPoint to, TColor32 colour, double width = 1);

  // The underlying Qt painter (translated to pixel-centre coordinates), for what this class does
  // not offer, such as text. Only valid while IsActive().
  QPainter& Native();

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace nimbra
