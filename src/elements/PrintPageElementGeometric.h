// Rectangles and ellipses that decorate a page, each with an optional fill and an optional
// one-pixel border in colours that may be translucent; translucent colours are blended over what
// is already on the page, read from the engine's page bitmap. One print call finishes them: a
// second pass would blend a translucent colour over itself.
#pragma once

#include <cstdint>

#include "elements/PrintablePageElement.h"

namespace nimbra {

// DrawFlags bits.
inline constexpr uint8_t kDrawFill = 1;
inline constexpr uint8_t kDrawBorder = 2;

class TPrintPageElementGeometricProperties : public TVisiblePageElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementGeometricProperties() = default;

  // One sub-chunk: DrawFlags, BorderColor, FillColor, BorderWidth.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  TColor32 BorderColor() const { return borderColor_; }
  void SetBorderColor(TColor32 colour) { borderColor_ = colour; }
  TColor32 FillColor() const { return fillColor_; }
  void SetFillColor(TColor32 colour) { fillColor_ = colour; }
  // Stored and loaded; borders are always one pixel wide.
  int32_t BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int32_t width) { borderWidth_ = width; }
  uint8_t DrawFlags() const { return drawFlags_; }
  void SetDrawFlags(uint8_t flags) { drawFlags_ = flags; }

 private:
  TColor32 borderColor_ = 0xFF000000;
  TColor32 fillColor_ = 0xFFFFFFFF;
  int32_t borderWidth_ = 1;
  uint8_t drawFlags_ = kDrawFill | kDrawBorder;
};

class TPrintPageElementGeometric : public TPrintablePageElement,
                                   public ITargetBitmapElement,
                                   public ICanvasPassControl,
                                   public IContextPrintable {
  NIMBRA_DECLARE_PLUGIN()

 public:
  std::string Category() const override;

  // Draws the shape with what the documented calls set (the mode and the target) through
  // PrintWith.
  void Print(TBitmap32* canvas, const TPixelRect& pageRect) override;

  void SetTargetBitmap(TBitmap32* bitmap) override { SetDocumentedTarget(bitmap); }
  TBitmap32* TargetBitmap() const { return DocumentedTarget(); }

  // ICanvasPassControl: the shape is complete after the engine's print call.
  bool SkipsCanvasPass() const override { return true; }

  // True when a colour that is drawn is not fully opaque.
  virtual bool NeedsBlending() const;
  // The element's pixel rectangle on the page, with left ≤ right and top ≤ bottom.
  virtual TPixelRect ShapeRect(const TPixelRect& pageRect) const;

  TPrintPageElementGeometricProperties& GeometricProperties() const;

 protected:
  explicit TPrintPageElementGeometric(const TMetaClass& propertiesClass);
};

class TPrintPageElementRect : public TPrintPageElementGeometric {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementRect();

  static std::string ClassCaption() { return "Rechteck"; }
  static std::string ClassDescription() {
    return "Darstellung eines Rechtecks mit oder ohne Füllung bzw. Rand";
  }

  // Fills and frames the rectangle in a bitmap that starts as the page beneath it (the target's
  // pixels when rendering, the canvas's in the design view), then copies that onto the canvas.
  void PrintWith(const TRenderContext& context) override;
};

class TPrintPageElementEllipseProperties : public TPrintPageElementGeometricProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementEllipseProperties() = default;

  // One sub-chunk after the geometric one: Circle.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  // Draw the largest circle centred in the rectangle.
  bool Circle() const { return circle_; }
  void SetCircle(bool circle) { circle_ = circle; }

 private:
  bool circle_ = false;
};

class TPrintPageElementEllipse : public TPrintPageElementGeometric {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementEllipse();

  static std::string ClassCaption() { return "Ellipse"; }
  static std::string ClassDescription() {
    return "Darstellung einer Elipse mit oder ohne Füllung bzw. Rand";
  }

  // Opaque colours are drawn straight onto the canvas without antialiasing; translucent ones go
  // through RenderShape, and its bitmap is copied onto a canvas that is not the target's.
  void PrintWith(const TRenderContext& context) override;
  // With Circle, the largest square centred in the normalised rectangle.
  TPixelRect ShapeRect(const TPixelRect& pageRect) const override;
  // The shape drawn antialiased over the target's pixels under it, and put into the target;
  // shapeRect receives where it goes. None for a rectangle without area.
  virtual std::unique_ptr<TBitmap32> RenderShape(TPixelRect& shapeRect,
                                                 const TPixelRect& pageRect);

  TPrintPageElementEllipseProperties& EllipseProperties() const;

 private:
  // RenderShape for the target given.
  std::unique_ptr<TBitmap32> RenderShapeOn(TBitmap32* target, TPixelRect& shapeRect,
                                           const TPixelRect& pageRect);
};

}  // namespace nimbra
