#include "slideshow/SlideShowObject.h"

#include <algorithm>
#include <typeinfo>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/FieldMap.h"
#include "framework/FileNameResolution.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowObjectList.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/ChunkedStreams.h"
#include "storage/TextCase.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TSlideShowObject, TInterfacedPlugin)

TSlideShowObject::~TSlideShowObject() = default;

void TSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  // A fresh copy takes the source's list, so that it resolves file names against the same
  // document until it is inserted somewhere. An object that already sits in a list stays there:
  // taking another list's reference would give it a path, parent and document it is not in.
  if (ownerList_ == nullptr) ownerList_ = other.ownerList_;
  active_ = other.active_;
}

void TSlideShowObject::SetDuration(int32_t /*milliseconds*/) {}

void TSlideShowObject::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  Changed(kChangeActive);
}

void TSlideShowObject::Assign(const TPlugin& source) {
  if (&source == this) return;
  if (const auto* object = dynamic_cast<const TSlideShowObject*>(&source)) CopyFrom(*object);
}

void TSlideShowObject::AssignWithChildren(const TSlideShowObject& other) {
  if (&other == this) return;
  Assign(other);
  ICollection* target = AsCollection(this);
  const ICollection* source = AsCollection(&other);
  if (target == nullptr || source == nullptr) return;
  if (const TSlideShowObjectList* sourceChildren = source->Children()) {
    target->CreateChildren().AssignList(*sourceChildren);
  } else if (TSlideShowObjectList* children = target->Children()) {
    children->Clear();
  }
}

std::unique_ptr<TSlideShowObject> TSlideShowObject::Clone() const {
  std::unique_ptr<TSlideShowObject> copy = CreateAs<TSlideShowObject>(ClassType());
  if (copy) copy->Assign(*this);
  return copy;
}

std::unique_ptr<TSlideShowObject> TSlideShowObject::CloneWithChildren() const {
  std::unique_ptr<TSlideShowObject> copy = CreateAs<TSlideShowObject>(ClassType());
  if (copy) copy->AssignWithChildren(*this);
  return copy;
}

bool TSlideShowObject::SupportsExtension(const std::string& extension) const {
  for (const std::string& accepted : FileExtensions()) {
    if (SameText(accepted, extension)) return true;
  }
  return false;
}

std::string TSlideShowObject::CategoryName() const { return "Standard"; }

std::string TSlideShowObject::DisplayName() const {
  std::string caption = Caption();
  return caption.empty() ? "ohne Namen" : caption;
}

std::unique_ptr<TBitmap32> TSlideShowObject::SmallIcon() const { return nullptr; }

std::unique_ptr<TBitmap32> TSlideShowObject::LargeIcon() const { return SmallIcon(); }

int32_t TSlideShowObject::SmallIconIndex() const { return -1; }

int32_t TSlideShowObject::LargeIconIndex() const { return -1; }

bool TSlideShowObject::WriteToStream(TCSFStream& stream) const {
  return WriteFields(stream, *this);
}

bool TSlideShowObject::SaveToStream(TStream& stream) const {
  return WriteChunked(stream, CSFMode::Headerless, kSlideShowFileType, kSlideShowFileVersion,
                      [this](TCSFStream& csf) { return WriteToStream(csf); });
}

bool TSlideShowObject::ReadFromStream(TCSFStream& stream) {
  const bool read = ReadFields(stream, *this);
  Changed(kChangeRead);
  return read;
}

bool TSlideShowObject::LoadFromStream(TStream& stream) {
  return ReadHeaderless(stream, kSlideShowFileType, kSlideShowFileVersion,
                        [this](TCSFStream& csf) { return ReadFromStream(csf); });
}

void TSlideShowObject::DescribeFields(TFieldWriter& fields) const {
  DescribeFieldsOf(fields, *this);
}

void TSlideShowObject::MapFields(TFieldMap& map) { map.Boolean("active", active_); }

TPath TSlideShowObject::Path() const {
  // Collected innermost first, then turned round: the root level comes first.
  std::vector<int32_t> indices;
  for (const TSlideShowObject* object = this; object != nullptr; object = object->Parent()) {
    indices.push_back(object->Index());
  }
  std::reverse(indices.begin(), indices.end());
  return TPath(std::move(indices));
}

std::string TSlideShowObject::PathText() const { return Path().ToText(); }

int32_t TSlideShowObject::Depth() const {
  int32_t depth = 0;
  for (const TSlideShowObject* parent = Parent(); parent != nullptr; parent = parent->Parent()) {
    ++depth;
  }
  return depth;
}

bool TSlideShowObject::IsDescendantOf(const TSlideShowObject& ancestor) const {
  for (const TSlideShowObject* parent = Parent(); parent != nullptr; parent = parent->Parent()) {
    if (parent == &ancestor) return true;
  }
  return false;
}

TSlideShow* TSlideShowObject::SlideShow() const {
  return ownerList_ != nullptr ? ownerList_->SlideShow() : nullptr;
}

TSlideShowObject* TSlideShowObject::Parent() const {
  return ownerList_ != nullptr ? dynamic_cast<TSlideShowObject*>(ownerList_->Owner()) : nullptr;
}

std::string TSlideShowObject::ResolveFileName(const std::string& name) const {
  if (const TSlideShow* document = SlideShow()) return document->ResolveFileName(name);
  return nimbra::ResolveFileName(name, std::string());
}

void TSlideShowObject::Changed(int32_t changeCode, int32_t extra) {
  if (changeTarget_) changeTarget_(*this, changeCode, extra);
}

namespace {

// Walks and loads ask every object whether it is a collection. A cast that fails has to search
// the whole interface lattice of the kind, which made it the largest cost of loading a document;
// the answer depends on the class alone, so it is kept per class (per thread, as the render
// thread walks the tree too).
bool IsCollectionClass(const TSlideShowObject& object) {
  thread_local std::unordered_map<const std::type_info*, bool> known;
  const std::type_info* type = &typeid(object);
  const auto found = known.find(type);
  if (found != known.end()) return found->second;
  const bool collection = dynamic_cast<const ICollection*>(&object) != nullptr;
  known.emplace(type, collection);
  return collection;
}

}  // namespace

ICollection* AsCollection(TSlideShowObject* object) {
  if (object == nullptr || !IsCollectionClass(*object)) return nullptr;
  return dynamic_cast<ICollection*>(object);
}

const ICollection* AsCollection(const TSlideShowObject* object) {
  if (object == nullptr || !IsCollectionClass(*object)) return nullptr;
  return dynamic_cast<const ICollection*>(object);
}

TSlideShowObjectList* ChildrenOf(const TSlideShowObject* object) {
  const ICollection* collection = AsCollection(object);
  return collection != nullptr ? collection->Children() : nullptr;
}

}  // namespace nimbra
