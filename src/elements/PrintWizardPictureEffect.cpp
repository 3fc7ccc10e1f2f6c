#include "elements/PrintWizardPictureEffect.h"

#include "storage/Check.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectProperties, TProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffect, TInterfacedPlugin)

TPrintWizardPictureEffect::TPrintWizardPictureEffect()
    : TPrintWizardPictureEffect(nullptr, kEffectStageBeforeGeometry) {}

TPrintWizardPictureEffect::TPrintWizardPictureEffect(const TMetaClass* propertiesClass,
                                                     uint8_t stage)
    : propertiesClass_(propertiesClass), stage_(stage) {
  if (propertiesClass_ == nullptr) return;
  properties_ = CreateProperties(*propertiesClass_);
  NIMBRA_CHECK(properties_, propertiesClass_->ClassName() + " is no effect bag");
}

TPrintWizardPictureEffect::~TPrintWizardPictureEffect() = default;

void TPrintWizardPictureEffect::Apply(TBitmap32&, const TPixelRect&, double,
                                      TAffineTransformation*, double, double) {}

bool TPrintWizardPictureEffect::WriteProperties(TCSFStream& stream) const {
  return properties_ == nullptr || properties_->WriteToStream(stream);
}

bool TPrintWizardPictureEffect::ReadProperties(TCSFStream& stream) {
  return properties_ == nullptr || properties_->ReadFromStream(stream);
}

}  // namespace nimbra
