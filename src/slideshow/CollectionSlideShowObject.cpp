#include "slideshow/CollectionSlideShowObject.h"

#include <algorithm>

#include "framework/FieldMap.h"
#include "slideshow/SlideShowObjectList.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TCollectionSlideShowObject, TPlayableSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TContainerSlideShowObject, TCollectionSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TParallelSlideShowObject, TCollectionSlideShowObject)

namespace {

int32_t ClampToInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

// ---- TChildList ----

TChildList::TChildList(TSlideShowObject& owner) : owner_(owner) {}

TChildList::~TChildList() = default;

TSlideShowObjectList& TChildList::Create() {
  if (!list_) list_ = std::make_unique<TSlideShowObjectList>(&owner_);
  return *list_;
}

void TChildList::CopyFrom(const TSlideShowObjectList* other) {
  if (other == list_.get()) return;
  if (other == nullptr) {
    list_.reset();
    return;
  }
  Create().AssignList(*other);
}

// ---- TCollectionSlideShowObject ----

TCollectionSlideShowObject::TCollectionSlideShowObject() : children_(*this) {}

TCollectionSlideShowObject::~TCollectionSlideShowObject() = default;

void TCollectionSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TPlayableSlideShowObject::CopyFrom(other);
  if (const auto* source = dynamic_cast<const TCollectionSlideShowObject*>(&other)) {
    children_.CopyFrom(source->Children());
  }
}

// ---- TContainerSlideShowObject ----

int32_t TContainerSlideShowObject::Duration() const {
  const TSlideShowObjectList* children = Children();
  return children != nullptr ? ClampToInt32(children->TotalDuration()) : 0;
}

void TContainerSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TCollectionSlideShowObject::CopyFrom(other);
  if (const auto* source = dynamic_cast<const TContainerSlideShowObject*>(&other)) {
    chapterText_ = source->chapterText_;
  }
}

std::string TContainerSlideShowObject::PropertyFrameClassName() const {
  return "TContainerSlideShowObjectPropertyFrame";
}

void TContainerSlideShowObject::MapFields(TFieldMap& map) {
  TCollectionSlideShowObject::MapFields(map);
  map.String("chapterText", chapterText_);
}

// ---- TParallelSlideShowObject ----

int32_t TParallelSlideShowObject::Duration() const {
  const TSlideShowObjectList* children = Children();
  if (children == nullptr) return 0;
  int64_t latestEnd = 0;
  for (int32_t i = 0; i < children->Count(); ++i) {
    const TSlideShowObject* child = children->Items(i);
    if (!child->Active()) continue;
    const auto* playable = dynamic_cast<const TPlayableSlideShowObject*>(child);
    const int64_t delay = playable != nullptr ? playable->StartDelay() : 0;
    latestEnd = std::max(latestEnd, delay + child->Duration());
  }
  return ClampToInt32(latestEnd);
}

void TParallelSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TCollectionSlideShowObject::CopyFrom(other);
  if (const auto* source = dynamic_cast<const TParallelSlideShowObject*>(&other)) {
    text_ = source->text_;
  }
}

std::string TParallelSlideShowObject::PropertyFrameClassName() const {
  return "TParallelSlideShowObjectPropertyFrame";
}

void TParallelSlideShowObject::MapFields(TFieldMap& map) {
  TCollectionSlideShowObject::MapFields(map);
  if (map.Since(kParallelTextVersion)) map.String("text", text_);
}

}  // namespace nimbra
