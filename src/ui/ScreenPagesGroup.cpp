#include "ui/ScreenPagesGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

namespace nimbra {

TScreenPagesGroup::TScreenPagesGroup(QWidget* parent)
    : QGroupBox(QString::fromUtf8(" Mehrere Bildschirme: "), parent),
      samePageCheck_(new QRadioButton(QString::fromUtf8("überall dieselbe Seite"), this)),
      consecutivePagesCheck_(
          new QRadioButton(QString::fromUtf8("nebeneinander die nächsten Seiten"), this)) {
  auto* layout = new QVBoxLayout(this);
  const std::pair<QRadioButton*, TScreenPages> buttons[] = {
      {samePageCheck_, TScreenPages::SamePage},
      {consecutivePagesCheck_, TScreenPages::ConsecutivePages}};
  for (const auto& [button, pages] : buttons) {
    layout->addWidget(button);
    QObject::connect(button, &QRadioButton::clicked, this, [this, button = button, pages = pages] {
      if (settings_ == nullptr || !button->isChecked()) return;
      settings_->SetScreenPages(pages);
      if (OnModified) OnModified();
    });
  }
  setEnabled(false);
}

void TScreenPagesGroup::ShowPages(IScreenPagesSettings* settings) {
  settings_ = settings;
  setEnabled(settings != nullptr);
  const TScreenPages pages = settings != nullptr ? settings->ScreenPages() : kDefaultScreenPages;
  samePageCheck_->setChecked(pages == TScreenPages::SamePage);
  consecutivePagesCheck_->setChecked(pages == TScreenPages::ConsecutivePages);
}

}  // namespace nimbra
