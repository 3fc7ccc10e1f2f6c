// Tree items for the tree tests: a named plug-in item that stores its name, a plug-in item whose
// writer fails, and helpers that build trees and show them as text.
#pragma once

#include <string>

#include "framework/CustomTree.h"

namespace nimbra {

class TTestNamedItem : public TCustomTreeItemPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTestNamedItem() { ++alive; }
  ~TTestNamedItem() override { --alive; }

  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;

  std::string Name;
  // Instances now alive, so that tests can see items being freed.
  static inline int alive = 0;
};

// A named item of a class no reader knows.
class TTestStrangerItem : public TTestNamedItem {
  NIMBRA_DECLARE_PLUGIN()
};

// Stores its name but reports failure.
class TTestFailingItem : public TTestNamedItem {
  NIMBRA_DECLARE_PLUGIN()

 public:
  bool WriteToStream(TCSFStream& stream) const override;
};

// A new item of class T named name, living on references.
template <typename T = TTestNamedItem>
TRef<ITreeItem> MakeItem(const std::string& name) {
  auto item = std::make_unique<T>();
  item->Name = name;
  return HandOverToRef<ITreeItem>(std::move(item));
}

// Appends a new named item to the list (or to the item's child list) and yields it.
TRef<ITreeItem> AddItem(const TRef<ITreeItemList>& list, const std::string& name);
TRef<ITreeItem> AddChild(const TRef<ITreeItem>& parent, const std::string& name);

std::string NameOf(const TRef<ITreeItem>& item);
// The list as text: "a(a1 a2(a2x)) b"; items that are not named show as "?".
std::string Describe(const TRef<ITreeItemList>& list);
// The names met walking the whole tree with GetNext, separated by spaces.
std::string WalkNames(const TRef<ITree>& tree);

}  // namespace nimbra
