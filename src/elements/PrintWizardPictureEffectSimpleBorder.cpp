#include "elements/PrintWizardPictureEffectSimpleBorder.h"

#include "framework/FieldMap.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectSimpleBorderProperties,
                     TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectSimpleBorder, TPrintWizardPictureEffect)

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

void TPrintWizardPictureEffectSimpleBorder::Apply(TBitmap32&, const TPixelRect&, double,
                                                  TAffineTransformation*, double, double) {}

TPrintWizardPictureEffectSimpleBorderProperties&
TPrintWizardPictureEffectSimpleBorder::BorderProperties() const {
  return static_cast<TPrintWizardPictureEffectSimpleBorderProperties&>(*Properties());
}

}  // namespace nimbra
