#include "TreeTestItems.h"

#include "framework/TreeImplement.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TTestNamedItem, TCustomTreeItemPlugin)
NIMBRA_DEFINE_PLUGIN(TTestStrangerItem, TTestNamedItem)
NIMBRA_DEFINE_PLUGIN(TTestFailingItem, TTestNamedItem)

bool TTestNamedItem::WriteToStream(TCSFStream& stream) const {
  stream.WriteString(Name);
  return true;
}

bool TTestNamedItem::ReadFromStream(TCSFStream& stream) {
  Name = stream.ReadString();
  return true;
}

bool TTestFailingItem::WriteToStream(TCSFStream& stream) const {
  TTestNamedItem::WriteToStream(stream);
  return false;
}

TRef<ITreeItem> AddItem(const TRef<ITreeItemList>& list, const std::string& name) {
  TRef<ITreeItem> item = MakeItem(name);
  list->Add(item);
  return item;
}

TRef<ITreeItem> AddChild(const TRef<ITreeItem>& parent, const std::string& name) {
  return AddItem(parent->NeedChildren(), name);
}

std::string NameOf(const TRef<ITreeItem>& item) {
  if (!item) return "none";
  const auto* named = dynamic_cast<const TTestNamedItem*>(item->GetObject());
  return named != nullptr ? named->Name : "?";
}

std::string Describe(const TRef<ITreeItemList>& list) {
  std::string text;
  for (int32_t i = 0; list && i < list->Count(); ++i) {
    if (i > 0) text += ' ';
    const TRef<ITreeItem> item = list->GetItem(i);
    text += NameOf(item);
    if (item->HasChildren()) text += "(" + Describe(item->GetChildren()) + ")";
  }
  return text;
}

std::string WalkNames(const TRef<ITree>& tree) {
  std::string text;
  for (TRef<ITreeItem> item = TTreeImplement::GetFirst(tree); item;
       item = TTreeImplement::GetNext(tree, item, true)) {
    if (!text.empty()) text += ' ';
    text += NameOf(item);
  }
  return text;
}

}  // namespace nimbra
