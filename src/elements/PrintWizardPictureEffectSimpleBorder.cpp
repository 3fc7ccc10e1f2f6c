#include "elements/PrintWizardPictureEffectSimpleBorder.h"

#include <algorithm>
#include <utility>

#include "elements/BorderFrame.h"
#include "framework/FieldMap.h"
#include "raster/Blend.h"
#include "raster/CodecLimits.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectSimpleBorderProperties,
                     TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectSimpleBorder, TPrintWizardPictureEffect)

namespace {

// A stored width in pixels, at least one: NaN and negative widths give the thinnest border.
int BorderPixels(double centimetres, double dpi) {
  return std::max(1, CentimetresToPixels(centimetres, dpi));
}

}  // namespace

// ---- TPrintWizardPictureEffectSimpleBorderProperties ----

void TPrintWizardPictureEffectSimpleBorderProperties::MapFields(TFieldMap& map) {
  TPrintWizardPictureEffectProperties::MapFields(map);
  map.SubChunk([&] {
    map.Double("borderWidth", borderWidth_);
    map.Byte("transparency", transparency_);
    map.Color("color1", color1_);
    map.Color("color2", color2_);
    map.Byte("style", style_);
    map.Integer("patternCount", patternCount_);
    map.Boolean("individualSides", individualSides_);
    map.Double("leftWidth", leftWidth_);
    map.Double("topWidth", topWidth_);
    map.Double("rightWidth", rightWidth_);
    map.Double("bottomWidth", bottomWidth_);
  });
}

std::string TPrintWizardPictureEffectSimpleBorderProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPrintWizardPictureEffectProperties::EditorFrameClassNames(),
                                    "TPrintWizardPictureEffectSimpleBorderPropertiesEditorFrame");
}

// ---- TPrintWizardPictureEffectSimpleBorder ----

TPrintWizardPictureEffectSimpleBorder::TPrintWizardPictureEffectSimpleBorder()
    : TPrintWizardPictureEffect(&TPrintWizardPictureEffectSimpleBorderProperties::StaticClass(),
                                kEffectStageBeforeGeometry) {}

void TPrintWizardPictureEffectSimpleBorder::Apply(TBitmap32& bitmap, const TPixelRect&,
                                                  double dpi, TAffineTransformation*, double,
                                                  double) {
  SetSkipped(false);
  // Nothing to frame.
  if (bitmap.Empty()) return;
  const TPrintWizardPictureEffectSimpleBorderProperties& bag = BorderProperties();
  // 1. widths in pixels; the colours take the border's transparency
  TBorderFrame frame;
  frame.Width = BorderPixels(bag.BorderWidth(), dpi);
  frame.Sides = {frame.Width, frame.Width, frame.Width, frame.Width};
  if (bag.IndividualSides()) {
    frame.Sides = {BorderPixels(bag.LeftWidth(), dpi), BorderPixels(bag.TopWidth(), dpi),
                   BorderPixels(bag.RightWidth(), dpi), BorderPixels(bag.BottomWidth(), dpi)};
  }
  const auto alpha = static_cast<uint8_t>(255 - bag.Transparency());
  frame.Color1 = ColorWithAlpha(bag.Color1(), alpha);
  frame.Color2 = ColorWithAlpha(bag.Color2(), alpha);
  frame.Style = bag.Style();
  frame.PatternCount = bag.PatternCount();
  // 2. the grown bitmap; a border too large for it is left out
  const int64_t width = int64_t{bitmap.Width()} + frame.Sides.Left + frame.Sides.Right;
  const int64_t height = int64_t{bitmap.Height()} + frame.Sides.Top + frame.Sides.Bottom;
  // Stored widths have no bound, and a few metres of border would ask for gigabytes: the framed
  // picture may grow as far as every effect may, and no further.
  SetSkipped(!WithinWholePictureLimits(width, height));
  if (Skipped()) return;
  TBitmap32 framed(static_cast<int>(width), static_cast<int>(height));
  framed.Clear(kColor32TransparentWhite);
  // 3.
  DrawBorderFrame(framed, frame);
  // 4. the picture inside the frame, as it was
  DrawBitmap(framed, frame.Sides.Left, frame.Sides.Top, bitmap, TDrawMode::Opaque);
  bitmap = std::move(framed);
}

TPrintWizardPictureEffectSimpleBorderProperties&
TPrintWizardPictureEffectSimpleBorder::BorderProperties() const {
  return static_cast<TPrintWizardPictureEffectSimpleBorderProperties&>(*Properties());
}

}  // namespace nimbra
