#include "elements/PrintWizardPictureEffectColorize.h"

#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectColorizeProperties,
                     TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectColorize, TPrintWizardPictureEffect)

// ---- TPrintWizardPictureEffectColorizeProperties ----

bool TPrintWizardPictureEffectColorizeProperties::WriteToStream(TCSFStream& stream) const {
  if (!TPrintWizardPictureEffectProperties::WriteToStream(stream)) return false;
  try {
    TWriteSubChunk chunk(stream);
    stream.WriteBoolean(replaceColor_);
    stream.WriteInteger(hue_);
    stream.WriteInteger(saturation_);
    chunk.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TPrintWizardPictureEffectColorizeProperties::ReadFromStream(TCSFStream& stream) {
  if (!TPrintWizardPictureEffectProperties::ReadFromStream(stream)) return false;
  try {
    TReadSubChunk chunk(stream);
    replaceColor_ = stream.ReadBoolean();
    hue_ = stream.ReadInteger();
    saturation_ = stream.ReadInteger();
    return true;
  } catch (...) {
    return false;
  }
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
