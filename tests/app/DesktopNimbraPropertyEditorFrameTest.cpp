#include "ui/DesktopNimbraPropertyEditorFrame.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "ShellTestSupport.h"
#include "album/DesktopNimbraProperties.h"
#include "storage/FileAccess.h"

namespace nimbra {
namespace {

class DesktopNimbraPropertyEditorFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame_.SetProperties(&bag_);
    frame_.OnModified = [this](TPropertyEditorFrame&) { ++modified_; };
  }
  void TearDown() override { SetFileAccess(nullptr); }

  // Which of the three buttons are checked, top to bottom.
  std::vector<bool> Marks() const {
    return {frame_.NoAutoSwitchCheck()->isChecked(), frame_.ProgStartCheck()->isChecked(),
            frame_.IntervalCheck()->isChecked()};
  }

  // The application comes before the frame, its first widget.
  QApplication& application_ = test::Application();
  TDesktopNimbraProperties bag_;
  TDesktopNimbraPropertyEditorFrame frame_;
  int modified_ = 0;
};

TEST_F(DesktopNimbraPropertyEditorFrameTest, ShowsTheIntervalInMinutesAndSeconds) {
  bag_.SetInterval(90500);
  frame_.ShowProperties();
  EXPECT_EQ(frame_.MinEdit()->value(), 1);
  EXPECT_EQ(frame_.SecEdit()->value(), 30);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, true}));
  EXPECT_TRUE(frame_.IntervalPanel()->isEnabled());
  EXPECT_EQ(modified_, 0);  // showing is no edit
  EXPECT_EQ(bag_.Interval(), 90500);

  // Saving what is shown drops the half second.
  frame_.SecEdit()->setValue(31);
  frame_.SecEdit()->setValue(30);
  EXPECT_EQ(bag_.Interval(), 90000);
  frame_.MinEdit()->setValue(9999);
  EXPECT_EQ(bag_.Interval(), 9999 * 60000 + 30000);
  EXPECT_GT(modified_, 0);
  // The fields keep to their ranges.
  EXPECT_EQ(frame_.MinEdit()->maximum(), 9999);
  EXPECT_EQ(frame_.SecEdit()->maximum(), 59);
  EXPECT_EQ(frame_.GroupBox()->title(), " Bilderwechsel: ");
}

TEST_F(DesktopNimbraPropertyEditorFrameTest, ModesSwitchTheIntervalFieldsOnAndOff) {
  bag_.SetChangeMode(1);
  frame_.ShowProperties();
  EXPECT_EQ(Marks(), (std::vector<bool>{false, true, false}));
  EXPECT_FALSE(frame_.IntervalPanel()->isEnabled());
  EXPECT_FALSE(frame_.MinEdit()->isEnabled());

  frame_.NoAutoSwitchCheck()->click();
  EXPECT_EQ(bag_.ChangeMode(), 2);
  EXPECT_FALSE(frame_.SecEdit()->isEnabled());
  frame_.IntervalCheck()->click();
  EXPECT_EQ(bag_.ChangeMode(), 0);
  EXPECT_TRUE(frame_.MinEdit()->isEnabled());
  EXPECT_TRUE(frame_.SecEdit()->isEnabled());
  frame_.ProgStartCheck()->click();
  EXPECT_EQ(bag_.ChangeMode(), 1);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, true, false}));

  // A stored mode the album does not know checks no button and keeps the fields off.
  bag_.SetChangeMode(7);
  frame_.ShowProperties();
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, false}));
  EXPECT_FALSE(frame_.IntervalPanel()->isEnabled());
  EXPECT_EQ(bag_.ChangeMode(), 7);
}

TEST_F(DesktopNimbraPropertyEditorFrameTest, DefaultsComeFromThePackageOrTheConstructor) {
  EXPECT_EQ(frame_.Button1()->text(), "Standardwerte");
  bag_.SetInterval(5000);
  bag_.SetChangeMode(2);
  bag_.SetPage(4);
  frame_.ShowProperties();

  // No package file: the constructor's values.
  SetFileAccess(nullptr);
  frame_.Button1()->click();
  EXPECT_EQ(bag_.Interval(), 1800000);
  EXPECT_EQ(bag_.ChangeMode(), 0);
  EXPECT_EQ(bag_.Page(), -1);
  EXPECT_EQ(frame_.MinEdit()->value(), 30);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, false, true}));

  // The album's own settings: 2 min 5 s, at program start, page 3.
  SetFileAccess(std::make_shared<test::TOneFileAccess>(
      "|Oriel.cfg", std::string("\x48\xE8\x01\x00\x01\x03\x00\x00\x00", 9)));
  frame_.Button1()->click();
  EXPECT_EQ(bag_.Interval(), 125000);
  EXPECT_EQ(bag_.ChangeMode(), 1);
  EXPECT_EQ(bag_.Page(), 3);
  EXPECT_EQ(frame_.MinEdit()->value(), 2);
  EXPECT_EQ(frame_.SecEdit()->value(), 5);
  EXPECT_EQ(Marks(), (std::vector<bool>{false, true, false}));
  EXPECT_FALSE(frame_.IntervalPanel()->isEnabled());
}

TEST(DesktopNimbraPropertiesTest, NamesItsEditorFrame) {
  TDesktopNimbraProperties bag;
  EXPECT_EQ(bag.EditorFrameClassNames(), "TDesktopNimbraPropertyEditorFrame");
  EXPECT_EQ(bag.FirstEditorFrame(), nullptr);
  RegisterDesktopNimbraPropertyEditorFrame();
  EXPECT_EQ(bag.FirstEditorFrame(), &TDesktopNimbraPropertyEditorFrame::StaticClass());
  UnregisterDesktopNimbraPropertyEditorFrame();
}

}  // namespace
}  // namespace nimbra
