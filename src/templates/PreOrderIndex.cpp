#include "templates/PreOrderIndex.h"

#include <algorithm>

namespace nimbra {

void TPreOrderIndex::Start(const TRef<ITree>& tree) {
  items_.clear();
  parents_.clear();
  levels_.clear();
  places_.clear();
  knownOwner_ = nullptr;
  knownOwnerList_ = nullptr;
  hint_ = 0;
  usable_ = true;
  TRef<ITreeItemList> roots = tree ? tree->GetItems() : nullptr;
  if (!roots || roots->Count() == 0) return;
  // Climbing from the last root item must end the walk, as it does when the roots' list belongs
  // to the tree and not to an item.
  if (dynamic_cast<ITreeItem*>(roots->GetOwner()) != nullptr) {
    Fail();
    return;
  }
  // Mostly a slideshow is one long list: growing the record step by step would copy it repeatedly.
  items_.reserve(static_cast<size_t>(roots->Count()));
  levels_.push_back({std::move(roots), 0, -1});
  RecordNext();
}

void TPreOrderIndex::Fail() {
  usable_ = false;
  items_ = {};
  parents_.clear();
  levels_.clear();
  places_.clear();
}

bool TPreOrderIndex::RecordNext() {
  while (usable_ && !levels_.empty()) {
    TLevel& level = levels_.back();
    if (level.next >= level.list->Count()) {
      levels_.pop_back();
      continue;
    }
    const TRef<ITreeItem> item = level.list->GetItem(level.next++);
    if (!item) {
      Fail();
      return false;
    }
    const TObject* owner = item->GetOwner();
    if (owner != knownOwner_) {
      knownOwner_ = owner;
      knownOwnerList_ = dynamic_cast<const ITreeItemList*>(owner);
    }
    if (knownOwnerList_ != level.list.Get()) {
      Fail();
      return false;
    }
    const int32_t place = Recorded();
    const int32_t parent = level.parent;
    items_.push_back(item.Get());
    if (parents_.empty() || parents_.back().parent != parent) parents_.push_back({place, parent});
    if (item->HasChildren()) {
      TRef<ITreeItemList> children = item->GetChildren();
      // Climbing from the last child must come back to this item.
      if (dynamic_cast<ITreeItem*>(children->GetOwner()) != item.Get()) {
        Fail();
        return false;
      }
      levels_.push_back({std::move(children), 0, place});
    }
    return true;
  }
  return false;
}

int32_t TPreOrderIndex::CountAll() {
  while (RecordNext()) {
  }
  return usable_ ? Recorded() : -1;
}

int32_t TPreOrderIndex::PlaceOf(const ITreeItem* item) {
  if (item == nullptr || !usable_) return -1;
  if (hint_ < Recorded() && items_[hint_] == item) return hint_;
  if (items_.empty()) return -1;
  // A jump back to the start of the slideshow.
  if (items_.front() == item) return hint_ = 0;
  if (places_.empty()) {
    if (CountAll() < 0) return -1;
    places_.reserve(items_.size());
    // An item held twice is found at its first place, as a search of its list finds it.
    for (int32_t place = 0; place < Recorded(); ++place) places_.emplace(items_[place], place);
  }
  const auto found = places_.find(item);
  if (found == places_.end()) return -1;
  hint_ = found->second;
  return hint_;
}

bool TPreOrderIndex::NextAfter(int32_t place, ITreeItem*& next) {
  next = nullptr;
  if (!usable_ || place < 0 || place >= Recorded()) return false;
  if (place + 1 == Recorded() && !RecordNext()) return usable_;
  hint_ = place + 1;
  next = items_[hint_];
  return true;
}

bool TPreOrderIndex::IsInside(int32_t place, const TRef<ITreeItem>& ancestor) const {
  if (!ancestor || place < 0 || place >= Recorded()) return false;
  const TObject* wanted = ancestor->GetObject();
  for (int32_t parent = ParentOf(place); parent >= 0; parent = ParentOf(parent)) {
    if (items_[parent]->GetObject() == wanted) return true;
  }
  return false;
}

int32_t TPreOrderIndex::ParentOf(int32_t place) const {
  const auto after = std::upper_bound(
      parents_.begin(), parents_.end(), place,
      [](int32_t wanted, const TParentRun& run) { return wanted < run.start; });
  return after == parents_.begin() ? -1 : std::prev(after)->parent;
}

}  // namespace nimbra
