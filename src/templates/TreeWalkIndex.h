// The walks of TTreeImplement that need an item's place in its list (next item, next sibling,
// leaving a branch), answered with the same results in constant time per step. A tree item list
// finds an item by scanning, so walking a list of n items step by step costs n² compares; this
// index remembers the place of every item of each list it has looked into once, and the owner
// links (list, parent, first child) of every item it was asked about. It is meant for trees that
// do not change while they are walked (the renderer's structure, and its slideshow where that
// cannot be recorded in order). Should a list change anyway, a stale place is noticed and the
// item looked for by scanning; the remembered links, steps and branch answers are not checked
// again, so an index lives for one walk.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "framework/CustomTree.h"

namespace nimbra {

class TTreeWalkIndex {
 public:
  // As TTreeImplement::GetNext.
  TRef<ITreeItem> GetNext(const TRef<ITree>& tree, const TRef<ITreeItem>& item,
                          bool enterChildren);
  TRef<ITreeItem> GetNextSibling(const TRef<ITreeItem>& item);
  TRef<ITreeItem> GetNextChildOrSibling(const TRef<ITreeItem>& item);
  bool LeavesBranch(const TRef<ITreeItem>& item, ITreeItem* branch, bool enterChildren);
  // All items at all depths, as TTreeImplement::Count.
  int32_t Count(const TRef<ITree>& tree);
  // As TTreeImplement::GetParentList, GetFirstChild and IsChildOf. Each asks the item's owner
  // links through casts, and a walk asks again at every object it binds.
  ITreeItemList* ParentList(ITreeItem* item);
  TRef<ITreeItem> GetFirstChild(const TRef<ITreeItem>& item);
  bool IsChildOf(const TRef<ITreeItem>& item, ITreeItem* ancestor, bool recursive);
  // The item's index in the list, -1 when it is not there.
  int32_t IndexOf(const TRef<ITreeItemList>& list, const TRef<ITreeItem>& item);

 private:
  void IndexList(const TRef<ITreeItemList>& list);
  TRef<ITreeItem> StepFrom(TRef<ITreeItem> current, bool enterChildren);

  std::unordered_map<const TObject*, int32_t> places_;
  // Each step of the pre-order walk asks the item's list for its place and casts its way up;
  // a walk that passes the same items again (counting, then binding) takes the remembered step.
  std::unordered_map<const TObject*, ITreeItem*> nextInOrder_;
  // The structure's loops ask the same question at every object bound inside them.
  struct TBranchQuestion {
    const TObject* item;
    const TObject* branch;
    bool enterChildren;
    bool operator==(const TBranchQuestion&) const = default;
  };
  struct THashBranchQuestion {
    size_t operator()(const TBranchQuestion& q) const {
      return std::hash<const void*>()(q.item) * 31 + std::hash<const void*>()(q.branch) * 7 +
             (q.enterChildren ? 1 : 0);
    }
  };
  std::unordered_map<TBranchQuestion, bool, THashBranchQuestion> leavesBranch_;
  std::unordered_set<const TObject*> indexedLists_;
  struct TLinks {
    ITreeItemList* list;
    ITreeItem* parent;
  };
  const TLinks& LinksOf(ITreeItem* item);
  std::unordered_map<const ITreeItem*, TLinks> links_;
  std::unordered_map<const ITreeItem*, ITreeItem*> firstChildren_;
};

}  // namespace nimbra
