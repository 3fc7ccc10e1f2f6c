#include "framework/TreeImplement.h"

namespace nimbra {

namespace {

// Items are the same when they stand for the same object.
bool SameItem(const TRef<ITreeItem>& a, const TRef<ITreeItem>& b) {
  return a && b && a->GetObject() == b->GetObject();
}

// A list that stops owning what it holds for one removal, so that the removal leaves the item's
// owner link alone; restored also when the removal raises.
class TOwningPaused {
 public:
  explicit TOwningPaused(ITreeItemList& list) : list_(list), owned_(list.GetOwnsObjects()) {
    list_.SetOwnsObjects(false);
  }
  ~TOwningPaused() { list_.SetOwnsObjects(owned_); }
  TOwningPaused(const TOwningPaused&) = delete;
  TOwningPaused& operator=(const TOwningPaused&) = delete;

 private:
  ITreeItemList& list_;
  bool owned_;
};

}  // namespace

TRef<ITreeItem> TTreeImplement::GetFirst(const TRef<ITree>& tree) {
  if (!tree) return nullptr;
  const TRef<ITreeItemList> roots = tree->GetItems();
  if (!roots || roots->Count() == 0) return nullptr;
  return roots->GetItem(0);
}

TRef<ITreeItem> TTreeImplement::GetFirstChild(const TRef<ITreeItem>& item) {
  if (!item) return nullptr;
  const TRef<ITreeItemList> children = item->GetChildren();
  if (!children || children->Count() == 0) return nullptr;
  return children->GetItem(0);
}

TRef<ITreeItem> TTreeImplement::GetNext(const TRef<ITree>& tree, const TRef<ITreeItem>& item,
                                        bool enterChildren) {
  // 1. an empty tree has nothing to walk
  if (tree) {
    const TRef<ITreeItemList> roots = tree->GetItems();
    if (!roots || roots->Count() == 0) return nullptr;
  }
  // 2. the walk starts at the first root item
  if (!item) return GetFirst(tree);
  // 3. descend, else step to the next sibling, else climb until an ancestor has one
  TRef<ITreeItem> current = item;
  for (;;) {
    // a.
    if (enterChildren && current->HasChildren()) return GetFirstChild(current);
    // b.
    const TRef<ITreeItemList> list = GetParentList(current);
    if (!list) return nullptr;
    // c. (an owner that no longer holds the item gives no place to go on from)
    const int32_t index = list->IndexOf(current);
    if (index < 0) return nullptr;
    if (index < list->Count() - 1) return list->GetItem(index + 1);
    // d.
    TRef<ITreeItem> parent(dynamic_cast<ITreeItem*>(list->GetOwner()));
    if (!parent) return nullptr;
    current = parent;
    // e.
    const TRef<ITreeItemList> parentList = GetParentList(current);
    if (!parentList) return nullptr;
    const int32_t parentIndex = parentList->IndexOf(current);
    if (parentIndex < 0) return nullptr;
    if (parentIndex < parentList->Count() - 1) return parentList->GetItem(parentIndex + 1);
    // f.
    enterChildren = false;
  }
}

TRef<ITreeItem> TTreeImplement::GetNextSibling(const TRef<ITreeItem>& item) {
  const TRef<ITreeItemList> list = GetParentList(item);
  if (!list) return nullptr;
  const int32_t index = list->IndexOf(item);
  if (index < 0 || index >= list->Count() - 1) return nullptr;
  return list->GetItem(index + 1);
}

TRef<ITreeItem> TTreeImplement::GetNextChildOrSibling(const TRef<ITreeItem>& item) {
  if (item && item->HasChildren()) return GetFirstChild(item);
  return GetNextSibling(item);
}

TRef<ITreeItemList> TTreeImplement::GetParentList(const TRef<ITreeItem>& item) {
  if (!item) return nullptr;
  return TRef<ITreeItemList>(dynamic_cast<ITreeItemList*>(item->GetOwner()));
}

TRef<ITreeItem> TTreeImplement::GetParent(const TRef<ITreeItem>& item) {
  const TRef<ITreeItemList> list = GetParentList(item);
  if (!list) return nullptr;
  return TRef<ITreeItem>(dynamic_cast<ITreeItem*>(list->GetOwner()));
}

int32_t TTreeImplement::GetIndex(const TRef<ITreeItem>& item) {
  const TRef<ITreeItemList> list = GetParentList(item);
  return list ? list->IndexOf(item) : -1;
}

bool TTreeImplement::IsChildOf(const TRef<ITreeItem>& item, const TRef<ITreeItem>& ancestor,
                               bool recursive) {
  if (!item || !ancestor) return false;
  for (TRef<ITreeItem> parent = GetParent(item); parent; parent = GetParent(parent)) {
    if (SameItem(parent, ancestor)) return true;
    if (!recursive) return false;
  }
  return false;
}

bool TTreeImplement::LeavesBranch(const TRef<ITreeItem>& item, const TRef<ITreeItem>& branch,
                                  bool enterChildren) {
  const TRef<ITreeItem> next = GetNext(nullptr, item, enterChildren);
  if (next) return !IsChildOf(next, branch, true);
  return IsChildOf(item, branch, true);
}

bool TTreeImplement::InsertBefore(const TRef<ITreeItem>& newItem, const TRef<ITreeItem>& item) {
  const TRef<ITreeItemList> list = GetParentList(item);
  if (!list || !newItem) return false;
  const int32_t index = list->IndexOf(item);
  if (index < 0) return false;
  list->Insert(index, newItem);
  return true;
}

bool TTreeImplement::DeleteKeepChildren(const TRef<ITreeItem>& item) {
  const TRef<ITreeItemList> list = GetParentList(item);
  if (!list || list->IndexOf(item) < 0) return false;
  // The caller's reference may be the only one once the item leaves its list.
  const TRef<ITreeItem> kept = item;
  if (const TRef<ITreeItemList> children = kept->GetChildren()) {
    while (children->Count() > 0) {
      const TRef<ITreeItem> child = children->GetItem(0);
      children->Delete(0);
      list->Insert(list->IndexOf(kept), child);
    }
  }
  list->Remove(kept);
  return true;
}

int32_t TTreeImplement::Count(const TRef<ITree>& tree) {
  int32_t count = 0;
  for (TRef<ITreeItem> item = GetFirst(tree); item; item = GetNext(tree, item, true)) ++count;
  return count;
}

void TTreeImplement::MoveItems(const TRef<ITreeItemList>& source, const TRef<ITreeItemList>& target,
                               int32_t index, bool copy) {
  if (!source || !target) return;
  const int32_t count = source->Count();
  TObject* const sourceObject = source->GetObject();
  TObject* const targetObject = target->GetObject();
  for (int32_t position = 0; position < count; ++position) {
    // 1. the item, or with copy its clone
    TRef<ITreeItem> item = source->GetItem(position);
    if (!item) continue;
    if (copy) {
      if (const auto* cloneable = dynamic_cast<const ICloneable*>(item.Get())) {
        item = SupportsRef<ITreeItem>(cloneable->Clone());
        if (!item) continue;
      }
    }
    // 2. out of the list that holds it as owner, unless that is the source
    TObject* const owner = item->GetOwner();
    if (owner != nullptr && owner != sourceObject) {
      if (owner == targetObject) {
        const int32_t found = target->IndexOf(item);
        if (found >= 0) {
          {
            TOwningPaused paused(*target);
            target->Delete(found);
          }
          if (index != -1 && found < index) --index;
        }
      } else if (auto* other = dynamic_cast<ITreeItemList*>(owner)) {
        const TRef<ITreeItemList> otherList(other);
        {
          TOwningPaused paused(*otherList);
          otherList->Remove(item);
        }
        // It is no longer in that list, so it must not name it as its parent any more.
        if (item->GetOwner() == owner) item->SetOwner(nullptr);
      }
    }
    // 3. into the target
    if (index == -1) {
      target->Add(item);
    } else {
      target->Insert(index, item);
      ++index;
    }
  }
}

}  // namespace nimbra
