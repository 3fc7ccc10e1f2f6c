#include "app/AboutForm.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>

#include "app/TrayImages.h"
#include "framework/ApplicationInfo.h"

namespace nimbra {

QPointer<TAboutForm> TAboutForm::openForm_;

int FadeOpacity(int64_t elapsedMilliseconds) {
  const double remaining =
      1.0 - static_cast<double>(elapsedMilliseconds) / TAboutForm::kFadeMilliseconds;
  return std::clamp(static_cast<int>(std::lround(remaining * 255)), 0, 255);
}

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Info über...");
  setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
  setModal(true);

  logoImage_ = new QLabel(this);
  logoImage_->setFixedSize(kLogoSize, kLogoSize);
  applicationTitleLabel_ = new QLabel(this);
  QFont titleFont = applicationTitleLabel_->font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
  applicationTitleLabel_->setFont(titleFont);
  versionLabel_ = new QLabel(this);
  copyrightLabel_ = new QLabel(this);
  url_ = new QLabel(this);
  url_->setTextFormat(Qt::RichText);
  url_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  url_->setOpenExternalLinks(true);
  url_->setCursor(Qt::PointingHandCursor);
  okButton_ = new QPushButton("Ok", this);
  okButton_->setDefault(true);
  settingsButton_ = new QPushButton("Einstellungen", this);

  auto* texts = new QVBoxLayout();
  texts->addWidget(applicationTitleLabel_);
  texts->addWidget(versionLabel_);
  texts->addWidget(copyrightLabel_);
  texts->addWidget(url_);
  texts->addStretch();
  auto* top = new QHBoxLayout();
  top->addWidget(logoImage_, 0, Qt::AlignTop);
  top->addSpacing(12);
  top->addLayout(texts);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch();
  buttons->addWidget(settingsButton_);
  buttons->addWidget(okButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);

  QObject::connect(okButton_, &QPushButton::clicked, this, [this] { accept(); });
  QObject::connect(settingsButton_, &QPushButton::clicked, this, [this] {
    if (OnSettings) OnSettings();
  });
  FillLabels();
}

void TAboutForm::FillLabels() {
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  if (!info) return;
  versionLabel_->setText(QString::fromStdString("Version " + info->FullVersion()));
  applicationTitleLabel_->setText(QString::fromStdString(info->ProductName()));
  copyrightLabel_->setText(QString::fromStdString(info->CopyrightText()));
  url_->setText(QString("<a href=\"%1\" style=\"color:#800000; text-decoration:underline\">%2</a>")
                    .arg(QString::fromStdString(info->WebUrl()).toHtmlEscaped(),
                         QString::fromStdString(info->WebAddress()).toHtmlEscaped()));
  logoImage_->setPixmap(QPixmap::fromImage(AlbumLogo(logoImage_->size())));
}

void TAboutForm::showEvent(QShowEvent* event) {
  // Activation refreshes the texts: the application information may have changed since.
  FillLabels();
  setWindowOpacity(1.0);
  CentreOnScreen();
  QDialog::showEvent(event);
}

void TAboutForm::CentreOnScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  move(area.center() - rect().center());
}

void TAboutForm::done(int result) {
  if (fading_) return;
  FadeOut();
  QDialog::done(result);
}

void TAboutForm::FadeOut() {
  if (!isVisible()) return;
  fading_ = true;
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    const int64_t elapsed = clock.elapsed();
    setWindowOpacity(FadeOpacity(elapsed) / 255.0);
    if (elapsed >= kFadeMilliseconds) break;
    // Painting and timers go on during the fade; clicks and keys would reach a closing window.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(15);
  }
  fading_ = false;
}

void TAboutForm::Execute(std::function<void()> showSettings) {
  if (openForm_) {
    openForm_->raise();
    openForm_->activateWindow();
    return;
  }
  TAboutForm form;
  form.OnSettings = std::move(showSettings);
  openForm_ = &form;
  form.exec();
  openForm_ = nullptr;
}

}  // namespace nimbra
