#include <gtest/gtest.h>

#include "TreeTestItems.h"
#include "framework/TreeImplement.h"

namespace nimbra {
namespace {

// a(a1 a2(a2x)) b c(c1)
class TreeImplementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_ = std::make_unique<TCustomTree>();
    tree = TRef<ITree>(tree_.get());
    roots = tree->GetItems();
    a = AddItem(roots, "a");
    a1 = AddChild(a, "a1");
    a2 = AddChild(a, "a2");
    a2x = AddChild(a2, "a2x");
    b = AddItem(roots, "b");
    c = AddItem(roots, "c");
    c1 = AddChild(c, "c1");
  }
  void TearDown() override {
    a = a1 = a2 = a2x = b = c = c1 = nullptr;
    roots.Reset();
    tree.Reset();
    Free(tree_);
    EXPECT_EQ(TTestNamedItem::alive, 0);
  }

  std::string NextName(const TRef<ITreeItem>& item, bool enterChildren) {
    return NameOf(TTreeImplement::GetNext(nullptr, item, enterChildren));
  }

  std::unique_ptr<TCustomTree> tree_;
  TRef<ITree> tree;
  TRef<ITreeItemList> roots;
  TRef<ITreeItem> a, a1, a2, a2x, b, c, c1;
};

TEST_F(TreeImplementTest, WalkVisitsEveryItemInPreOrder) {
  EXPECT_EQ(WalkNames(tree), "a a1 a2 a2x b c c1");
  EXPECT_EQ(TTreeImplement::Count(tree), 7);
  EXPECT_EQ(NameOf(TTreeImplement::GetNext(tree, nullptr, true)), "a");
  EXPECT_EQ(TTreeImplement::GetNext(nullptr, nullptr, true), nullptr);
  EXPECT_EQ(TTreeImplement::Count(nullptr), 0);
  roots->Clear();
  EXPECT_EQ(TTreeImplement::GetNext(tree, a1, true), nullptr);  // the tree is empty now
  EXPECT_EQ(TTreeImplement::Count(tree), 0);
}

TEST_F(TreeImplementTest, GetNextClimbsOutOfFinishedBranches) {
  EXPECT_EQ(NextName(a2x, true), "b");
  EXPECT_EQ(NextName(a1, true), "a2");
  EXPECT_EQ(NextName(c1, true), "none");  // the deepest last item ends the walk
  // Without entering children the item's own subtree is skipped.
  EXPECT_EQ(NextName(a, false), "b");
  EXPECT_EQ(NextName(a2, false), "b");
  EXPECT_EQ(NextName(c, false), "none");
  // An item outside any list has no successor but its children.
  const TRef<ITreeItem> loose = MakeItem("loose");
  EXPECT_EQ(NextName(loose, true), "none");
  AddChild(loose, "inner");
  EXPECT_EQ(NextName(loose, true), "inner");
}

TEST_F(TreeImplementTest, CountsThreeRootsWithTwoChildren) {
  a2->FreeChildren();
  c->GetChildren()->Clear();
  EXPECT_EQ(TTreeImplement::Count(tree), 5);
}

TEST_F(TreeImplementTest, SiblingsParentsAndIndexes) {
  EXPECT_EQ(TTreeImplement::GetNextSibling(a1), a2);
  EXPECT_EQ(TTreeImplement::GetNextSibling(a2), nullptr);
  EXPECT_EQ(TTreeImplement::GetNextSibling(MakeItem("loose")), nullptr);
  EXPECT_EQ(TTreeImplement::GetNextChildOrSibling(a), a1);
  EXPECT_EQ(TTreeImplement::GetNextChildOrSibling(a1), a2);
  EXPECT_EQ(TTreeImplement::GetNextChildOrSibling(a2x), nullptr);  // never climbs
  EXPECT_EQ(TTreeImplement::GetFirstChild(a2), a2x);
  EXPECT_EQ(TTreeImplement::GetFirstChild(b), nullptr);
  EXPECT_EQ(TTreeImplement::GetParent(a2x), a2);
  EXPECT_EQ(TTreeImplement::GetParent(a), nullptr);
  EXPECT_EQ(TTreeImplement::GetParentList(a), roots);
  EXPECT_EQ(TTreeImplement::GetIndex(c), 2);
  EXPECT_EQ(TTreeImplement::GetIndex(a2x), 0);
  EXPECT_EQ(TTreeImplement::GetIndex(nullptr), -1);
}

TEST_F(TreeImplementTest, IsChildOfClimbsOnlyWhenRecursive) {
  EXPECT_FALSE(TTreeImplement::IsChildOf(a2x, a, false));
  EXPECT_TRUE(TTreeImplement::IsChildOf(a2x, a, true));
  EXPECT_TRUE(TTreeImplement::IsChildOf(a2x, a2, false));
  EXPECT_FALSE(TTreeImplement::IsChildOf(b, a, true));
  EXPECT_FALSE(TTreeImplement::IsChildOf(a, a, true));
  EXPECT_FALSE(TTreeImplement::IsChildOf(a2x, nullptr, true));
}

TEST_F(TreeImplementTest, LeavesBranchLooksAtTheNextStep) {
  EXPECT_FALSE(TTreeImplement::LeavesBranch(a1, a, true));  // next is a2, still in a
  EXPECT_TRUE(TTreeImplement::LeavesBranch(a2x, a, true));  // next is b
  EXPECT_TRUE(TTreeImplement::LeavesBranch(a2, a2, false));
  EXPECT_FALSE(TTreeImplement::LeavesBranch(a2, a2, true));  // next is a2x
  // At the end of the walk: true when the item itself lies in the branch.
  EXPECT_TRUE(TTreeImplement::LeavesBranch(c1, c, true));
  EXPECT_FALSE(TTreeImplement::LeavesBranch(c1, a, true));
}

TEST_F(TreeImplementTest, InsertBeforeAndDeleteKeepChildren) {
  const TRef<ITreeItem> fresh = MakeItem("new");
  EXPECT_TRUE(TTreeImplement::InsertBefore(fresh, a2));
  EXPECT_EQ(TTreeImplement::GetParent(fresh), a);
  EXPECT_FALSE(TTreeImplement::InsertBefore(MakeItem("x"), MakeItem("loose")));

  AddChild(a2, "a2y");
  EXPECT_TRUE(TTreeImplement::DeleteKeepChildren(a2));
  EXPECT_EQ(Describe(roots), "a(a1 new a2x a2y) b c(c1)");
  EXPECT_EQ(TTreeImplement::GetParent(a2x), a);
  EXPECT_EQ(TTreeImplement::GetParentList(a2), nullptr);
  a2.Reset();
  EXPECT_EQ(TTestNamedItem::alive, 8);
}

TEST_F(TreeImplementTest, MoveItemsWithinOneListAdjustsTheIndex) {
  const TRef<ITreeItemList> selection = tree->CreateItemList();
  selection->Add(a);
  TTreeImplement::MoveItems(selection, roots, 2, false);
  EXPECT_EQ(Describe(roots), "b a(a1 a2(a2x)) c(c1)");
  selection->Clear();
  selection->Add(c);
  selection->Add(b);
  TTreeImplement::MoveItems(selection, roots, 0, false);
  EXPECT_EQ(Describe(roots), "c(c1) b a(a1 a2(a2x))");
  EXPECT_EQ(c->GetOwner(), roots->GetObject());
}

TEST_F(TreeImplementTest, MoveItemsBetweenListsTakesItemsFromTheirOwners) {
  const TRef<ITreeItemList> selection = tree->CreateItemList();
  selection->Add(a2x);
  selection->Add(b);
  TTreeImplement::MoveItems(selection, c->GetChildren(), 0, false);
  EXPECT_EQ(Describe(roots), "a(a1 a2) c(a2x b c1)");
  EXPECT_EQ(TTreeImplement::GetParent(b), c);
  EXPECT_FALSE(a2->HasChildren());
  // The source is a view: it still refers to the items but owns none of them.
  EXPECT_EQ(Describe(selection), "a2x b");
  // Moved into a view, the items leave their list and have no parent any more.
  const TRef<ITreeItemList> other = tree->CreateItemList();
  TTreeImplement::MoveItems(selection, other, -1, false);
  EXPECT_EQ(Describe(other), "a2x b");
  EXPECT_EQ(Describe(roots), "a(a1 a2) c(c1)");
  EXPECT_EQ(TTreeImplement::GetParent(b), nullptr);
}

TEST_F(TreeImplementTest, MoveItemsWithCopyPlacesClonesWithoutChildren) {
  const TRef<ITreeItemList> selection = tree->CreateItemList();
  selection->Add(a);
  selection->Add(c1);
  TTreeImplement::MoveItems(selection, b->NeedChildren(), -1, true);
  EXPECT_EQ(Describe(roots), "a(a1 a2(a2x)) b(a c1) c(c1)");
  const TRef<ITreeItem> copy = b->GetChildren()->GetItem(0);
  EXPECT_NE(copy->GetObject(), a->GetObject());
  EXPECT_EQ(TTreeImplement::GetParent(copy), b);
}

}  // namespace
}  // namespace nimbra
