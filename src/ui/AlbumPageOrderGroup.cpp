#include "ui/AlbumPageOrderGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>
#include <utility>

namespace nimbra {

TAlbumPageOrderGroup::TAlbumPageOrderGroup(QWidget* parent)
    : QGroupBox(QString::fromUtf8(" Reihenfolge: "), parent),
      asStoredCheck_(new QRadioButton(QString::fromUtf8("wie gespeichert"), this)),
      captureDateCheck_(new QRadioButton(QString::fromUtf8("nach Aufnahmedatum"), this)),
      randomCheck_(new QRadioButton(QString::fromUtf8("zufällig"), this)) {
  auto* layout = new QVBoxLayout(this);
  const std::pair<QRadioButton*, TPageOrderMode> buttons[] = {
      {asStoredCheck_, TPageOrderMode::AsStored},
      {captureDateCheck_, TPageOrderMode::ByCaptureDate},
      {randomCheck_, TPageOrderMode::Random}};
  for (const auto& [button, mode] : buttons) {
    layout->addWidget(button);
    QObject::connect(button, &QRadioButton::clicked, this,
                     [this, button = button, mode = mode] { OrderClicked(button, mode); });
  }
  setEnabled(false);
}

void TAlbumPageOrderGroup::ShowOrder(IAlbumPageOrderSettings* settings) {
  settings_ = settings;
  setEnabled(settings != nullptr);
  const TPageOrderMode mode = settings != nullptr ? settings->PageOrder().Mode
                                                  : TPageOrderMode::AsStored;
  // Setting the marks is no click: the seed stays as it is.
  asStoredCheck_->setChecked(mode == TPageOrderMode::AsStored);
  captureDateCheck_->setChecked(mode == TPageOrderMode::ByCaptureDate);
  randomCheck_->setChecked(mode == TPageOrderMode::Random);
}

void TAlbumPageOrderGroup::OrderClicked(QRadioButton* button, TPageOrderMode mode) {
  if (settings_ == nullptr || !button->isChecked()) return;
  TAlbumPageOrder order = settings_->PageOrder();
  order.Mode = mode;
  if (mode == TPageOrderMode::Random) order.Seed = NewPageOrderSeed();
  settings_->SetPageOrder(order);
  if (OnModified) OnModified();
}

}  // namespace nimbra
