#include "app/AnimatedTrayIcon.h"

#include <QSystemTrayIcon>
#include <iostream>

namespace nimbra {

TAnimatedTrayIcon::TAnimatedTrayIcon(QObject* parent) : QObject(parent) {
  OnUnavailable = [](const std::string& message) { std::cerr << message << std::endl; };
  QObject::connect(&animation_, &QTimer::timeout, this, [this] { NextFrame(); });
  retry_.setInterval(kTrayRetryMilliseconds);
  QObject::connect(&retry_, &QTimer::timeout, this, [this] { ShowWhenTrayAppears(); });
}

TAnimatedTrayIcon::~TAnimatedTrayIcon() = default;

QSystemTrayIcon& TAnimatedTrayIcon::ShownIcon() {
  if (icon_) return *icon_;
  icon_ = std::make_unique<QSystemTrayIcon>();
  QObject::connect(icon_.get(), &QSystemTrayIcon::activated, this,
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     if (reason == QSystemTrayIcon::Trigger && OnClick) OnClick();
                   });
  icon_->setToolTip(hint_);
  icon_->setContextMenu(menu_);
  if (!images_.empty()) icon_->setIcon(images_[static_cast<size_t>(imageIndex_)]);
  return *icon_;
}

void TAnimatedTrayIcon::SetActive(bool active) {
  active_ = active;
  if (!active) {
    retry_.stop();
    if (icon_) icon_->hide();
    return;
  }
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    if (!reported_ && OnUnavailable) {
      OnUnavailable(
          "No notification area (system tray) is available: the album runs without its icon.");
    }
    reported_ = true;
    retry_.start();
    return;
  }
  retry_.stop();
  ShownIcon().show();
}

void TAnimatedTrayIcon::ShowWhenTrayAppears() {
  if (!active_ || !QSystemTrayIcon::isSystemTrayAvailable()) return;
  retry_.stop();
  ShownIcon().show();
}

bool TAnimatedTrayIcon::Visible() const { return icon_ && icon_->isVisible(); }

void TAnimatedTrayIcon::SetImages(std::vector<QIcon> images) {
  images_ = std::move(images);
  SetImageIndex(0);
}

void TAnimatedTrayIcon::SetImageIndex(int index) {
  if (images_.empty()) return;
  imageIndex_ = index >= 0 && index < ImageCount() ? index : 0;
  if (icon_) icon_->setIcon(images_[static_cast<size_t>(imageIndex_)]);
}

void TAnimatedTrayIcon::SetAnimate(bool animate) {
  if (animate == Animate()) return;
  if (animate) {
    animation_.start();
  } else {
    animation_.stop();
  }
}

void TAnimatedTrayIcon::NextFrame() {
  // The still icon stays out of the cycle when there are frames of their own.
  const int first = ImageCount() > 1 ? 1 : 0;
  const int next = imageIndex_ + 1 < ImageCount() ? imageIndex_ + 1 : first;
  SetImageIndex(std::max(next, first));
}

void TAnimatedTrayIcon::SetHint(const std::string& hint) {
  hint_ = QString::fromStdString(hint);
  if (icon_) icon_->setToolTip(hint_);
}

std::string TAnimatedTrayIcon::Hint() const { return hint_.toStdString(); }

void TAnimatedTrayIcon::ShowNotice(const std::string& title, const std::string& text) {
  ShownIcon().showMessage(QString::fromStdString(title), QString::fromStdString(text),
                          QSystemTrayIcon::Warning, kNoticeMilliseconds);
}

void TAnimatedTrayIcon::SetMenu(QMenu* menu) {
  menu_ = menu;
  if (icon_) icon_->setContextMenu(menu);
}

}  // namespace nimbra
