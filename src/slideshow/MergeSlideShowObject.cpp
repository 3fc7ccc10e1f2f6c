#include "slideshow/MergeSlideShowObject.h"

#include "framework/FieldMap.h"
#include "slideshow/SlideShowObjectList.h"

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

void TMergeSlideShowObject::MapFields(TFieldMap& map) {
  TBaseExtBitmapSlideShowObject::MapFields(map);
  // In a sub-chunk of its own, so that a reader skips whatever a newer writer adds to it.
  if (map.Since(kMergeTextVersion)) map.SubChunk([&] { map.String("text", text_); });
}

}  // namespace nimbra
