#include "elements/PrintWizardPictureEffectShadow.h"

#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectShadowProperties,
                     TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectShadow, TPrintWizardPictureEffect)

// ---- TPrintWizardPictureEffectShadowProperties ----

bool TPrintWizardPictureEffectShadowProperties::WriteToStream(TCSFStream& stream) const {
  if (!TPrintWizardPictureEffectProperties::WriteToStream(stream)) return false;
  try {
    TWriteSubChunk chunk(stream);
    stream.WriteDouble(angle_);
    stream.WriteDouble(distance_);
    stream.WriteDouble(blur_);
    stream.WriteByte(transparency_);
    chunk.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TPrintWizardPictureEffectShadowProperties::ReadFromStream(TCSFStream& stream) {
  if (!TPrintWizardPictureEffectProperties::ReadFromStream(stream)) return false;
  try {
    TReadSubChunk chunk(stream);
    angle_ = stream.ReadDouble();
    distance_ = stream.ReadDouble();
    blur_ = stream.ReadDouble();
    transparency_ = stream.ReadByte();
    return true;
  } catch (...) {
    return false;
  }
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
