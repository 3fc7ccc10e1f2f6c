// The album's settings page: when pictures change (never by themselves, at program start, or at
// an interval of minutes and seconds) and "Standardwerte", which brings back the settings the
// album came with. It edits the working copy the settings dialog hands it.
#pragma once

#include "album/DesktopNimbraSettings.h"
#include "ui/PropertyEditorFrame.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace nimbra {

class IDesktopNimbraSettings;
class TAlbumPageOrderGroup;
class TScreenPagesGroup;

class TDesktopNimbraPropertyEditorFrame : public TPropertyEditorFrame {
  NIMBRA_DECLARE_FRAME()

 public:
  TDesktopNimbraPropertyEditorFrame();
  static std::string ClassFrameCaption() { return "Einstellungen"; }

  void ShowProperties() override;
  // In timed mode an interval below 10 s is refused with kIntervalTooShortText.
  std::string CheckProperties() const override;
  static constexpr const char* kIntervalTooShortText =
      "Zwischen zwei Bildwechseln müssen mindestens 10 Sekunden liegen.";
  // The interval's fields are usable exactly in timed mode.
  virtual void UpdateControls();

  QGroupBox* GroupBox() const { return groupBox_; }
  QRadioButton* NoAutoSwitchCheck() const { return noAutoSwitchCheck_; }
  QRadioButton* ProgStartCheck() const { return progStartCheck_; }
  QRadioButton* IntervalCheck() const { return intervalCheck_; }
  QWidget* IntervalPanel() const { return intervalPanel_; }
  QSpinBox* MinEdit() const { return minEdit_; }
  QSpinBox* SecEdit() const { return secEdit_; }
  QPushButton* Button1() const { return button1_; }
  // The page order, a group of its own below the change mode.
  TAlbumPageOrderGroup* OrderGroup() const { return orderGroup_; }
  TScreenPagesGroup* ScreenGroup() const { return screenGroup_; }

 private:
  IDesktopNimbraSettings* Settings() const;
  void MinEditChange();
  void ModeClicked(QRadioButton* button, TChangeMode mode);
  void Button1Click();

  QGroupBox* groupBox_;
  QRadioButton* noAutoSwitchCheck_;
  QRadioButton* progStartCheck_;
  QRadioButton* intervalCheck_;
  QWidget* intervalPanel_;
  QSpinBox* minEdit_;
  QSpinBox* secEdit_;
  QPushButton* button1_;
  TAlbumPageOrderGroup* orderGroup_;
  TScreenPagesGroup* screenGroup_;
};

// Makes the frame known by its class name, so the settings bag's frame list finds it.
void RegisterDesktopNimbraPropertyEditorFrame();
void UnregisterDesktopNimbraPropertyEditorFrame();

}  // namespace nimbra
