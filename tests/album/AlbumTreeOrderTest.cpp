#include "album/AlbumTreeOrder.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "slideshow/JpegTestData.h"
#include "album/AlbumPackage.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/Exif.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowTree.h"

namespace nimbra {
namespace {

// A picture that keeps the record of a capture date, or none without one.
std::unique_ptr<TExtPicSlideShowObject> Picture(const std::string& name,
                                                const std::optional<std::string>& date) {
  auto picture = std::make_unique<TExtPicSlideShowObject>();
  picture->Picture().SetFileName(name, *picture);
  std::unique_ptr<TSlideShowObjectExif> exif;
  if (date) {
    test::TTiffContent content;
    content.DateTimeOriginal = *date;
    auto container = std::make_unique<TExifContainer>();
    container->ExifSegment = test::KeptSegment(test::ExifPayload(content));
    exif = std::make_unique<TSlideShowObjectExif>();
    exif->SetContainer(std::move(container));
  }
  picture->Picture().SetExif(std::move(exif));
  return picture;
}

// The items in order, pictures by name and collections as their items in brackets.
std::string Labels(const TRef<ITreeItemList>& items) {
  std::string text;
  for (int32_t i = 0; i < items->Count(); ++i) {
    const TRef<ITreeItem> item = items->GetItem(i);
    if (!text.empty()) text += ' ';
    if (item->HasChildren()) {
      text += "[" + Labels(item->GetChildren()) + "]";
    } else if (auto* picture = dynamic_cast<TExtPicSlideShowObject*>(SlideShowObjectOf(item))) {
      text += picture->GetStoredFileName();
    }
  }
  return text;
}

class AlbumTreeOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TSlideShowObjectList& root = show_.RootList();
    root.Add(Picture("A", "2021:05:03 10:00:00"));
    root.Add(Picture("B", std::nullopt));
    auto chapter = std::make_unique<TContainerSlideShowObject>();
    // The chapter's earliest picture dates it, though it is not its first.
    chapter->CreateChildren().Add(Picture("C1", "2022:01:01 00:00:00"));
    chapter->CreateChildren().Add(Picture("C2", "2020:01:01 08:00:00"));
    root.Add(std::move(chapter));
    root.Add(Picture("D", "2019:12:31 23:59:59"));
    root.Add(Picture("E", "    :  :     :  :  "));
    root.Add(Picture("F", "2021:05:03 10:00:00"));
    tree_ = MakeSlideShowTree(show_);
  }

  std::string Arranged(TPageOrderMode mode, uint32_t seed = 0) {
    ArrangeRootItems(*tree_, {mode, seed});
    return Labels(tree_->GetItems());
  }

  TSlideShow show_;
  std::unique_ptr<TCustomTree> tree_;
};

constexpr const char* kDocumentOrder = "A B [C1 C2] D E F";

TEST_F(AlbumTreeOrderTest, ByCaptureDateSortsStablyWithUndatedItemsLastAndCollectionsWhole) {
  EXPECT_EQ(Labels(tree_->GetItems()), kDocumentOrder);
  // D, the chapter (by C2), then A and F of the same second in their order, then B and E
  // (whose date is blank) as they were.
  EXPECT_EQ(Arranged(TPageOrderMode::ByCaptureDate), "D [C1 C2] A F B E");
  // Sorting again from the sorted tree gives the same order.
  EXPECT_EQ(Arranged(TPageOrderMode::ByCaptureDate), "D [C1 C2] A F B E");
  EXPECT_EQ(Arranged(TPageOrderMode::AsStored), kDocumentOrder);
}

TEST_F(AlbumTreeOrderTest, RandomOrderFollowsItsSeedAndAnyOrderGoesBackToTheDocument) {
  const std::string first = Arranged(TPageOrderMode::Random, 7);
  EXPECT_NE(first, kDocumentOrder);
  // The same seed gives the same order, from the document's order or from another one.
  EXPECT_EQ(Arranged(TPageOrderMode::Random, 7), first);
  const std::string second = Arranged(TPageOrderMode::Random, 8);
  EXPECT_NE(second, first);
  // Every order is the same items, the chapter with its pictures in their own order.
  for (const std::string& order : {first, second}) {
    EXPECT_NE(order.find("[C1 C2]"), std::string::npos) << order;
    EXPECT_EQ(order.size(), std::string(kDocumentOrder).size()) << order;
  }
  EXPECT_EQ(Arranged(TPageOrderMode::AsStored), kDocumentOrder);
}

TEST(ShuffledPositionsTest, StayTheSameAcrossBuilds) {
  // Remembered pages depend on these exact permutations: a change here moves every user's page.
  EXPECT_EQ(ShuffledPositions(6, 42), (std::vector<int32_t>{4, 3, 1, 5, 2, 0}));
  EXPECT_TRUE(ShuffledPositions(0, 42).empty());
}

}  // namespace
}  // namespace nimbra
