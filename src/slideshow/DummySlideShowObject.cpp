#include "slideshow/DummySlideShowObject.h"

#include "framework/Properties.h"
#include "slideshow/TextSubChunk.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TDummySlideShowObject, TPlayableSlideShowObject)

void TDummySlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TPlayableSlideShowObject::CopyFrom(other);
  if (const auto* source = dynamic_cast<const TDummySlideShowObject*>(&other))
    text_ = source->text_;
}

std::string TDummySlideShowObject::DisplayName() const {
  const std::string caption = TPlayableSlideShowObject::DisplayName();
  return text_.empty() ? caption : caption + ": " + text_;
}

std::string TDummySlideShowObject::PropertyFrameClassName() const {
  return "TPlayableSlideShowObjectPropertyFrame";
}

bool TDummySlideShowObject::WriteToStream(TCSFStream& stream) const {
  if (!TPlayableSlideShowObject::WriteToStream(stream)) return false;
  return WriteTextSubChunk(stream, text_);
}

bool TDummySlideShowObject::ReadFromStream(TCSFStream& stream) {
  if (!TPlayableSlideShowObject::ReadFromStream(stream)) return false;
  if (stream.FileVersion() < kDummyTextVersion) return true;
  return ReadTextSubChunk(stream, text_);
}

}  // namespace nimbra
