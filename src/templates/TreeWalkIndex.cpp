#include "templates/TreeWalkIndex.h"

#include "framework/TreeImplement.h"

namespace nimbra {

int32_t TTreeWalkIndex::IndexOf(const TRef<ITreeItemList>& list, const TRef<ITreeItem>& item) {
  if (!list || !item) return -1;
  const TObject* wanted = item->GetObject();
  const auto placed = [&]() -> int32_t {
    const auto found = places_.find(wanted);
    if (found == places_.end()) return -1;
    const TRef<ITreeItem> there = list->GetItem(found->second);
    return there && there->GetObject() == wanted ? found->second : -1;
  };
  int32_t index = placed();
  if (index >= 0) return index;
  if (indexedLists_.insert(list->GetObject()).second) {
    IndexList(list);
    index = placed();
    if (index >= 0) return index;
  }
  return list->IndexOf(item);
}

void TTreeWalkIndex::IndexList(const TRef<ITreeItemList>& list) {
  const int32_t count = list->Count();
  for (int32_t i = 0; i < count; ++i) {
    if (const TRef<ITreeItem> item = list->GetItem(i)) places_[item->GetObject()] = i;
  }
}

TRef<ITreeItem> TTreeWalkIndex::GetNext(const TRef<ITree>& tree, const TRef<ITreeItem>& item,
                                        bool enterChildren) {
  // 1. an empty tree has nothing to walk
  if (tree) {
    const TRef<ITreeItemList> roots = tree->GetItems();
    if (!roots || roots->Count() == 0) return nullptr;
  }
  // 2. the walk starts at the first root item
  if (!item) return TTreeImplement::GetFirst(tree);
  // 3. descend, else step to the next sibling, else climb until an ancestor has one
  if (!enterChildren) return StepFrom(item, false);
  const TObject* from = item->GetObject();
  if (const auto known = nextInOrder_.find(from); known != nextInOrder_.end()) {
    return TRef<ITreeItem>(known->second);
  }
  TRef<ITreeItem> next = StepFrom(item, true);
  nextInOrder_.emplace(from, next.Get());
  return next;
}

TRef<ITreeItem> TTreeWalkIndex::StepFrom(TRef<ITreeItem> current, bool enterChildren) {
  for (;;) {
    // a.
    if (enterChildren && current->HasChildren()) return TTreeImplement::GetFirstChild(current);
    // b.
    const TRef<ITreeItemList> list = TTreeImplement::GetParentList(current);
    if (!list) return nullptr;
    // c.
    const int32_t index = IndexOf(list, current);
    if (index < 0) return nullptr;
    if (index < list->Count() - 1) return list->GetItem(index + 1);
    // d.
    TRef<ITreeItem> parent(dynamic_cast<ITreeItem*>(list->GetOwner()));
    if (!parent) return nullptr;
    current = parent;
    // e.
    const TRef<ITreeItemList> parentList = TTreeImplement::GetParentList(current);
    if (!parentList) return nullptr;
    const int32_t parentIndex = IndexOf(parentList, current);
    if (parentIndex < 0) return nullptr;
    if (parentIndex < parentList->Count() - 1) return parentList->GetItem(parentIndex + 1);
    // f.
    enterChildren = false;
  }
}

TRef<ITreeItem> TTreeWalkIndex::GetNextSibling(const TRef<ITreeItem>& item) {
  const TRef<ITreeItemList> list = TTreeImplement::GetParentList(item);
  if (!list) return nullptr;
  const int32_t index = IndexOf(list, item);
  if (index < 0 || index >= list->Count() - 1) return nullptr;
  return list->GetItem(index + 1);
}

TRef<ITreeItem> TTreeWalkIndex::GetNextChildOrSibling(const TRef<ITreeItem>& item) {
  if (item && item->HasChildren()) return TTreeImplement::GetFirstChild(item);
  return GetNextSibling(item);
}

bool TTreeWalkIndex::LeavesBranch(const TRef<ITreeItem>& item, ITreeItem* branch,
                                  bool enterChildren) {
  const TBranchQuestion question{item ? item->GetObject() : nullptr,
                                 branch != nullptr ? branch->GetObject() : nullptr, enterChildren};
  if (const auto known = leavesBranch_.find(question); known != leavesBranch_.end()) {
    return known->second;
  }
  const TRef<ITreeItem> next = GetNext(nullptr, item, enterChildren);
  const TRef<ITreeItem> held(branch);
  const bool leaves = next ? !TTreeImplement::IsChildOf(next, held, true)
                           : TTreeImplement::IsChildOf(item, held, true);
  leavesBranch_.emplace(question, leaves);
  return leaves;
}

int32_t TTreeWalkIndex::Count(const TRef<ITree>& tree) {
  int32_t count = 0;
  for (TRef<ITreeItem> item = TTreeImplement::GetFirst(tree); item;
       item = GetNext(tree, item, true)) {
    ++count;
  }
  return count;
}

const TTreeWalkIndex::TLinks& TTreeWalkIndex::LinksOf(ITreeItem* item) {
  if (const auto known = links_.find(item); known != links_.end()) return known->second;
  const TRef<ITreeItem> held(item);
  return links_
      .emplace(item, TLinks{TTreeImplement::GetParentList(held).Get(),
                            TTreeImplement::GetParent(held).Get()})
      .first->second;
}

ITreeItemList* TTreeWalkIndex::ParentList(ITreeItem* item) {
  return item != nullptr ? LinksOf(item).list : nullptr;
}

TRef<ITreeItem> TTreeWalkIndex::GetFirstChild(const TRef<ITreeItem>& item) {
  if (!item) return nullptr;
  if (const auto known = firstChildren_.find(item.Get()); known != firstChildren_.end()) {
    return TRef<ITreeItem>(known->second);
  }
  TRef<ITreeItem> child = TTreeImplement::GetFirstChild(item);
  firstChildren_.emplace(item.Get(), child.Get());
  return child;
}

bool TTreeWalkIndex::IsChildOf(const TRef<ITreeItem>& item, ITreeItem* ancestor, bool recursive) {
  if (!item || ancestor == nullptr) return false;
  const TObject* wanted = ancestor->GetObject();
  for (ITreeItem* parent = LinksOf(item.Get()).parent; parent != nullptr;
       parent = LinksOf(parent).parent) {
    if (parent->GetObject() == wanted) return true;
    if (!recursive) return false;
  }
  return false;
}

}  // namespace nimbra
