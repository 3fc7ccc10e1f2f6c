// The drawing half of the rectangle and the ellipse.
#include <memory>

#include "elements/PrintPageElementGeometric.h"
#include "raster/DrawLine.h"
#include "raster/Painter.h"

namespace nimbra {

namespace {

TRect ToRect(const TPixelRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

bool Draws(const TPrintPageElementGeometricProperties& bag, uint8_t flag) {
  return (bag.DrawFlags() & flag) != 0;
}

// A bitmap of the rectangle's size holding what lies under it on page (transparent where the
// rectangle leaves the page, or without a page).
TBitmap32 PixelsUnder(const TBitmap32* page, const TPixelRect& rect) {
  TBitmap32 pixels(rect.Width(), rect.Height());
  if (page != nullptr) DrawBitmap(pixels, 0, 0, *page, ToRect(rect), TDrawMode::Opaque);
  return pixels;
}

// The ellipse through the centres of the outermost pixels of a width × height box at (x, y).
TFloatRect EllipseBounds(int x, int y, int width, int height) {
  return {double(x), double(y), double(x + width - 1), double(y + height - 1)};
}

}  // namespace

void TPrintPageElementGeometric::Print(TBitmap32* canvas, const TPixelRect& pageRect) {
  PrintWith(DocumentedContext(canvas, pageRect));
}

void TPrintPageElementRect::PrintWith(const TRenderContext& context) {
  const TPrintPageElementGeometricProperties& bag = GeometricProperties();
  TBitmap32* canvas = context.Canvas;
  // 1. the shape's rectangle on the page; one without area draws nothing
  const TPixelRect e = ShapeRect(context.PageRect);
  if (e.Width() == 0 || e.Height() == 0) return;
  // 2.-3. the page beneath, so that translucent colours blend over it (the canvas stands in for
  // a missing target)
  const TBitmap32* page =
      context.FinalRendering() && context.TargetBitmap != nullptr ? context.TargetBitmap : canvas;
  TBitmap32 shape = PixelsUnder(page, e);
  // 4. the fill, blended over the page beneath
  if (Draws(bag, kDrawFill)) FillRect(shape, shape.BoundsRect(), bag.FillColor(), TDrawMode::Blend);
  // 5. the border, blended the same way
  if (Draws(bag, kDrawBorder)) {
    FrameRect(shape, shape.BoundsRect(), bag.BorderColor(), TDrawMode::Blend);
  }
  // 6. the finished shape goes onto the canvas as it is
  if (canvas != nullptr) DrawBitmap(*canvas, e.Left, e.Top, shape, TDrawMode::Opaque);
}

void TPrintPageElementEllipse::PrintWith(const TRenderContext& context) {
  TBitmap32* canvas = context.Canvas;
  TBitmap32* target = context.TargetBitmap;
  if (NeedsBlending()) {
    TPixelRect r;
    const std::unique_ptr<TBitmap32> shape = RenderShapeOn(target, r, context.PageRect);
    if (!shape || canvas == nullptr || canvas == target) return;
    // With a target the shape holds the target's pixels and is copied; without one it holds
    // only the shape, which is blended over what the canvas shows.
    const TDrawMode mode = target != nullptr ? TDrawMode::Opaque : TDrawMode::Blend;
    DrawBitmap(*canvas, r.Left, r.Top, *shape, mode);
    return;
  }
  // Opaque colours need no blending: drawn as a plain, hard-edged ellipse.
  const TPrintPageElementGeometricProperties& bag = GeometricProperties();
  const TPixelRect r = ShapeRect(context.PageRect);
  if (canvas == nullptr || r.Width() == 0 || r.Height() == 0) return;
  TPainter painter(*canvas);
  painter.SetAntialiasing(false);
  const TFloatRect bounds = EllipseBounds(r.Left, r.Top, r.Width(), r.Height());
  if (Draws(bag, kDrawFill)) painter.FillEllipse(bounds, ColorWithAlpha(bag.FillColor(), 255));
  if (Draws(bag, kDrawBorder)) painter.DrawEllipse(bounds, ColorWithAlpha(bag.BorderColor(), 255));
}

std::unique_ptr<TBitmap32> TPrintPageElementEllipse::RenderShape(TPixelRect& shapeRect,
                                                                 const TPixelRect& pageRect) {
  return RenderShapeOn(TargetBitmap(), shapeRect, pageRect);
}

std::unique_ptr<TBitmap32> TPrintPageElementEllipse::RenderShapeOn(TBitmap32* target,
                                                                   TPixelRect& shapeRect,
                                                                   const TPixelRect& pageRect) {
  const TPrintPageElementGeometricProperties& bag = GeometricProperties();
  shapeRect = ShapeRect(pageRect);
  if (shapeRect.Width() == 0 || shapeRect.Height() == 0) return nullptr;
  auto shape = std::make_unique<TBitmap32>(PixelsUnder(target, shapeRect));
  {
    TPainter painter(*shape);
    const TFloatRect bounds = EllipseBounds(0, 0, shape->Width(), shape->Height());
    if (Draws(bag, kDrawFill)) painter.FillEllipse(bounds, bag.FillColor());
    if (Draws(bag, kDrawBorder)) painter.DrawEllipse(bounds, bag.BorderColor());
  }
  // The shape already holds the target's pixels blended with the colours; copying it back
  // blends them exactly once, also where the page itself is translucent.
  if (target != nullptr) {
    DrawBitmap(*target, shapeRect.Left, shapeRect.Top, *shape, TDrawMode::Opaque);
  }
  return shape;
}

}  // namespace nimbra
