// The album's settings dialog as the tray opens it (the settings bag's Edit through the frame
// editor), laid out by Qt's layouts. CTest runs this program twice: as it is and with
// QT_SCALE_FACTOR=2, the scale of a high-resolution screen.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "album/DesktopNimbraProperties.h"
#include "ui/DesktopNimbraPropertyEditorFrame.h"
#include "ui/FramePropertyEditor.h"
#include "ui/PropertyFrameDialog.h"

namespace nimbra {
namespace {

constexpr char kCaption[] = "Velmora Nimbra - Einstellungen";

class SettingsDialogLayoutTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "nimbra_settings_dialog_tests";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
      application_ = std::make_unique<QApplication>(argc, argv);
    }
    RegisterDesktopNimbraPropertyEditorFrame();
    SetPropertyEditor(std::make_shared<TFramePropertyEditor>());
  }
  static void TearDownTestSuite() {
    SetPropertyEditor(nullptr);
    UnregisterDesktopNimbraPropertyEditorFrame();
    application_.reset();
  }

  // Opens the settings dialog on the bag as the tray does and runs `work` once it shows; `work`
  // must close the dialog. The dialog's result.
  static bool Edit(TDesktopNimbraProperties& bag,
                   const std::function<void(TPropertyFrameDialog&)>& work) {
    QTimer::singleShot(0, [work] {
      auto* dialog = dynamic_cast<TPropertyFrameDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) {
        ADD_FAILURE() << "no settings dialog shows";
        return;
      }
      work(*dialog);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "the dialog was left open";
        dialog->reject();
      }
    });
    return bag.Edit(kCaption, 0, 0);
  }

  static TDesktopNimbraPropertyEditorFrame* Frame(TPropertyFrameDialog& dialog) {
    return dialog.findChild<TDesktopNimbraPropertyEditorFrame*>();
  }

  static std::unique_ptr<QApplication> application_;
};
std::unique_ptr<QApplication> SettingsDialogLayoutTest::application_;

std::string Describe(const QWidget& widget) {
  std::ostringstream text;
  QString caption;
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) caption = label->text();
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) caption = button->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) caption = group->title();
  text << widget.metaObject()->className() << " \"" << caption.toStdString() << "\" at "
       << widget.width() << "x" << widget.height() << ", needs " << widget.sizeHint().width() << "x"
       << widget.sizeHint().height();
  return text.str();
}

// Every caption and field of the dialog gets at least the size it asks for, and lies wholly
// inside its parent: nothing is cut.
void ExpectNothingCut(const QWidget& dialog) {
  const QList<QWidget*> widgets = dialog.findChildren<QWidget*>();
  int checked = 0;
  for (const QWidget* widget : widgets) {
    const bool captioned = qobject_cast<const QLabel*>(widget) != nullptr ||
                           qobject_cast<const QAbstractButton*>(widget) != nullptr ||
                           qobject_cast<const QGroupBox*>(widget) != nullptr ||
                           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
    if (!captioned || !widget->isVisible()) continue;
    ++checked;
    EXPECT_GE(widget->width(), widget->sizeHint().width()) << Describe(*widget);
    EXPECT_GE(widget->height(), widget->sizeHint().height()) << Describe(*widget);
    EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry()))
        << Describe(*widget) << " sticks out of its parent";
  }
  // Two group boxes with three radio buttons each, one with two, three labels, two spin fields,
  // three push buttons.
  EXPECT_EQ(checked, 19);
}

TEST_F(SettingsDialogLayoutTest, NoCaptionIsCutAndTheDialogHasItsNaturalSize) {
  const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                           ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                           : 1.0;
  for (const uint8_t mode : {0, 2}) {
    TDesktopNimbraProperties bag;
    bag.SetChangeMode(mode);
    Edit(bag, [&](TPropertyFrameDialog& dialog) {
      // The scale this run asked for is the one the dialog is drawn at.
      ASSERT_NE(dialog.windowHandle(), nullptr);
      EXPECT_DOUBLE_EQ(dialog.windowHandle()->devicePixelRatio(), scale);
      EXPECT_EQ(dialog.windowTitle().toStdString(), kCaption);
      const TDesktopNimbraPropertyEditorFrame* frame = Frame(dialog);
      ASSERT_NE(frame, nullptr);
      const auto* intervalLabel = frame->IntervalPanel()->findChild<QLabel*>();
      ASSERT_NE(intervalLabel, nullptr);
      EXPECT_EQ(intervalLabel->text().toStdString(), "Bildwechselinterval:");
      ExpectNothingCut(dialog);
      // Not larger than needed: the dialog and the frame have exactly the size their layouts ask
      // for (it was 647 x 531 with its controls in one corner).
      EXPECT_EQ(dialog.size(), dialog.sizeHint());
      EXPECT_EQ(frame->size(), frame->sizeHint());
      EXPECT_LT(dialog.width(), 647);
      EXPECT_LT(dialog.height(), 531);
      // OK and Cancel below, centred.
      EXPECT_EQ(dialog.OkButton()->x() + dialog.OkButton()->width() + 10,
                dialog.CancelButton()->x());
      EXPECT_NEAR(dialog.OkButton()->x() + dialog.CancelButton()->geometry().right(),
                  dialog.BottomPanel()->width(), 2);
      dialog.CancelButton()->click();
    });
  }
}

TEST_F(SettingsDialogLayoutTest, InTimedModeAnIntervalBelowTenSecondsIsRefusedWithAMessage) {
  TDesktopNimbraProperties bag;
  std::vector<std::string> refusals;
  std::vector<bool> open;
  const bool confirmed = Edit(bag, [&](TPropertyFrameDialog& dialog) {
    TDesktopNimbraPropertyEditorFrame* frame = Frame(dialog);
    ASSERT_NE(frame, nullptr);
    frame->MinEdit()->setValue(0);
    // 0 s: the message box over the dialog, read and closed.
    QTimer::singleShot(0, [&refusals] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      refusals.push_back(box->text().toStdString());
      box->accept();
    });
    frame->SecEdit()->setValue(0);
    dialog.OkButton()->click();
    open.push_back(dialog.isVisible());
    // 9 s is still too short, 10 s is taken.
    dialog.ShowRefusal = [&](const std::string& message) { refusals.push_back(message); };
    for (const int seconds : {9, 10}) {
      frame->SecEdit()->setValue(seconds);
      dialog.OkButton()->click();
      open.push_back(dialog.isVisible());
    }
  });
  const std::string refusal = TDesktopNimbraPropertyEditorFrame::kIntervalTooShortText;
  EXPECT_EQ(refusals, (std::vector<std::string>{refusal, refusal}));
  EXPECT_EQ(open, (std::vector<bool>{true, true, false}));
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(bag.Interval(), 10000);

  // Outside timed mode the interval is not used and its fields are off: nothing to refuse.
  TDesktopNimbraPropertyEditorFrame frame;
  TDesktopNimbraProperties manual;
  manual.SetInterval(0);
  manual.SetChangeMode(2);
  frame.SetProperties(&manual);
  EXPECT_EQ(frame.CheckProperties(), "");
  manual.SetChangeMode(0);
  EXPECT_EQ(frame.CheckProperties(), refusal);
}

}  // namespace
}  // namespace nimbra
