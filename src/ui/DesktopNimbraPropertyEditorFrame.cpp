#include "ui/DesktopNimbraPropertyEditorFrame.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <memory>
#include <utility>

#include "album/AlbumPageOrder.h"
#include "album/DesktopNimbraSettings.h"
#include "storage/FalseOnFailure.h"
#include "storage/FileAccess.h"
#include "ui/AlbumPageOrderGroup.h"
#include "ui/ScreenPagesGroup.h"

namespace nimbra {

NIMBRA_DEFINE_FRAME(TDesktopNimbraPropertyEditorFrame, TPropertyEditorFrame)

namespace {

constexpr char kPackageSettingsFile[] = "|Oriel.cfg";

// A spin field that reports its value only when the user presses Return or leaves it, and brings
// an entry outside its range into it.
QSpinBox* SpinField(int maximum, QWidget* parent) {
  auto* field = new QSpinBox(parent);
  field->setRange(0, maximum);
  field->setKeyboardTracking(false);
  field->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  return field;
}

}  // namespace

// Laid out by layouts only: the frame is as large as its texts need in the screen's fonts and at
// its scale, so no caption is ever cut.
TDesktopNimbraPropertyEditorFrame::TDesktopNimbraPropertyEditorFrame() {
  auto* layout = new QVBoxLayout(this);
  groupBox_ = new QGroupBox(" Bilderwechsel: ", this);
  auto* groupLayout = new QVBoxLayout(groupBox_);
  noAutoSwitchCheck_ = new QRadioButton("nicht automatisch wechseln", groupBox_);
  progStartCheck_ = new QRadioButton("beim Start von Oriel", groupBox_);
  intervalCheck_ = new QRadioButton("zeitlich wechselnd", groupBox_);
  groupLayout->addWidget(noAutoSwitchCheck_);
  groupLayout->addWidget(progStartCheck_);
  groupLayout->addWidget(intervalCheck_);

  intervalPanel_ = new QWidget(groupBox_);
  auto* intervalLayout = new QHBoxLayout(intervalPanel_);
  intervalLayout->setContentsMargins(20, 0, 0, 0);
  intervalLayout->addWidget(new QLabel("Bildwechselinterval:", intervalPanel_));
  minEdit_ = SpinField(9999, intervalPanel_);
  intervalLayout->addWidget(minEdit_);
  intervalLayout->addWidget(new QLabel("min", intervalPanel_));
  secEdit_ = SpinField(59, intervalPanel_);
  intervalLayout->addWidget(secEdit_);
  intervalLayout->addWidget(new QLabel("s", intervalPanel_));
  intervalLayout->addStretch();
  groupLayout->addWidget(intervalPanel_);
  layout->addWidget(groupBox_);

  // The page order: its own group below the change mode, editing the bag's page order.
  orderGroup_ = new TAlbumPageOrderGroup(this);
  orderGroup_->OnModified = [this] { Modified(); };
  layout->addWidget(orderGroup_);
  screenGroup_ = new TScreenPagesGroup(this);
  screenGroup_->OnModified = [this] { Modified(); };
  layout->addWidget(screenGroup_);

  button1_ = new QPushButton("Standardwerte", this);
  auto* buttonRow = new QHBoxLayout();
  buttonRow->addStretch();
  buttonRow->addWidget(button1_);
  layout->addLayout(buttonRow);
  layout->addStretch();

  QObject::connect(minEdit_, &QSpinBox::valueChanged, this, [this] { MinEditChange(); });
  QObject::connect(secEdit_, &QSpinBox::valueChanged, this, [this] { MinEditChange(); });
  QObject::connect(noAutoSwitchCheck_, &QRadioButton::clicked, this,
                   [this] { ModeClicked(noAutoSwitchCheck_, TChangeMode::Manual); });
  QObject::connect(progStartCheck_, &QRadioButton::clicked, this,
                   [this] { ModeClicked(progStartCheck_, TChangeMode::AtProgramStart); });
  QObject::connect(intervalCheck_, &QRadioButton::clicked, this,
                   [this] { ModeClicked(intervalCheck_, TChangeMode::Timed); });
  QObject::connect(button1_, &QPushButton::clicked, this, [this] { Button1Click(); });
}

IDesktopNimbraSettings* TDesktopNimbraPropertyEditorFrame::Settings() const {
  return dynamic_cast<IDesktopNimbraSettings*>(Properties());
}

void TDesktopNimbraPropertyEditorFrame::ShowProperties() {
  TPropertyEditorFrame::ShowProperties();
  IDesktopNimbraSettings* settings = Settings();
  if (settings == nullptr) return;
  // Filling the controls is no edit: neither the fields nor the buttons report it.
  const QSignalBlocker blockMinutes(minEdit_);
  const QSignalBlocker blockSeconds(secEdit_);
  const int32_t interval = settings->Interval();
  minEdit_->setValue(interval / 60000);
  secEdit_->setValue((interval / 1000) % 60);
  // An exclusive group cannot be emptied by unchecking its checked button, so for a mode that is
  // none of the three the group's exclusivity is lifted for the moment.
  const uint8_t mode = settings->ChangeMode();
  const std::pair<QRadioButton*, TChangeMode> buttons[] = {
      {intervalCheck_, TChangeMode::Timed},
      {progStartCheck_, TChangeMode::AtProgramStart},
      {noAutoSwitchCheck_, TChangeMode::Manual}};
  for (const auto& [button, buttonMode] : buttons) {
    button->setAutoExclusive(false);
    button->setChecked(IsChangeMode(mode, buttonMode));
    button->setAutoExclusive(true);
  }
  orderGroup_->ShowOrder(dynamic_cast<IAlbumPageOrderSettings*>(Properties()));
  screenGroup_->ShowPages(dynamic_cast<IScreenPagesSettings*>(Properties()));
  UpdateControls();
}

std::string TDesktopNimbraPropertyEditorFrame::CheckProperties() const {
  const IDesktopNimbraSettings* settings = Settings();
  // Outside timed mode the interval is not used, and its fields cannot be changed.
  if (settings == nullptr || !IsChangeMode(settings->ChangeMode(), TChangeMode::Timed)) return {};
  return settings->Interval() < kMinimumChangeInterval ? kIntervalTooShortText : std::string();
}

void TDesktopNimbraPropertyEditorFrame::UpdateControls() {
  IDesktopNimbraSettings* settings = Settings();
  const bool timed =
      settings != nullptr && IsChangeMode(settings->ChangeMode(), TChangeMode::Timed);
  // Disabling the panel disables every control inside it.
  intervalPanel_->setEnabled(timed);
}

void TDesktopNimbraPropertyEditorFrame::MinEditChange() {
  IDesktopNimbraSettings* settings = Settings();
  if (settings == nullptr) return;
  settings->SetInterval(minEdit_->value() * 60000 + secEdit_->value() * 1000);
  Modified();
}

void TDesktopNimbraPropertyEditorFrame::ModeClicked(QRadioButton* button, TChangeMode mode) {
  IDesktopNimbraSettings* settings = Settings();
  if (settings == nullptr) return;
  if (button->isChecked()) {
    settings->SetChangeMode(static_cast<uint8_t>(mode));
    Modified();
  }
  UpdateControls();
}

void TDesktopNimbraPropertyEditorFrame::Button1Click() {
  TProperties* bag = Properties();
  if (bag == nullptr) return;
  const std::shared_ptr<IFileAccess> access = FileAccess();
  std::unique_ptr<TStream> stream;
  // A package that cannot be read offers no settings: the defaults stand in for them.
  const bool opened = access && FalseOnFailure([&] {
    stream = access->OpenFile(kPackageSettingsFile);
    return stream != nullptr;
  });
  if (!opened || !bag->LoadFromStream(*stream, 0, 0)) bag->Reset();
  ShowProperties();
  Modified();
}

void RegisterDesktopNimbraPropertyEditorFrame() {
  RegisterClass(TDesktopNimbraPropertyEditorFrame::StaticClass());
}

void UnregisterDesktopNimbraPropertyEditorFrame() {
  UnregisterClass(TDesktopNimbraPropertyEditorFrame::StaticClass());
}

}  // namespace nimbra
