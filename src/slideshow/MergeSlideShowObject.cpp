#include "slideshow/MergeSlideShowObject.h"

#include "framework/Properties.h"
#include "slideshow/SlideShowObjectList.h"
#include "slideshow/TextSubChunk.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TMergeSlideShowObject, TBaseExtBitmapSlideShowObject)

TMergeSlideShowObject::TMergeSlideShowObject() : children_(*this) {}

TMergeSlideShowObject::~TMergeSlideShowObject() = default;

void TMergeSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TBaseExtBitmapSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TMergeSlideShowObject*>(&other);
  if (source == nullptr) return;
  children_.CopyFrom(source->Children());
  text_ = source->text_;
}

bool TMergeSlideShowObject::WriteToStream(TCSFStream& stream) const {
  if (!TBaseExtBitmapSlideShowObject::WriteToStream(stream)) return false;
  return WriteTextSubChunk(stream, text_);
}

bool TMergeSlideShowObject::ReadFromStream(TCSFStream& stream) {
  if (!TBaseExtBitmapSlideShowObject::ReadFromStream(stream)) return false;
  if (stream.FileVersion() < kMergeTextVersion) return true;
  return ReadTextSubChunk(stream, text_);
}

}  // namespace nimbra
