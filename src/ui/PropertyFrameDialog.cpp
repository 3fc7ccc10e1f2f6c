#include "ui/PropertyFrameDialog.h"

#include <QEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace nimbra {

namespace {
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = 8;
constexpr int kButtonGapHalf = 5;
}  // namespace

TPropertyFrameDialog::TPropertyFrameDialog(QWidget* owner) : QDialog(owner) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* borderPanel = new QWidget(this);
  auto* borderLayout = new QVBoxLayout(borderPanel);
  borderLayout->setContentsMargins(kMainPanelMargin, kMainPanelMargin, kMainPanelMargin,
                                   kMainPanelMargin);
  mainPanel_ = new QWidget(borderPanel);
  borderLayout->addWidget(mainPanel_);
  layout->addWidget(borderPanel, 1);

  bottomPanel_ = new QWidget(this);
  bottomPanel_->setFixedHeight(kBottomPanelHeight);
  okButton_ = new QPushButton(QStringLiteral("OK"), bottomPanel_);
  cancelButton_ = new QPushButton(QStringLiteral("Abbrechen"), bottomPanel_);
  for (QPushButton* button : {okButton_, cancelButton_}) {
    button->resize(kButtonWidth, kButtonHeight);
  }
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  bottomPanel_->installEventFilter(this);
  layout->addWidget(bottomPanel_);

  resize(kInitialWidth, kInitialHeight);
  layout->activate();
  PlaceButtons();
}

bool TPropertyFrameDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == bottomPanel_ && event->type() == QEvent::Resize) PlaceButtons();
  return QDialog::eventFilter(watched, event);
}

void TPropertyFrameDialog::PlaceButtons() {
  const int middle = bottomPanel_->width() / 2;
  okButton_->move(middle - okButton_->width() - kButtonGapHalf, kButtonTop);
  cancelButton_->move(middle + kButtonGapHalf, kButtonTop);
}

}  // namespace nimbra
