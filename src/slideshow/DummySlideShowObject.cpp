#include "slideshow/DummySlideShowObject.h"

#include <exception>

#include "framework/Properties.h"
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
  try {
    TWriteSubChunk chunk(stream);
    stream.WriteString(text_);
    chunk.End();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TDummySlideShowObject::ReadFromStream(TCSFStream& stream) {
  if (!TPlayableSlideShowObject::ReadFromStream(stream)) return false;
  if (stream.FileVersion() < kDummyTextVersion) return true;
  try {
    TReadSubChunk chunk(stream);
    text_ = stream.ReadString();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace nimbra
