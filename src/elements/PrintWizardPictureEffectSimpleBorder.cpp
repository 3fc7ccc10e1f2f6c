#include "elements/PrintWizardPictureEffectSimpleBorder.h"

#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectSimpleBorderProperties,
                     TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectSimpleBorder, TPrintWizardPictureEffect)

// ---- TPrintWizardPictureEffectSimpleBorderProperties ----

bool TPrintWizardPictureEffectSimpleBorderProperties::WriteToStream(TCSFStream& stream) const {
  if (!TPrintWizardPictureEffectProperties::WriteToStream(stream)) return false;
  try {
    TWriteSubChunk chunk(stream);
    stream.WriteDouble(borderWidth_);
    stream.WriteByte(transparency_);
    stream.WriteCardinal(color1_);
    stream.WriteCardinal(color2_);
    stream.WriteByte(style_);
    stream.WriteInteger(patternCount_);
    stream.WriteBoolean(individualSides_);
    stream.WriteDouble(leftWidth_);
    stream.WriteDouble(topWidth_);
    stream.WriteDouble(rightWidth_);
    stream.WriteDouble(bottomWidth_);
    chunk.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TPrintWizardPictureEffectSimpleBorderProperties::ReadFromStream(TCSFStream& stream) {
  if (!TPrintWizardPictureEffectProperties::ReadFromStream(stream)) return false;
  try {
    TReadSubChunk chunk(stream);
    borderWidth_ = stream.ReadDouble();
    transparency_ = stream.ReadByte();
    color1_ = stream.ReadCardinal();
    color2_ = stream.ReadCardinal();
    style_ = stream.ReadByte();
    patternCount_ = stream.ReadInteger();
    individualSides_ = stream.ReadBoolean();
    leftWidth_ = stream.ReadDouble();
    topWidth_ = stream.ReadDouble();
    rightWidth_ = stream.ReadDouble();
    bottomWidth_ = stream.ReadDouble();
    return true;
  } catch (...) {
    return false;
  }
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
