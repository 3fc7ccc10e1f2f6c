#include "framework/ObjectListEvent.h"

#include <algorithm>
#include <utility>

namespace nimbra {

namespace {

constexpr TGUID kIInterfaceIID = TGUID::Parse("{00000000-0000-0000-C000-000000000046}");

}  // namespace

NIMBRA_DEFINE_CLASS(TObjectListEvent, TObject)

TObjectListEvent::TObjectListEvent(bool ownsObjects)
    : TInterfacedObject(Lifetime::Owned), ownsObjects_(ownsObjects) {
  InitEvents();
}

TObjectListEvent::~TObjectListEvent() {
  DestroyItems();
}

void TObjectListEvent::DestroyItems() {
  if (itemsDestroyed_) return;
  itemsDestroyed_ = true;
  // A destructor cannot pass an event handler's exception on; the objects are gone either way.
  try {
    Clear();
  } catch (...) {
  }
}

void TObjectListEvent::CheckIndex(int32_t index) const {
  if (index < 0 || index >= Count()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
}

void TObjectListEvent::CheckOwnsForHandOver() const {
  if (!ownsObjects_) throw std::invalid_argument("a list that does not own its objects");
}

TObjectListEvent::TEntry TObjectListEvent::Store(TObject* object) {
  TEntry entry(object, TEntryRelease{this});
  if (object != nullptr) Notify(object, TListNotification::Added);
  return entry;
}

TObjectListEvent::TEntry TObjectListEvent::TakeAt(int32_t index) {
  TEntry entry = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  return entry;
}

TObject* TObjectListEvent::Items(int32_t index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].get();
}

void TObjectListEvent::SetItems(int32_t index, TObject* object) {
  CheckIndex(index);
  TEntry& slot = items_[static_cast<size_t>(index)];
  if (slot.get() != object) {
    TEntry former = std::exchange(slot, TEntry(nullptr, TEntryRelease{this}));
    slot = Store(object);
    former.reset();
  }
  DoAttached(index);
  DoReplaced(index);
}

int32_t TObjectListEvent::Add(TObject* object) {
  items_.push_back(Store(object));
  const int32_t index = Count() - 1;
  DoAttached(index);
  DoAdded(index);
  return index;
}

int32_t TObjectListEvent::Add(std::unique_ptr<TObject> object) {
  CheckOwnsForHandOver();
  return Add(object.release());
}

void TObjectListEvent::Insert(int32_t index, TObject* object) {
  if (index < 0 || index > Count()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  items_.insert(items_.begin() + index, Store(object));
  DoAttached(index);
  DoAdded(index);
}

void TObjectListEvent::Insert(int32_t index, std::unique_ptr<TObject> object) {
  CheckOwnsForHandOver();
  if (index < 0 || index > Count()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  Insert(index, object.release());
}

void TObjectListEvent::Delete(int32_t index) {
  CheckIndex(index);
  DoDeleted(index);
  // A handler may have changed the list; delete what is at the index now, if anything.
  if (index < Count()) TakeAt(index);
}

int32_t TObjectListEvent::RemoveIndex(int32_t index) {
  if (index >= 0) TakeAt(index);
  DoDeleted(index);
  return index;
}

int32_t TObjectListEvent::Remove(const TObject* object) {
  return RemoveIndex(IndexOf(object));
}

TObject* TObjectListEvent::Extract(const TObject* object) {
  const int32_t index = IndexOf(object);
  if (index < 0) return nullptr;
  TObject* extracted = TakeAt(index).release();
  if (extracted != nullptr) Notify(extracted, TListNotification::Extracted);
  return extracted;
}

int32_t TObjectListEvent::IndexOf(const TObject* object) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == object) return static_cast<int32_t>(i);
  }
  return -1;
}

void TObjectListEvent::Clear() {
  while (!items_.empty()) {
    TEntry last = std::move(items_.back());
    items_.pop_back();
  }
  Changed();
}

void TObjectListEvent::Exchange(int32_t index1, int32_t index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[static_cast<size_t>(index1)], items_[static_cast<size_t>(index2)]);
}

void TObjectListEvent::Move(int32_t currentIndex, int32_t newIndex) {
  CheckIndex(currentIndex);
  CheckIndex(newIndex);
  if (currentIndex == newIndex) return;
  TEntry entry = TakeAt(currentIndex);
  items_.insert(items_.begin() + newIndex, std::move(entry));
}

void TObjectListEvent::Sort(const std::function<bool(const TObject*, const TObject*)>& less) {
  std::stable_sort(items_.begin(), items_.end(),
                   [&less](const TEntry& a, const TEntry& b) { return less(a.get(), b.get()); });
}

void TObjectListEvent::BeginUpdate() {
  if (updateCount_ == 0) changePending_ = false;
  ++updateCount_;
}

void TObjectListEvent::EndUpdate() {
  if (updateCount_ <= 0) return;
  --updateCount_;
  if (updateCount_ == 0 && changePending_) {
    Changed();
    changePending_ = false;
  }
}

bool TObjectListEvent::Supports(const TGUID& iid) const {
  return iid == kIInterfaceIID;
}

void TObjectListEvent::Changed() {
  if (updateCount_ == 0 && OnChange) OnChange(this);
  changePending_ = true;
}

void TObjectListEvent::DoAdded(int32_t index) {
  if (updateCount_ == 0 && OnAdded) OnAdded(this, index);
  Changed();
}

void TObjectListEvent::DoDeleted(int32_t index) {
  if (updateCount_ == 0 && OnDeleted) OnDeleted(this, index);
  Changed();
}

void TObjectListEvent::DoReplaced(int32_t index) {
  if (updateCount_ == 0 && OnReplaced) OnReplaced(this, index);
  Changed();
}

void TObjectListEvent::DoAttached(int32_t index) {
  if (OnAttached) OnAttached(this, index);
}

void TObjectListEvent::InitEvents() {
  updateCount_ = 0;
  changePending_ = false;
  OnChange = nullptr;
  OnAdded = nullptr;
  OnDeleted = nullptr;
  OnReplaced = nullptr;
}

void TObjectListEvent::Notify(TObject* object, TListNotification action) {
  if (action == TListNotification::Deleted && ownsObjects_) std::default_delete<TObject>()(object);
}

std::string TObjectListEvent::StillReferencedMessage(int32_t count) const {
  return "Interface wird noch referenziert! " + std::to_string(count) +
         " Klasse: " + ReferencedClassName();
}

}  // namespace nimbra
