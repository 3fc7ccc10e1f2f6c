#include <gtest/gtest.h>

#include "SlideShowTestKinds.h"
#include "framework/InterfacedObject.h"
#include "slideshow/MusicProperties.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowObjectInitializationList.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "storage/StreamErrors.h"

namespace nimbra {
namespace {

// A document with root objects A, chapter B (B1, chapter B2 (B2a), B3) and C.
class ObjectTreeTest : public ::testing::Test {
 protected:
  ObjectTreeTest() {
    TSlideShowObjectList& root = document.RootList();
    a = &AddNew<TTestLeaf>(root, "A", 1000);
    b = &AddNew<TTestChapter>(root, "B");
    TSlideShowObjectList& bChildren = b->CreateChildren();
    b1 = &AddNew<TTestLeaf>(bChildren, "B1", 200);
    b2 = &AddNew<TTestChapter>(bChildren, "B2");
    b2a = &AddNew<TTestLeaf>(b2->CreateChildren(), "B2a");
    b3 = &AddNew<TTestLeaf>(bChildren, "B3");
    c = &AddNew<TTestLeaf>(root, "C", 30);
  }

  TSlideShow document;
  TTestLeaf* a;
  TTestChapter* b;
  TTestLeaf* b1;
  TTestChapter* b2;
  TTestLeaf* b2a;
  TTestLeaf* b3;
  TTestLeaf* c;
};

TEST_F(ObjectTreeTest, PathsNameEachLevelFromTheRoot) {
  EXPECT_EQ(a->PathText(), "1");
  EXPECT_EQ(b3->PathText(), "2.3");
  EXPECT_EQ(b2a->Path(), (TPath{1, 1, 0}));
  EXPECT_EQ(b2a->Depth(), 2);
  EXPECT_EQ(c->Depth(), 0);
  EXPECT_EQ(b2a->Parent(), b2);
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_TRUE(b2a->IsDescendantOf(*b));
  EXPECT_FALSE(b->IsDescendantOf(*b2a));
  EXPECT_EQ(document.RootList().ObjectByPath(TPath{1, 1, 0}), b2a);
  EXPECT_EQ(document.RootList().ObjectByPath(TPath{1, 5}), nullptr);
  EXPECT_EQ(b2a->SlideShow(), &document);
}

TEST_F(ObjectTreeTest, WalksDepthFirstBothWays) {
  const std::vector<TSlideShowObject*> order = {a, b, b1, b2, b2a, b3, c};
  std::vector<TSlideShowObject*> forward;
  for (TSlideShowObject* o = document.NextInTree(nullptr); o; o = document.NextInTree(o)) {
    forward.push_back(o);
  }
  EXPECT_EQ(forward, order);
  std::vector<TSlideShowObject*> backward;
  for (TSlideShowObject* o = document.PreviousInTree(nullptr); o; o = document.PreviousInTree(o)) {
    backward.insert(backward.begin(), o);
  }
  EXPECT_EQ(backward, order);
  // The first child's predecessor is its parent; the last object has no successor.
  EXPECT_EQ(document.PreviousInTree(b1), b);
  EXPECT_EQ(document.NextInTree(c), nullptr);
  EXPECT_EQ(document.RootList().NextSibling(a), b);
  EXPECT_EQ(document.RootList().NextSibling(c), nullptr);
}

TEST_F(ObjectTreeTest, EmptyChildListsAreWalkedOver) {
  TTestChapter& empty = AddNew<TTestChapter>(document.RootList(), "leer");
  empty.CreateChildren();
  EXPECT_EQ(document.NextInTree(c), &empty);
  EXPECT_EQ(document.NextInTree(&empty), nullptr);
  EXPECT_EQ(document.RootList().LastInTree(), &empty);
  EXPECT_EQ(document.PreviousInTree(&empty), c);
}

TEST_F(ObjectTreeTest, CountsAndDurationsCoverTheRightLevels) {
  EXPECT_EQ(document.TotalObjectCount(), 7);
  document.MusicProperties().SetMusicOn(false);
  // Only the root list's own objects count towards its duration, and only active ones.
  EXPECT_EQ(document.TotalDuration(), 1030);
  a->SetActive(false);
  EXPECT_EQ(document.TotalDuration(), 30);
  document.MusicProperties().SetMusicOn(true);
  EXPECT_EQ(document.TotalDuration(), 30 + document.MusicProperties().FadeOutDuration());
}

TEST_F(ObjectTreeTest, EditsKeepIndicesInStep) {
  TSlideShowObjectList& children = *b->Children();
  children.Move(2, 0);
  EXPECT_EQ(b3->Index(), 0);
  EXPECT_EQ(b1->Index(), 1);
  EXPECT_EQ(b2->Index(), 2);
  children.Insert(1, std::make_unique<TTestLeaf>("neu"));
  EXPECT_EQ(TextOf(children.Items(1)), "neu");
  EXPECT_EQ(children.Items(1)->OwnerList(), &children);
  EXPECT_EQ(b2->Index(), 3);
  EXPECT_EQ(children.Remove(b1), 2);
  EXPECT_EQ(b2->Index(), 2);
  std::unique_ptr<TSlideShowObject> taken = children.Extract(b3);
  ASSERT_EQ(taken.get(), b3);
  EXPECT_EQ(children.Items(0)->Index(), 0);
  // Inserted elsewhere, the object belongs to its new list and document.
  document.RootList().Add(std::move(taken));
  EXPECT_EQ(b3->PathText(), "4");
  EXPECT_EQ(children.Items(7), nullptr);
}

TEST_F(ObjectTreeTest, ChildrenReportChangesToTheDocument) {
  int modifies = 0;
  document.OnModify = [&](TObject*, int32_t code) {
    EXPECT_EQ(code, kChangeTestText);
    ++modifies;
  };
  b2a->SetText("geändert");
  EXPECT_EQ(modifies, 1);
  EXPECT_TRUE(document.Modified());
  ASSERT_EQ(document.Updates().Count(), 1);
  EXPECT_EQ(document.Updates().Items(0).Path, (TPath{1, 1, 0}));
  EXPECT_EQ(document.Updates().Items(0).Kind, TUpdateKind::Changed);
  // While locked, changes still mark the document but leave no record.
  document.BeginUpdate();
  b2a->SetText("wieder");
  document.EndUpdate();
  document.EndUpdate();
  EXPECT_EQ(document.UpdateLockCount(), 0);
  EXPECT_EQ(modifies, 2);
  EXPECT_EQ(document.Updates().Count(), 1);
}

TEST_F(ObjectTreeTest, ObjectsMovedOutOfADocumentStopReportingToIt) {
  TSlideShowObjectList loose;
  loose.Add(document.RootList().Extract(c));
  c->SetActive(false);
  EXPECT_FALSE(document.Modified());
  EXPECT_EQ(c->SlideShow(), nullptr);
}

TEST_F(ObjectTreeTest, CloneWithChildrenCopiesTheSubtree) {
  std::unique_ptr<TSlideShowObject> copy = b2->CloneWithChildren();
  ASSERT_NE(ChildrenOf(copy.get()), nullptr);
  EXPECT_NE(ChildrenOf(copy.get()), b2->Children());
  TSlideShowObject* copiedChild = ChildrenOf(copy.get())->First();
  EXPECT_EQ(TextOf(copiedChild), "B2a");
  EXPECT_EQ(copiedChild->Parent(), copy.get());
  b2a->SetText("geändert");
  EXPECT_EQ(TextOf(copiedChild), "B2a");
  // Assign between objects of different lists leaves each where it is.
  b1->Assign(*c);
  EXPECT_EQ(b1->OwnerList(), b->Children());
  EXPECT_EQ(b1->PathText(), "2.1");
}

TEST_F(ObjectTreeTest, SortingRenumbersEveryLevel) {
  const auto byText = [](const TSlideShowObject& x, const TSlideShowObject& y) {
    return TextOf(&y).compare(TextOf(&x));  // descending
  };
  document.RootList().SortRecursive(byText, true);
  EXPECT_EQ(TextOf(document.RootList().First()), "C");
  EXPECT_EQ(TextOf(b->Children()->First()), "B3");
  EXPECT_EQ(b3->Index(), 0);
  EXPECT_EQ(a->Index(), 2);
}

TEST_F(ObjectTreeTest, FlattenedViewListsEveryObjectWithoutTakingThem) {
  TSlideShowObjectList view(nullptr, false);
  view.AddFlattened(document.RootList());
  ASSERT_EQ(view.Count(), 7);
  EXPECT_EQ(view.Items(4), b2a);
  view.Clear();
  // The objects stay with their lists.
  EXPECT_EQ(b2a->OwnerList(), b2->Children());
  EXPECT_EQ(b2a->Index(), 0);
  EXPECT_THROW(view.Add(std::make_unique<TTestLeaf>()), std::invalid_argument);
  EXPECT_THROW(document.RootList().Add(a), std::invalid_argument);
}

TEST_F(ObjectTreeTest, AssignListMakesADeepCopy) {
  TSlideShowObjectList copy;
  copy.AssignList(document.RootList());
  EXPECT_EQ(copy.TotalObjectCount(), 7);
  TSlideShowObject* copiedB2a = copy.ObjectByPath(TPath{1, 1, 0});
  ASSERT_NE(copiedB2a, nullptr);
  EXPECT_NE(copiedB2a, b2a);
  EXPECT_EQ(TextOf(copiedB2a), "B2a");
  EXPECT_EQ(copiedB2a->SlideShow(), nullptr);
}

TEST_F(ObjectTreeTest, AReferencedObjectIsNotFreed) {
  TRef<ISlideShowObject> held(static_cast<ISlideShowObject*>(a));
  EXPECT_THROW(document.RootList().Remove(a), EInterfaceReferenced);
  EXPECT_EQ(document.RootList().First(), a);
  held.Reset();
  EXPECT_EQ(document.RootList().Remove(a), 0);
  EXPECT_EQ(b->Index(), 0);
}

TEST(SlideShowObjectTest, StoresTheActiveFlagAndReportsTheRead) {
  TTestLeaf leaf("x");
  leaf.SetActive(false);
  TMemoryStream bytes;
  ASSERT_TRUE(leaf.SaveToStream(bytes));
  TTestLeaf read;
  int reports = 0;
  read.SetChangeTarget([&](TSlideShowObject&, int32_t code, int32_t) {
    EXPECT_EQ(code, kChangeRead);
    ++reports;
  });
  bytes.SetPosition(0);
  ASSERT_TRUE(read.LoadFromStream(bytes));
  EXPECT_FALSE(read.Active());
  EXPECT_EQ(read.Text(), "x");
  // A failed read still reports.
  TMemoryStream empty;
  EXPECT_FALSE(read.LoadFromStream(empty));
  EXPECT_EQ(reports, 2);
}

TEST(SlideShowObjectTest, NamesAndExtensionsFollowTheClass) {
  TTestLeaf leaf;
  EXPECT_EQ(leaf.DisplayName(), "Testblatt");
  EXPECT_EQ(leaf.CategoryName(), "Standard");
  EXPECT_EQ(leaf.SmallIcon(), nullptr);
  EXPECT_FALSE(leaf.SupportsExtension(".jpg"));
  // Without a caption the object has no name of its own.
  TSlideShowObject plain;
  EXPECT_EQ(plain.DisplayName(), "ohne Namen");
  EXPECT_EQ(plain.PathText(), "1");
}

TEST(PathTest, ReadsBackWhatItWroteAndRefusesImpossibleCounts) {
  TMemoryStream bytes;
  {
    TCSFStream csf(bytes, CSFMode::Headerless);
    TPath{3, 0, 7}.WriteToStream(csf);
  }
  EXPECT_EQ(bytes.Size(), 16);
  bytes.SetPosition(0);
  TCSFStream reader(bytes, CSFMode::HeaderlessRead);
  TPath read;
  read.ReadFromStream(reader);
  EXPECT_EQ(read, (TPath{3, 0, 7}));
  EXPECT_EQ(read.ToText(), "4.1.8");

  TMemoryStream hostile(std::string("\xff\xff\xff\x7f\x01\x00\x00\x00", 8));
  TCSFStream hostileReader(hostile, CSFMode::HeaderlessRead);
  EXPECT_THROW(read.ReadFromStream(hostileReader), EReadError);
}

TEST(InitializationListTest, KeepsStepsByOrderThenCost) {
  TSlideShowObjectInitializationList steps;
  EXPECT_EQ(steps.State(), -1);
  EXPECT_EQ(steps.First(), nullptr);
  steps.Add({.Cost = 50, .Order = 2, .Key = 1});
  steps.Add({.Cost = 10, .Order = 2, .Key = 2});
  steps.Add({.Cost = 99, .Order = 1, .Key = 3});
  ASSERT_EQ(steps.Count(), 3);
  EXPECT_EQ(steps.Items(0).Key, 3);
  EXPECT_EQ(steps.Items(1).Key, 2);
  EXPECT_EQ(steps.Last()->Key, 1);
  EXPECT_EQ(steps.TotalCost(), 159);
  EXPECT_TRUE(steps.RemoveKey(2));
  EXPECT_FALSE(steps.RemoveKey(2));
  EXPECT_EQ(steps.TotalCost(), 149);
}

}  // namespace
}  // namespace nimbra
