#include <gtest/gtest.h>

#include "SlideShowTestKinds.h"
#include "framework/CustomTree.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowTree.h"

namespace nimbra {
namespace {

TEST(SlideShowTreeTest, ChapterWithThreePicturesGivesOneItemWithThreeChildren) {
  TSlideShow document;
  TTestChapter& chapter = AddNew<TTestChapter>(document.RootList(), "K");
  TSlideShowObjectList& pictures = chapter.CreateChildren();
  for (const char* text : {"1", "2", "3"}) AddNew<TTestLeaf>(pictures, text);
  pictures.Items(1)->SetActive(false);

  TCustomTree tree;
  BuildSlideShowTree(document, tree);
  TRef<ITreeItemList> roots = tree.GetItems();
  ASSERT_EQ(roots->Count(), 1);
  TRef<ITreeItem> root = roots->GetItem(0);
  EXPECT_EQ(SlideShowObjectOf(root), &chapter);
  TRef<ITreeItemList> children = root->GetChildren();
  ASSERT_TRUE(children);
  ASSERT_EQ(children->Count(), 3);
  // Inactive objects are in the tree as well, in list order.
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(SlideShowObjectOf(children->GetItem(i)), pictures.Items(i));
  EXPECT_EQ(children->GetItem(0)->GetOwner(), children->GetObject());
  EXPECT_FALSE(children->GetItem(0)->HasChildren());
}

TEST(SlideShowTreeTest, ItemChildListsFollowTheObjectsChildLists) {
  TSlideShow document;
  AddNew<TTestChapter>(document.RootList(), "leer").CreateChildren();
  AddNew<TTestChapter>(document.RootList(), "ohne");

  TCustomTree tree;
  BuildSlideShowTree(document, tree);
  TRef<ITreeItemList> roots = tree.GetItems();
  ASSERT_EQ(roots->Count(), 2);
  TRef<ITreeItemList> empty = roots->GetItem(0)->GetChildren();
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->Count(), 0);
  EXPECT_FALSE(roots->GetItem(1)->GetChildren());
}

TEST(SlideShowTreeTest, OtherItemsLeadToNoObject) {
  TRef<ITreeItem> plain(new TCustomTreeItem);
  EXPECT_EQ(SlideShowObjectOf(plain), nullptr);
  EXPECT_EQ(SlideShowObjectOf(static_cast<ITreeItem*>(nullptr)), nullptr);
}

}  // namespace
}  // namespace nimbra
