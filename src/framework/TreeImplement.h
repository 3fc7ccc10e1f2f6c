// The walks over a custom tree, written once against the tree interfaces so that every tree (the
// slideshow's, a project structure) is walked the same way. Every argument and result is a
// reference; none stands for the absence of an item and makes a walk answer none or false. Walks
// loop instead of recursing, so a deep tree cannot exhaust the stack.
#pragma once

#include <cstdint>

#include "framework/CustomTree.h"

namespace nimbra {

class TTreeImplement {
 public:
  TTreeImplement() = delete;

  // The first root item; none when the tree has no items.
  static TRef<ITreeItem> GetFirst(const TRef<ITree>& tree);
  static TRef<ITreeItem> GetFirstChild(const TRef<ITreeItem>& item);
  // The pre-order successor. Without an item: the tree's first item. With enterChildren false
  // the item's own subtree is skipped.
  static TRef<ITreeItem> GetNext(const TRef<ITree>& tree, const TRef<ITreeItem>& item,
                                 bool enterChildren);
  static TRef<ITreeItem> GetNextSibling(const TRef<ITreeItem>& item);
  // The first child, else the next sibling; never climbs.
  static TRef<ITreeItem> GetNextChildOrSibling(const TRef<ITreeItem>& item);
  static TRef<ITreeItemList> GetParentList(const TRef<ITreeItem>& item);
  static TRef<ITreeItem> GetParent(const TRef<ITreeItem>& item);
  // The index in the owner list, -1 without one.
  static int32_t GetIndex(const TRef<ITreeItem>& item);
  // Whether the ancestor is met climbing from the item (only its parent without recursive).
  static bool IsChildOf(const TRef<ITreeItem>& item, const TRef<ITreeItem>& ancestor,
                        bool recursive);
  // Whether the next step of a walk from the item leaves the branch item's subtree.
  static bool LeavesBranch(const TRef<ITreeItem>& item, const TRef<ITreeItem>& branch,
                           bool enterChildren);
  // Inserts the new item into the item's owner list at the item's index; false without one.
  static bool InsertBefore(const TRef<ITreeItem>& newItem, const TRef<ITreeItem>& item);
  // Moves the item's children in order before it, then removes it; false without an owner list.
  static bool DeleteKeepChildren(const TRef<ITreeItem>& item);
  // All items at all depths.
  static int32_t Count(const TRef<ITree>& tree);
  // Moves (or with copy, places clones of) the source's items into the target at index (-1
  // appends), taking each out of the list it had as owner first.
  static void MoveItems(const TRef<ITreeItemList>& source, const TRef<ITreeItemList>& target,
                        int32_t index, bool copy);
};

}  // namespace nimbra
