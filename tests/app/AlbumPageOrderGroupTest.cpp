#include "ui/AlbumPageOrderGroup.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLayout>
#include <QRadioButton>

#include "ShellTestSupport.h"
#include "album/DesktopNimbraProperties.h"
#include "ui/DesktopNimbraPropertyEditorFrame.h"
#include "ui/ScreenPagesGroup.h"

namespace nimbra {
namespace {

class AlbumPageOrderGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_.SetProperties(&bag_);
    frame_.OnModified = [this](TPropertyEditorFrame&) { ++modified_; };
  }

  TAlbumPageOrderGroup& Group() const { return *frame_.OrderGroup(); }
  std::vector<bool> Marks() const {
    return {Group().AsStoredCheck()->isChecked(), Group().CaptureDateCheck()->isChecked(),
            Group().RandomCheck()->isChecked()};
  }

  QApplication& application_ = test::Application();
  TDesktopNimbraProperties bag_;
  TDesktopNimbraPropertyEditorFrame frame_;
  int modified_ = 0;
};

TEST_F(AlbumPageOrderGroupTest, ShowsTheOrderBelowTheChangeModeAndDrawsASeedPerRandomChoice) {
  EXPECT_EQ(Group().title(), " Reihenfolge: ");
  EXPECT_EQ(Group().CaptureDateCheck()->text(), "nach Aufnahmedatum");
  frame_.layout()->activate();
  EXPECT_GE(Group().geometry().top(), frame_.GroupBox()->geometry().bottom());
  EXPECT_LE(Group().geometry().bottom(), frame_.height());
  EXPECT_GE(Group().height(), Group().minimumSizeHint().height());

  const struct {
    TPageOrderMode Mode;
    std::vector<bool> Marks;
  } cases[] = {{TPageOrderMode::Random, {false, false, true}},
               {TPageOrderMode::ByCaptureDate, {false, true, false}},
               {TPageOrderMode::AsStored, {true, false, false}}};
  for (const auto& [mode, marks] : cases) {
    bag_.SetPageOrder({mode, 99});
    frame_.ShowProperties();
    EXPECT_EQ(Marks(), marks);
    EXPECT_EQ(bag_.PageOrder(), (TAlbumPageOrder{mode, 99}));
  }
  EXPECT_EQ(modified_, 0);

  // Each choice of "zufällig" draws a new shuffle.
  bag_.SetPageOrder({TPageOrderMode::AsStored, 5});
  frame_.ShowProperties();
  Group().CaptureDateCheck()->click();
  EXPECT_EQ(bag_.PageOrder(), (TAlbumPageOrder{TPageOrderMode::ByCaptureDate, 5}));
  Group().RandomCheck()->click();
  const TAlbumPageOrder first = bag_.PageOrder();
  EXPECT_EQ(first.Mode, TPageOrderMode::Random);
  Group().RandomCheck()->click();
  EXPECT_EQ(bag_.PageOrder().Mode, TPageOrderMode::Random);
  // Two draws of 32 bits alike would be a broken source of seeds.
  EXPECT_NE(bag_.PageOrder().Seed, first.Seed);
  EXPECT_NE(first.Seed, 5u);
  EXPECT_EQ(modified_, 3);
}

TEST_F(AlbumPageOrderGroupTest, TheScreensGroupBelowItShowsAndSetsWhatSeveralScreensShow) {
  TScreenPagesGroup& group = *frame_.ScreenGroup();
  EXPECT_EQ(group.title(), " Mehrere Bildschirme: ");
  frame_.layout()->activate();
  EXPECT_GE(group.geometry().top(), Group().geometry().bottom());
  EXPECT_LE(group.geometry().bottom(), frame_.height());
  for (const TScreenPages pages : {TScreenPages::SamePage, TScreenPages::ConsecutivePages}) {
    bag_.SetScreenPages(pages);
    frame_.ShowProperties();
    EXPECT_EQ(group.SamePageCheck()->isChecked(), pages == TScreenPages::SamePage);
    EXPECT_EQ(group.ConsecutivePagesCheck()->isChecked(), pages == TScreenPages::ConsecutivePages);
  }
  EXPECT_EQ(modified_, 0);
  group.SamePageCheck()->click();
  EXPECT_EQ(bag_.ScreenPages(), TScreenPages::SamePage);
  EXPECT_EQ(modified_, 1);
}

}  // namespace
}  // namespace nimbra
