#include "elements/PrintWizardPictureEffectColorize.h"

#include "framework/FieldMap.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectColorizeProperties,
                     TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectColorize, TPrintWizardPictureEffect)

// ---- TPrintWizardPictureEffectColorizeProperties ----

void TPrintWizardPictureEffectColorizeProperties::MapFields(TFieldMap& map) {
  TPrintWizardPictureEffectProperties::MapFields(map);
  map.SubChunk([&] {
    map.Boolean("replaceColor", replaceColor_);
    map.Integer("hue", hue_);
    map.Integer("saturation", saturation_);
  });
}

std::string TPrintWizardPictureEffectColorizeProperties::EditorFrameClassNames() const {
  // This frame's name is spelled "PropertyEditorFrame", unlike its siblings'.
  return AppendEditorFrameClassName(TPrintWizardPictureEffectProperties::EditorFrameClassNames(),
                                    "TPrintWizardPictureEffectColorizePropertyEditorFrame");
}

// ---- TPrintWizardPictureEffectColorize ----

TPrintWizardPictureEffectColorize::TPrintWizardPictureEffectColorize()
    : TPrintWizardPictureEffect(&TPrintWizardPictureEffectColorizeProperties::StaticClass(),
                                kEffectStageAfterGeometry) {}

void TPrintWizardPictureEffectColorize::Apply(TBitmap32&, const TPixelRect&, double,
                                              TAffineTransformation*, double, double) {}

TPrintWizardPictureEffectColorizeProperties& TPrintWizardPictureEffectColorize::ColorizeProperties()
    const {
  return static_cast<TPrintWizardPictureEffectColorizeProperties&>(*Properties());
}

}  // namespace nimbra
