// The modal dialog that hosts one editor frame: the frame's panel above, OK and Cancel centred in a
// 41-pixel panel below. The frame edit places the frame in the main panel's layout, so the dialog
// takes the size its contents need at the screen's fonts and scale.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QPushButton;
class QWidget;

namespace nimbra {

class TPropertyFrameDialog : public QDialog {
 public:
  static constexpr int kInitialWidth = 425;
  static constexpr int kInitialHeight = 369;
  static constexpr int kBottomPanelHeight = 41;
  static constexpr int kButtonWidth = 99;
  static constexpr int kMainPanelMargin = 6;

  explicit TPropertyFrameDialog(QWidget* owner = nullptr);

  // The panel the editor frame is placed in.
  QWidget* MainPanel() const { return mainPanel_; }
  // Puts the frame at left 1, top 1 of the main panel, in a layout, and gives the dialog the size
  // its layouts ask for around it.
  void PlaceFrame(QWidget& frame);
  QWidget* BottomPanel() const { return bottomPanel_; }
  QPushButton* OkButton() const { return okButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }

  // Asked when OK is pressed: a message in German refuses the edit (the message is shown and the
  // dialog stays open); an empty one lets the dialog close.
  std::function<std::string()> CheckBeforeAccept;
  // Shows the refusal; a message box unless replaced (tests).
  std::function<void(const std::string& message)> ShowRefusal;

  void accept() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Keeps the two buttons centred with a 10-pixel gap whenever the bottom panel changes size.
  void PlaceButtons();

  QWidget* mainPanel_;
  QWidget* bottomPanel_;
  QPushButton* okButton_;
  QPushButton* cancelButton_;
};

}  // namespace nimbra
