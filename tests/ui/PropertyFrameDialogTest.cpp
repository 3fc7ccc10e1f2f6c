#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "storage/CSFStream.h"
#include "ui/FramePropertyEditor.h"
#include "ui/PropertyEditorFrame.h"
#include "ui/PropertyFrameDialog.h"

namespace nimbra {
namespace {

// A bag with one number, edited by TNumberFrame.
class TNumberProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  std::string EditorFrameClassNames() const override { return "TUnknownFrame\r\nTNumberFrame"; }
  bool WriteToStream(TCSFStream& stream) const override {
    stream.WriteInteger(Number);
    return true;
  }
  bool ReadFromStream(TCSFStream& stream) override {
    Number = stream.ReadInteger();
    return true;
  }
  int32_t Number = 5;
};
NIMBRA_DEFINE_PLUGIN(TNumberProperties, TProperties)

// Stands for a user who types 99 into the frame as soon as it shows the bag.
class TNumberFrame : public TPropertyEditorFrame {
  NIMBRA_DECLARE_FRAME()

 public:
  TNumberFrame() { resize(300, 200); }
  static std::string ClassFrameCaption() { return "Zahl"; }
  void ShowProperties() override {
    TPropertyEditorFrame::ShowProperties();
    static_cast<TNumberProperties*>(Properties())->Number = 99;
    Modified();
  }
};
NIMBRA_DEFINE_FRAME(TNumberFrame, TPropertyEditorFrame)

class PropertyFrameDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "nimbra_ui_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) application_ = std::make_unique<QApplication>(argc, argv);
    RegisterClass(TNumberFrame::StaticClass());
  }
  static void TearDownTestSuite() {
    UnregisterClass(TNumberFrame::StaticClass());
    application_.reset();
  }

  // Answers the next modal dialog by pressing one of its buttons; remembers its caption and size.
  void AnswerNextDialog(bool confirm) {
    QTimer::singleShot(0, [this, confirm] {
      auto* dialog = dynamic_cast<TPropertyFrameDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      caption_ = dialog->windowTitle().toStdString();
      (confirm ? dialog->OkButton() : dialog->CancelButton())->click();
    });
  }

  static std::unique_ptr<QApplication> application_;
  std::string caption_;
};
std::unique_ptr<QApplication> PropertyFrameDialogTest::application_;

TEST_F(PropertyFrameDialogTest, DialogKeepsItsButtonsCentred) {
  TPropertyFrameDialog dialog;
  EXPECT_EQ(dialog.width(), 425);
  EXPECT_EQ(dialog.height(), 369);
  EXPECT_EQ(dialog.BottomPanel()->height(), 41);
  dialog.show();
  for (const int width : {425, 700}) {
    dialog.resize(width, 369);
    QApplication::processEvents();
    ASSERT_EQ(dialog.BottomPanel()->width(), width);
    const int middle = width / 2;
    EXPECT_EQ(dialog.OkButton()->width(), 99);
    EXPECT_EQ(dialog.OkButton()->x(), middle - 99 - 5);
    EXPECT_EQ(dialog.CancelButton()->x(), middle + 5);
  }
}

TEST_F(PropertyFrameDialogTest, CancelLeavesTheBagAsItWas) {
  TFramePropertyEditor editor;
  TNumberProperties bag;
  AnswerNextDialog(false);
  EXPECT_FALSE(editor.EditProperties(bag, "", 0, 0));
  EXPECT_EQ(bag.Number, 5);
  EXPECT_EQ(caption_, "Einstellungen");
}

TEST_F(PropertyFrameDialogTest, OkTakesOverTheEditedCopy) {
  SetPropertyEditor(std::make_shared<TFramePropertyEditor>());
  TNumberProperties bag;
  EXPECT_EQ(bag.EditorCaption(), "Zahl");
  AnswerNextDialog(true);
  EXPECT_TRUE(bag.Edit("Zahlen", 0, 0));
  EXPECT_EQ(bag.Number, 99);
  EXPECT_EQ(caption_, "Zahlen");
  EXPECT_THROW(TFramePropertyEditor().EditProperties(bag, "", 0, 1), std::out_of_range);
  SetPropertyEditor(nullptr);
}

}  // namespace
}  // namespace nimbra
