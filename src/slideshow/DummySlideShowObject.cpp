#include "slideshow/DummySlideShowObject.h"

#include "framework/FieldMap.h"

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

void TDummySlideShowObject::MapFields(TFieldMap& map) {
  TPlayableSlideShowObject::MapFields(map);
  // In a sub-chunk of its own, so that a reader skips whatever a newer writer adds to it.
  if (map.Since(kDummyTextVersion)) map.SubChunk([&] { map.String("text", text_); });
}

}  // namespace nimbra
