#include <gtest/gtest.h>

#include "TreeTestItems.h"
#include "framework/CustomTree.h"
#include "framework/TreeImplement.h"

namespace nimbra {
namespace {

// A plain counted item that counts itself.
class TCountedItem : public TCustomTreeItem {
 public:
  TCountedItem() { ++alive; }
  ~TCountedItem() override { --alive; }
  static inline int alive = 0;
};

// Two items that stand for the same object are the same item to a list.
class TStandInItem : public TCustomTreeItem {
 public:
  explicit TStandInItem(TObject* object) : object_(object) {}
  TObject* GetObject() override { return object_; }

 private:
  TObject* object_;
};

class CustomTreeTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(TTestNamedItem::alive, 0);
    EXPECT_EQ(TCountedItem::alive, 0);
  }
};

TEST_F(CustomTreeTest, ListKeepsItemsAliveByReferenceNotByOwnsObjects) {
  TCustomTreeItemList owning;
  TCustomTreeItemList view(false);
  TRef<ITreeItem> item(new TCountedItem);
  owning.Add(item);
  view.Add(item);
  item.Reset();
  EXPECT_EQ(TCountedItem::alive, 1);
  owning.Delete(0);
  EXPECT_EQ(TCountedItem::alive, 1);  // the view still refers to it
  EXPECT_EQ(view.GetItem(0)->GetOwner(), nullptr);
  view.Clear();
  EXPECT_EQ(TCountedItem::alive, 0);
}

TEST_F(CustomTreeTest, OwnsObjectsDecidesTheParentLink) {
  auto tree = std::make_unique<TCustomTree>();
  const TRef<ITreeItem> root = AddItem(tree->GetItems(), "root");
  EXPECT_EQ(root->GetOwner(), &tree->Items());
  EXPECT_EQ(tree->Items().GetOwner(), tree.get());
  const TRef<ITreeItem> child = AddChild(root, "child");
  EXPECT_TRUE(root->GetChildren()->GetOwnsObjects());
  EXPECT_EQ(root->GetChildren()->GetOwner(), root->GetObject());

  const TRef<ITreeItemList> view = tree->CreateItemList();
  EXPECT_FALSE(view->GetOwnsObjects());
  EXPECT_EQ(view->GetOwner(), nullptr);
  view->Add(child);
  EXPECT_EQ(TTreeImplement::GetParent(child), root);
  // Items added to a view keep no parent link; children made for an item whose list does not
  // own its items do not own theirs either.
  const TRef<ITreeItem> loose = MakeItem("loose");
  view->Add(loose);
  EXPECT_EQ(loose->GetOwner(), nullptr);
  const TRef<ITreeItem> second = AddItem(tree->GetItems(), "second");
  tree->SetOwnsObjects(false);
  EXPECT_FALSE(second->NeedChildren()->GetOwnsObjects());
}

TEST_F(CustomTreeTest, ListComparesTheObjectsItemsStandFor) {
  TObject shared;
  TCustomTreeItemList list;
  const TRef<ITreeItem> first(new TStandInItem(&shared));
  const TRef<ITreeItem> second(new TStandInItem(&shared));
  list.Add(MakeItem("other"));
  list.Add(first);
  EXPECT_EQ(list.IndexOf(second), 1);
  EXPECT_EQ(list.Remove(second), 1);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.IndexOf(nullptr), -1);
  EXPECT_EQ(list.GetItem(5), nullptr);
  EXPECT_THROW(list.Add(nullptr), std::invalid_argument);
  EXPECT_TRUE(list.Supports(TGUID::Parse(ITreeItemList::kIID)));
  EXPECT_TRUE(list.Supports(TGUID::Parse(IHasOwner::kIID)));
  EXPECT_FALSE(list.Supports(TGUID::Parse(ITree::kIID)));
}

TEST_F(CustomTreeTest, HandedOverPluginItemGoesWithItsLastList) {
  TCustomTreeItemList first;
  TCustomTreeItemList second(false);
  {
    const TRef<ITreeItem> item = MakeItem("plug-in");
    first.Add(item);
    second.Add(item);
  }
  first.Clear();
  EXPECT_EQ(TTestNamedItem::alive, 1);
  second.Clear();
  EXPECT_EQ(TTestNamedItem::alive, 0);

  // Kept owned instead, the owner frees it once no list holds it any more.
  auto owned = std::make_unique<TTestNamedItem>();
  owned->Name = "owned";
  first.Add(TRef<ITreeItem>(owned.get()));
  try {
    Free(owned);
    FAIL() << "freed while in a list";
  } catch (const EInterfaceReferenced& error) {
    EXPECT_STREQ(error.what(), "Interface wird noch referenziert! 2 TTestNamedItem");
  }
  first.Clear();
  Free(owned);
  EXPECT_EQ(owned, nullptr);
}

TEST_F(CustomTreeTest, ItemLeavingItsListForgetsItsParent) {
  auto tree = std::make_unique<TCustomTree>();
  const TRef<ITreeItem> root = AddItem(tree->GetItems(), "root");
  const TRef<ITreeItem> child = AddChild(root, "child");
  root->GetChildren()->Remove(child);
  EXPECT_EQ(TTreeImplement::GetParent(child), nullptr);
  EXPECT_EQ(TTreeImplement::GetParentList(child), nullptr);
  // The same when the whole tree goes while a holder keeps an item.
  AddChild(root, "again");
  const TRef<ITreeItem> again = root->GetChildren()->GetItem(0);
  Free(tree);
  EXPECT_EQ(TTreeImplement::GetParentList(root), nullptr);
  EXPECT_EQ(TTreeImplement::GetParent(again), root);
}

TEST_F(CustomTreeTest, ReferencedChildListOutlivesItsItem) {
  TRef<ITreeItemList> children;
  {
    const TRef<ITreeItem> item = MakeItem("parent");
    AddChild(item, "a");
    AddChild(item, "b");
    children = item->GetChildren();
    EXPECT_THROW(item->FreeChildren(), EInterfaceReferenced);
    EXPECT_EQ(Describe(children), "a b");
  }
  EXPECT_EQ(TTestNamedItem::alive, 2);
  EXPECT_EQ(children->GetOwner(), nullptr);
  EXPECT_EQ(Describe(children), "a b");
  children.Reset();
  EXPECT_EQ(TTestNamedItem::alive, 0);
}

TEST_F(CustomTreeTest, FreeingTheTreeFreesEveryLevel) {
  auto tree = std::make_unique<TCustomTree>();
  TRef<ITreeItemList> roots = tree->GetItems();
  for (int i = 0; i < 3; ++i) {
    TRef<ITreeItem> item = AddItem(roots, "r");
    for (int depth = 0; depth < 4; ++depth) item = AddChild(item, "c");
  }
  EXPECT_EQ(TTestNamedItem::alive, 15);
  // A reference to the root list keeps it, and so its items, beyond the tree.
  Free(tree);
  EXPECT_EQ(TTestNamedItem::alive, 15);
  EXPECT_EQ(roots->GetOwner(), nullptr);
  roots.Reset();
  EXPECT_EQ(TTestNamedItem::alive, 0);
}

TEST_F(CustomTreeTest, DeepTreeIsWalkedAndFreedWithoutDeepStack) {
  constexpr int32_t kDepth = 100000;
  auto tree = std::make_unique<TCustomTree>();
  {
    TRef<ITreeItem> item(new TCountedItem);
    tree->GetItems()->Add(item);
    for (int32_t depth = 1; depth < kDepth; ++depth) {
      TRef<ITreeItem> child(new TCountedItem);
      item->NeedChildren()->Add(child);
      item = child;
    }
    EXPECT_EQ(TTreeImplement::GetNext(nullptr, item, true), nullptr);
    EXPECT_TRUE(
        TTreeImplement::IsChildOf(item, TTreeImplement::GetFirst(TRef<ITree>(tree.get())), true));
  }
  EXPECT_EQ(TTreeImplement::Count(TRef<ITree>(tree.get())), kDepth);
  Free(tree);
  EXPECT_EQ(TCountedItem::alive, 0);
}

TEST_F(CustomTreeTest, CloneCopiesContentAndClassButNoChildren) {
  const TRef<ITreeItem> original = MakeItem<TTestStrangerItem>("original");
  AddChild(original, "child");
  const auto* cloneable = dynamic_cast<const ICloneable*>(original.Get());
  ASSERT_NE(cloneable, nullptr);
  const TRef<ITreeItem> copy = SupportsRef<ITreeItem>(cloneable->Clone());
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->GetObject(), original->GetObject());
  EXPECT_EQ(copy->GetObject()->ClassName(), "TTestStrangerItem");
  EXPECT_EQ(NameOf(copy), "original");
  EXPECT_FALSE(copy->HasChildren());
  EXPECT_EQ(copy->GetChildren(), nullptr);
  EXPECT_EQ(copy->GetOwner(), nullptr);
  EXPECT_EQ(TTestNamedItem::alive, 3);
}

TEST_F(CustomTreeTest, FindsOwnerOfAClassUpTheTree) {
  auto tree = std::make_unique<TCustomTree>();
  const TRef<ITreeItem> root = AddItem(tree->GetItems(), "root");
  const TRef<ITreeItem> grandchild = AddChild(AddChild(root, "child"), "grandchild");
  EXPECT_EQ(FindOwner<TCustomTree>(grandchild.Get()), tree.get());
  EXPECT_EQ(FindOwnerOfClass(grandchild.Get(), TCustomTreeItemList::StaticClass()),
            grandchild->GetOwner());
  EXPECT_EQ(FindOwnerOfClass(grandchild.Get(), TTestNamedItem::StaticClass()),
            TTreeImplement::GetParent(grandchild)->GetObject());
  EXPECT_EQ(FindOwner<TTestStrangerItem>(grandchild.Get()), nullptr);
}

}  // namespace
}  // namespace nimbra
