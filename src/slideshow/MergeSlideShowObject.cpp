#include "slideshow/MergeSlideShowObject.h"

#include <exception>

#include "framework/Properties.h"
#include "slideshow/SlideShowObjectList.h"
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
  try {
    TWriteSubChunk chunk(stream);
    stream.WriteString(text_);
    chunk.End();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TMergeSlideShowObject::ReadFromStream(TCSFStream& stream) {
  if (!TBaseExtBitmapSlideShowObject::ReadFromStream(stream)) return false;
  if (stream.FileVersion() < kMergeTextVersion) return true;
  try {
    TReadSubChunk chunk(stream);
    text_ = stream.ReadString();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace nimbra
