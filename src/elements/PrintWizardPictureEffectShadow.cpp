#include "elements/PrintWizardPictureEffectShadow.h"

#include "framework/FieldMap.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectShadowProperties, TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectShadow, TPrintWizardPictureEffect)

// ---- TPrintWizardPictureEffectShadowProperties ----

void TPrintWizardPictureEffectShadowProperties::MapFields(TFieldMap& map) {
  TPrintWizardPictureEffectProperties::MapFields(map);
  map.SubChunk([&] {
    map.Double("angle", angle_);
    map.Double("distance", distance_);
    map.Double("blur", blur_);
    map.Byte("transparency", transparency_);
  });
}

std::string TPrintWizardPictureEffectShadowProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPrintWizardPictureEffectProperties::EditorFrameClassNames(),
                                    "TPrintWizardPictureEffectShadowPropertiesEditorFrame");
}

// ---- TPrintWizardPictureEffectShadow ----

TPrintWizardPictureEffectShadow::TPrintWizardPictureEffectShadow()
    : TPrintWizardPictureEffect(&TPrintWizardPictureEffectShadowProperties::StaticClass(),
                                kEffectStageAfterGeometry) {}

void TPrintWizardPictureEffectShadow::Apply(TBitmap32&, const TPixelRect&, double,
                                            TAffineTransformation*, double, double) {}

TPrintWizardPictureEffectShadowProperties& TPrintWizardPictureEffectShadow::ShadowProperties()
    const {
  // The constructor created the bag of this class.
  return static_cast<TPrintWizardPictureEffectShadowProperties&>(*Properties());
}

}  // namespace nimbra
