#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "framework/TreeImplement.h"
#include "templates/PreOrderIndex.h"

namespace nimbra {
namespace {

TRef<ITreeItem> Append(const TRef<ITreeItemList>& list) {
  TRef<ITreeItem> item(new TCustomTreeItem);
  list->Add(item);
  return item;
}

// a(a1 a2(a2x)) b c(c1), items in tree order.
class PreOrderIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const TRef<ITreeItemList> roots = treeRef->GetItems();
    const TRef<ITreeItem> a = Append(roots);
    const TRef<ITreeItem> a1 = Append(a->NeedChildren());
    const TRef<ITreeItem> a2 = Append(a->NeedChildren());
    const TRef<ITreeItem> a2x = Append(a2->NeedChildren());
    const TRef<ITreeItem> b = Append(roots);
    const TRef<ITreeItem> c = Append(roots);
    const TRef<ITreeItem> c1 = Append(c->NeedChildren());
    items = {a, a1, a2, a2x, b, c, c1};
  }
  void TearDown() override {
    items.clear();
    treeRef.Reset();
    Free(tree_);
  }

  // Every answer of a newly started index against the tree's own walks, from every item: first
  // walking forward as the renderer does, recording on the way, then from the last item back.
  void ExpectTheTreesOwnAnswers(TPreOrderIndex& index) {
    index.Start(treeRef);
    std::vector<TRef<ITreeItem>> walked;
    for (TRef<ITreeItem> item = TTreeImplement::GetFirst(treeRef); item;
         item = TTreeImplement::GetNext(nullptr, item, true)) {
      const auto place = static_cast<int32_t>(walked.size());
      ASSERT_EQ(index.PlaceOf(item.Get()), place);
      ITreeItem* next = nullptr;
      ASSERT_TRUE(index.NextAfter(place, next));
      EXPECT_EQ(next, TTreeImplement::GetNext(nullptr, item, true).Get());
      walked.push_back(item);
    }
    EXPECT_EQ(index.CountAll(), TTreeImplement::Count(treeRef));
    for (auto place = static_cast<int32_t>(walked.size()) - 1; place >= 0; --place) {
      const TRef<ITreeItem>& item = walked[static_cast<size_t>(place)];
      ASSERT_EQ(index.PlaceOf(item.Get()), place);
      for (const TRef<ITreeItem>& ancestor : items) {
        EXPECT_EQ(index.IsInside(place, ancestor),
                  TTreeImplement::IsChildOf(item, ancestor, true));
      }
    }
    EXPECT_TRUE(index.Usable());
  }

  std::unique_ptr<TCustomTree> tree_ = std::make_unique<TCustomTree>();
  TRef<ITree> treeRef{tree_.get()};
  std::vector<TRef<ITreeItem>> items;
};

TEST_F(PreOrderIndexTest, AnswersAsTheTreesOwnWalks) {
  TPreOrderIndex index;
  ExpectTheTreesOwnAnswers(index);
  EXPECT_EQ(index.PlaceOf(nullptr), -1);
  const TRef<ITreeItem> stranger(new TCustomTreeItem);
  EXPECT_EQ(index.PlaceOf(stranger.Get()), -1);
}

TEST_F(PreOrderIndexTest, RebuiltIndexFollowsTheChangedTree) {
  TPreOrderIndex index;
  index.Start(treeRef);
  // Places of the old tree were looked up (and remembered) before the change.
  ASSERT_EQ(index.PlaceOf(items[4].Get()), 4);
  const TRef<ITreeItem> removed = items[2];  // a2 with its child
  items[0]->GetChildren()->Remove(removed);
  Append(items[4]->NeedChildren());  // b gets a child
  items.erase(items.begin() + 2, items.begin() + 4);
  ExpectTheTreesOwnAnswers(index);
  EXPECT_EQ(index.PlaceOf(removed.Get()), -1);
}

TEST_F(PreOrderIndexTest, RecordEndsAtAnItemWhoseLinksDisagreeWithItsList) {
  // A list that does not own its items leaves them without a parent link: the tree's own walk
  // reaches such an item but stops there, where a walk along the lists would go on.
  tree_->SetOwnsObjects(false);
  const TRef<ITreeItem> loose = Append(treeRef->GetItems());
  Append(treeRef->GetItems());
  tree_->SetOwnsObjects(true);
  TPreOrderIndex index;
  index.Start(treeRef);
  ITreeItem* next = nullptr;
  const int32_t c1 = 6;
  for (int32_t place = 0; place < c1; ++place) ASSERT_TRUE(index.NextAfter(place, next));
  EXPECT_EQ(next, items[c1].Get());
  EXPECT_FALSE(index.NextAfter(c1, next));
  EXPECT_FALSE(index.Usable());
  EXPECT_EQ(index.PlaceOf(items[0].Get()), -1);
  EXPECT_EQ(index.CountAll(), -1);
  EXPECT_EQ(TTreeImplement::GetNext(nullptr, items[c1], true), loose);
  EXPECT_EQ(TTreeImplement::GetNext(nullptr, loose, true), nullptr);

  index.Start(nullptr);
  EXPECT_TRUE(index.Usable());
  EXPECT_EQ(index.CountAll(), 0);
}

// An item class of the test's own with a part of its own before the item: its item interface
// lies elsewhere within the whole object than in the framework's items.
struct TLeadingPart {
  virtual ~TLeadingPart() = default;
  std::array<char, 40> bytes{};
};
class TSpacedItem : public TLeadingPart, public TCustomTreeItem {};

// Where the item interface lies within the whole object.
std::ptrdiff_t ItemOffset(ITreeItem& item) {
  return reinterpret_cast<char*>(&item) - static_cast<char*>(dynamic_cast<void*>(&item));
}

TEST(PreOrderIndexOfMixedItemsTest, ItemsOfClassesTakenInTurnAreEachFoundAsThemselves) {
  // A list learns an object's item interface once per class; classes that alternate must not
  // be read with each other's answer.
  const TRef<ITreeItem> plain(new TCustomTreeItem);
  const TRef<ITreeItem> spaced(new TSpacedItem);
  ASSERT_NE(ItemOffset(*plain), ItemOffset(*spaced));
  auto tree = std::make_unique<TCustomTree>();
  TRef<ITree> treeRef(tree.get());
  std::vector<TRef<ITreeItem>> added;
  for (int i = 0; i < 6; ++i) {
    added.push_back(i % 2 == 0 ? TRef<ITreeItem>(new TCustomTreeItem)
                               : TRef<ITreeItem>(new TSpacedItem));
    treeRef->GetItems()->Add(added.back());
  }
  TPreOrderIndex index;
  index.Start(treeRef);
  ITreeItem* item = TTreeImplement::GetFirst(treeRef).Get();
  for (size_t i = 0; i < added.size(); ++i) {
    EXPECT_EQ(item, added[i].Get());
    ASSERT_TRUE(index.NextAfter(static_cast<int32_t>(i), item));
  }
  EXPECT_EQ(item, nullptr);
  EXPECT_EQ(treeRef->GetItems()->IndexOf(added[3]), 3);
  added.clear();
  treeRef.Reset();
  Free(tree);
}

}  // namespace
}  // namespace nimbra
