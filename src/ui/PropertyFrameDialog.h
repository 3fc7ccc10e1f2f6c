// The modal dialog that hosts one editor frame: the frame's panel above, OK and Cancel centred in a
// 41-pixel panel below.
#pragma once

#include <QDialog>

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
  QWidget* BottomPanel() const { return bottomPanel_; }
  QPushButton* OkButton() const { return okButton_; }
  QPushButton* CancelButton() const { return cancelButton_; }

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
