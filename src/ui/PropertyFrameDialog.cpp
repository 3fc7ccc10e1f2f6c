#include "ui/PropertyFrameDialog.h"

#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace nimbra {

namespace {
constexpr int kButtonHeight = 25;
constexpr int kButtonTop = 8;
constexpr int kButtonGapHalf = 5;
constexpr int kFrameOffset = 1;
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
  okButton_ = new QPushButton(QStringLiteral("OK"), bottomPanel_);
  cancelButton_ = new QPushButton(QStringLiteral("Abbrechen"), bottomPanel_);
  // 99 x 25, or more where the captions need it (larger fonts).
  for (QPushButton* button : {okButton_, cancelButton_}) {
    button->resize(std::max(kButtonWidth, button->sizeHint().width()),
                   std::max(kButtonHeight, button->sizeHint().height()));
  }
  // The panel has no layout of its own: its minimum width keeps both buttons whole and tells the
  // dialog's layout how narrow the dialog may get.
  bottomPanel_->setMinimumWidth(okButton_->width() + cancelButton_->width() + 2 * kButtonGapHalf +
                                2 * kMainPanelMargin);
  bottomPanel_->setFixedHeight(std::max(kBottomPanelHeight, okButton_->height() + 2 * kButtonTop));
  okButton_->setDefault(true);
  connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
  bottomPanel_->installEventFilter(this);
  layout->addWidget(bottomPanel_);

  resize(kInitialWidth, kInitialHeight);
  layout->activate();
  PlaceButtons();
}

void TPropertyFrameDialog::PlaceFrame(QWidget& frame) {
  auto* panelLayout = new QVBoxLayout(mainPanel_);
  panelLayout->setContentsMargins(kFrameOffset, kFrameOffset, kFrameOffset, kFrameOffset);
  panelLayout->addWidget(&frame);
  // The layouts around the main panel keep its old size hint until a layout request reaches them,
  // which happens only once the dialog shows: tell them now, so that the size is right at once.
  mainPanel_->updateGeometry();
  mainPanel_->parentWidget()->updateGeometry();
  adjustSize();
}

void TPropertyFrameDialog::accept() {
  const std::string refusal = CheckBeforeAccept ? CheckBeforeAccept() : std::string();
  if (refusal.empty()) {
    QDialog::accept();
  } else if (ShowRefusal) {
    ShowRefusal(refusal);
  } else {
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(refusal));
  }
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
