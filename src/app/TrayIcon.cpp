#include "app/TrayIcon.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "album/AutoRun.h"
#include "album/DesktopNimbraProperties.h"
#include "app/AboutForm.h"
#include "app/DesktopChanger.h"
#include "app/TrayImages.h"
#include "framework/ApplicationInfo.h"

namespace nimbra {

namespace {

QAction* NewAction(QObject* owner, const char* caption, bool checkable) {
  auto* action = new QAction(QString::fromUtf8(caption), owner);
  action->setCheckable(checkable);
  return action;
}

}  // namespace

TTrayIcon::TTrayIcon(TTrayIconOptions options)
    : options_(std::move(options)),
      popupMenu1_(std::make_unique<QMenu>()),
      exitAction_(NewAction(this, "beenden", false)),
      autoRunAction_(NewAction(this, "Autostart", true)),
      infoAction_(NewAction(this, "Info über...", false)),
      propertiesAction_(NewAction(this, "Einstellungen", false)),
      pauseAction_(NewAction(this, "Pause", true)),
      trayIcon_(std::make_unique<TAnimatedTrayIcon>()) {
  OnClose = [] { QCoreApplication::quit(); };
  FillMenu({pauseAction_, nullptr, propertiesAction_, autoRunAction_, nullptr, infoAction_,
            nullptr, exitAction_});
  QObject::connect(exitAction_, &QAction::triggered, this, [this] { ExitActionExecute(); });
  QObject::connect(autoRunAction_, &QAction::triggered, this, [this] { AutoRunActionExecute(); });
  QObject::connect(infoAction_, &QAction::triggered, this, [this] { InfoActionExecute(); });
  QObject::connect(propertiesAction_, &QAction::triggered, this,
                   [this] { PropertiesActionExecute(); });
  QObject::connect(pauseAction_, &QAction::triggered, this, [this] { PauseActionExecute(); });

  timer_.setInterval(kTimerInterval);
  QObject::connect(&timer_, &QTimer::timeout, this, [this] { TimerTimer(); });

  trayIcon_->SetImages(TrayIconFrames());
  trayIcon_->SetMenu(popupMenu1_.get());
  trayIcon_->OnClick = [this] { TrayIconClick(); };
  if (options_.ShowIcon) trayIcon_->SetActive(true);
}

TTrayIcon::~TTrayIcon() {
  // The changer's notifications reach the icon: it goes first, while everything is in place.
  changer_.reset();
}

void TTrayIcon::FillMenu(const std::vector<QAction*>& actions) {
  popupMenu1_->clear();
  for (QAction* action : actions) {
    if (action == nullptr) {
      popupMenu1_->addSeparator();
    } else {
      popupMenu1_->addAction(action);
    }
  }
}

void TTrayIcon::FormCreate() {
  ProcessCommandLine();
  if (Initialize()) {
    UpdateTrayState();
    SettingsChanged();
  } else {
    timer_.stop();
    Quit();
  }
}

void TTrayIcon::Close() {
  FormClose();
  if (OnClose) OnClose();
}

void TTrayIcon::SetChanger(std::unique_ptr<TNimbraDesktopChanger> changer) {
  changer_ = std::move(changer);
}

void TTrayIcon::SetSettings(std::unique_ptr<TDesktopNimbraProperties> settings) {
  settings_ = std::move(settings);
}

void TTrayIcon::SetPaused(bool paused) {
  paused_ = paused;
  if (paused && timer_.isActive()) DisableTimer();
  if (!paused && !timer_.isActive()) EnableTimer();
}

std::string TTrayIcon::CompanyAndProduct() {
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  return info ? info->CompanyName() + " " + info->ProductName() : std::string("Nimbra");
}

std::string TTrayIcon::Executable() const {
  return options_.Executable.empty() ? TAutoRun::OwnExecutable() : options_.Executable;
}

void TTrayIcon::Quit() {
  // Posted, so that a Quit during start-up takes effect once the event loop runs.
  QMetaObject::invokeMethod(this, [this] { Close(); }, Qt::QueuedConnection);
  quitting_ = true;
}

void TTrayIcon::EnableTimer() {
  if (paused_) {
    timer_.stop();
  } else {
    timer_.start();
  }
}

void TTrayIcon::DisableTimer() { timer_.stop(); }

TAutoRun TTrayIcon::AutostartFolder() const {
  return TAutoRun(options_.AutostartFolder.empty() ? TAutoRun::DefaultFolder()
                                                   : options_.AutostartFolder);
}

bool TTrayIcon::InstallAutostart() {
  const std::vector<std::string> parameters = AutostartParameters();
  if (parameters.empty()) return false;
  return AutostartFolder().Install(Executable(), parameters, AutostartEntryName(),
                                   AutostartReference());
}

bool TTrayIcon::RemoveAutostart() { return AutostartFolder().Remove(AutostartReference()); }

bool TTrayIcon::AutostartInstalled() { return AutostartFolder().Installed(AutostartReference()); }

bool TTrayIcon::Initialize() {
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  const std::string product = info ? info->ProductName() : std::string("Nimbra");
  exitAction_->setText(QString::fromStdString(product + " beenden"));
  return !quitting_;
}

void TTrayIcon::UpdateTrayState() {
  autoRunAction_->setChecked(AutostartInstalled());
  pauseAction_->setChecked(paused_);
  trayIcon_->SetHint(HintText());
}

void TTrayIcon::ShowMessage(const std::string& text, TMessageBoxKind kind) {
  if (options_.Unattended) {
    PrintMessage(text);
  } else {
    ShowMessageBox(text, kind);
  }
}

void TTrayIcon::Notify(const std::string& text) {
  if (trayIcon_->Visible()) {
    trayIcon_->ShowNotice(CompanyAndProduct(), text);
  } else {
    PrintMessage(text);
  }
}

void TTrayIcon::TimerTimer() {
  if (changer_) changer_->CheckInterval();
}

void TTrayIcon::PauseActionExecute() {
  SetPaused(!paused_);
  UpdateTrayState();
}

void TTrayIcon::AutoRunActionExecute() {
  if (AutostartInstalled()) {
    RemoveAutostart();
  } else {
    InstallAutostart();
  }
  UpdateTrayState();
}

void TTrayIcon::PropertiesActionExecute() {
  if (!settings_) return;
  if (settings_->Edit(CompanyAndProduct() + " - Einstellungen", 0, 0)) SettingsChanged();
}

void TTrayIcon::InfoActionExecute() {
  TAboutForm::Execute([this] { PropertiesActionExecute(); });
}

void TTrayIcon::TrayIconClick() { InfoActionExecute(); }

void TTrayIcon::ExitActionExecute() { Close(); }

void TTrayIcon::FormClose() {
  if (AutostartInstalled() && !quitting_) InstallAutostart();
}

}  // namespace nimbra
