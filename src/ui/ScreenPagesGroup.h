// The group " Mehrere Bildschirme: " of the album's settings page: the same page on every screen,
// or consecutive pages of the album side by side.
#pragma once

#include <QGroupBox>
#include <functional>

#include "album/ScreenPages.h"

class QRadioButton;

namespace nimbra {

class TScreenPagesGroup : public QGroupBox {
 public:
  explicit TScreenPagesGroup(QWidget* parent = nullptr);

  // The settings the buttons show and change; none disables the group.
  void ShowPages(IScreenPagesSettings* settings);
  // Raised after a click changed the settings.
  std::function<void()> OnModified;

  QRadioButton* SamePageCheck() const { return samePageCheck_; }
  QRadioButton* ConsecutivePagesCheck() const { return consecutivePagesCheck_; }

 private:
  IScreenPagesSettings* settings_ = nullptr;  // not owned
  QRadioButton* samePageCheck_;
  QRadioButton* consecutivePagesCheck_;
};

}  // namespace nimbra
