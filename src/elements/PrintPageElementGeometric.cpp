#include "elements/PrintPageElementGeometric.h"

#include <algorithm>

#include "elements/FitRect.h"
#include "framework/FieldMap.h"
#include "storage/Check.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintPageElementGeometricProperties, TVisiblePageElementProperties)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementGeometric, TPrintablePageElement)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementRect, TPrintPageElementGeometric)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementEllipseProperties, TPrintPageElementGeometricProperties)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementEllipse, TPrintPageElementGeometric)

// ---- TPrintPageElementGeometricProperties ----

void TPrintPageElementGeometricProperties::MapFields(TFieldMap& map) {
  TVisiblePageElementProperties::MapFields(map);
  map.SubChunk([&] {
    map.Byte("drawFlags", drawFlags_);
    map.Color("borderColor", borderColor_);
    map.Color("fillColor", fillColor_);
    map.Integer("borderWidth", borderWidth_);
  });
}

std::string TPrintPageElementGeometricProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TVisiblePageElementProperties::EditorFrameClassNames(),
                                    "TPrintPageElementGeometricPropertyEditorFrame");
}

// ---- TPrintPageElementGeometric ----

TPrintPageElementGeometric::TPrintPageElementGeometric(const TMetaClass& propertiesClass)
    : TPrintablePageElement(propertiesClass) {
  NIMBRA_CHECK(PropertiesAs<TPrintPageElementGeometricProperties>() != nullptr,
               propertiesClass.ClassName() + " is no geometric element bag");
}

std::string TPrintPageElementGeometric::Category() const { return kElementCategoryGeneral; }

TPrintPageElementGeometricProperties& TPrintPageElementGeometric::GeometricProperties() const {
  return static_cast<TPrintPageElementGeometricProperties&>(Properties());
}

bool TPrintPageElementGeometric::NeedsBlending() const {
  const TPrintPageElementGeometricProperties& bag = GeometricProperties();
  const bool fill = (bag.DrawFlags() & kDrawFill) != 0;
  const bool border = (bag.DrawFlags() & kDrawBorder) != 0;
  return (fill && AlphaComponent(bag.FillColor()) < 255) ||
         (border && AlphaComponent(bag.BorderColor()) < 255);
}

TPixelRect TPrintPageElementGeometric::ShapeRect(const TPixelRect& pageRect) const {
  const TPixelRect pixels = PixelBounds(pageRect);
  return {std::min(pixels.Left, pixels.Right), std::min(pixels.Top, pixels.Bottom),
          std::max(pixels.Left, pixels.Right), std::max(pixels.Top, pixels.Bottom)};
}

// ---- TPrintPageElementRect ----
// (Print of the rectangle and the ellipse, and RenderShape, are in
// PrintPageElementGeometricDrawing.cpp.)

TPrintPageElementRect::TPrintPageElementRect()
    : TPrintPageElementGeometric(TPrintPageElementGeometricProperties::StaticClass()) {}

// ---- TPrintPageElementEllipseProperties ----

void TPrintPageElementEllipseProperties::MapFields(TFieldMap& map) {
  TPrintPageElementGeometricProperties::MapFields(map);
  map.SubChunk([&] { map.Boolean("circle", circle_); });
}

std::string TPrintPageElementEllipseProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPrintPageElementGeometricProperties::EditorFrameClassNames(),
                                    "TPrintPageElementEllipsePropertyEditorFrame");
}

// ---- TPrintPageElementEllipse ----

TPrintPageElementEllipse::TPrintPageElementEllipse()
    : TPrintPageElementGeometric(TPrintPageElementEllipseProperties::StaticClass()) {}

TPrintPageElementEllipseProperties& TPrintPageElementEllipse::EllipseProperties() const {
  return static_cast<TPrintPageElementEllipseProperties&>(Properties());
}

TPixelRect TPrintPageElementEllipse::ShapeRect(const TPixelRect& pageRect) const {
  const TPixelRect rect = TPrintPageElementGeometric::ShapeRect(pageRect);
  // A rectangle without area stays one: there is nothing to draw in it.
  if (!EllipseProperties().Circle() || rect.Width() == 0 || rect.Height() == 0) return rect;
  return FitRectCentered(10, 10, rect);
}

}  // namespace nimbra
