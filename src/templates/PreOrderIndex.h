// The items of a tree in pre-order, recorded during a long walk over a tree that does not change
// meanwhile (the renderer's walk over the slideshow). Each step of the walk then costs an array
// step instead of casts along owner links and searches in item lists: the next item is the next
// place, and an item lies inside another when that one is met climbing the recorded parents.
// Items are recorded as the walk reaches them, so that a walk touches each item once.
//
// The tree's own walks follow the owner links (an item's list, that list's item). An item is only
// recorded when those links agree with the lists that hold it; from the first one that does not,
// Usable is false and the caller walks the tree itself. An item held twice is recorded at each
// place it is held.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "framework/CustomTree.h"

namespace nimbra {

class TPreOrderIndex {
 public:
  // Starts a new record of the tree (none for no tree), forgetting the one before.
  void Start(const TRef<ITree>& tree);
  bool Usable() const { return usable_; }
  // The items recorded so far: the tree's own walk meets at least as many.
  int32_t Recorded() const { return static_cast<int32_t>(items_.size()); }
  // All items at all depths, as TTreeImplement::Count, recording the rest; -1 when not Usable.
  int32_t CountAll();
  // The item's place, -1 when it is none or not in the tree (or not Usable). Walks ask for the
  // item they stepped to last, so that place is tried first.
  int32_t PlaceOf(const ITreeItem* item);
  // The item after the recorded place in pre-order (entering children), none after the last;
  // false when the record cannot tell (no longer Usable).
  bool NextAfter(int32_t place, ITreeItem*& next);
  // As TTreeImplement::IsChildOf (the item at the recorded place, ancestor, recursive).
  bool IsInside(int32_t place, const TRef<ITreeItem>& ancestor) const;

 private:
  // Places from start on have the parent at the place parent (-1: root items), up to the next
  // run's start. Siblings follow each other, so a long list is one run.
  struct TParentRun {
    int32_t start;
    int32_t parent;
  };
  // Where the record goes on: a list, the next index in it and the place of the list's item.
  struct TLevel {
    TRef<ITreeItemList> list;
    int32_t next;
    int32_t parent;
  };

  // Records the next item; false at the end of the tree and when its links disagree.
  bool RecordNext();
  void Fail();
  int32_t ParentOf(int32_t place) const;

  std::vector<ITreeItem*> items_;
  std::vector<TParentRun> parents_;
  // A stack instead of recursion: a deep tree must not exhaust the call stack.
  std::vector<TLevel> levels_;
  // The items of a list share their owner; one cast per list tells whether it is that list.
  const TObject* knownOwner_ = nullptr;
  const ITreeItemList* knownOwnerList_ = nullptr;
  int32_t hint_ = 0;
  // Filled the first time a place is asked for away from the hint (a jump, say).
  std::unordered_map<const ITreeItem*, int32_t> places_;
  bool usable_ = false;
};

}  // namespace nimbra
