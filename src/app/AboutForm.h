// The about box: product, version, copyright and web address with the album's logo, an "Ok" and an
// "Einstellungen" button. Modal and on top of other windows; only one is open at a time. It fades
// out when it closes.
#pragma once

#include <QDialog>
#include <QPointer>
#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

namespace nimbra {

// The opacity (0 … 255) t milliseconds into the fade: round((1 - t / 500) × 255), clamped.
int FadeOpacity(int64_t elapsedMilliseconds);

class TAboutForm : public QDialog {
 public:
  static constexpr int kFadeMilliseconds = 500;
  static constexpr int kLogoSize = 96;

  explicit TAboutForm(QWidget* parent = nullptr);

  // Shows the about box and returns when it has closed; while one is open, brings that one to the
  // front instead. showSettings runs for "Einstellungen".
  static void Execute(std::function<void()> showSettings);
  // The box on show, or none.
  static TAboutForm* OpenForm() { return openForm_; }

  // Runs for "Einstellungen".
  std::function<void()> OnSettings;

  QLabel* VersionLabel() const { return versionLabel_; }
  QLabel* ApplicationTitleLabel() const { return applicationTitleLabel_; }
  QLabel* CopyrightLabel() const { return copyrightLabel_; }
  QLabel* URL() const { return url_; }
  QLabel* LogoImage() const { return logoImage_; }
  QPushButton* OkButton() const { return okButton_; }
  QPushButton* SettingsButton() const { return settingsButton_; }

  // Closes after fading out.
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillLabels();
  void CentreOnScreen();
  void FadeOut();

  QLabel* versionLabel_;
  QLabel* applicationTitleLabel_;
  QLabel* copyrightLabel_;
  QLabel* url_;
  QLabel* logoImage_;
  QPushButton* okButton_;
  QPushButton* settingsButton_;
  bool fading_ = false;
  static QPointer<TAboutForm> openForm_;
};

}  // namespace nimbra
