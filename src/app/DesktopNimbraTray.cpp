#include "app/DesktopNimbraTray.h"

#include <QAction>

#include "album/DesktopNimbraProperties.h"
#include "app/DesktopChanger.h"
#include "app/ScreenChangeWatcher.h"

namespace nimbra {

std::string WallpaperFailureMessage(const std::string& reason) {
  return "Das Hintergrundbild konnte nicht gesetzt werden (" + reason + ").";
}

TDesktopNimbraTray::TDesktopNimbraTray(TTrayIconOptions options)
    : TTrayIcon(std::move(options)),
      nextPageAction_(new QAction(QString::fromUtf8("Nächstes Bild"), this)),
      previousPageAction_(new QAction(QString::fromUtf8("Vorheriges Bild"), this)) {
  FillMenu({&PauseAction(), nullptr, nextPageAction_, previousPageAction_, nullptr,
            &PropertiesAction(), &AutoRunAction(), nullptr, &InfoAction(), nullptr,
            &ExitAction()});
  QObject::connect(nextPageAction_, &QAction::triggered, this, [this] { NextPageActionExecute(); });
  QObject::connect(previousPageAction_, &QAction::triggered, this,
                   [this] { PreviousPageActionExecute(); });
  TrayIcon().SetFrameDelay(kFrameDelay);
}

TDesktopNimbraTray::~TDesktopNimbraTray() {
  screenWatcher_.reset();
  // The changer goes while this part of the form still exists: its last notifications may
  // reach the overrides.
  TTrayIcon::SetChanger(nullptr);
}

void TDesktopNimbraTray::SetChanger(std::unique_ptr<TNimbraDesktopChanger> changer) {
  screenWatcher_.reset();
  if (changer) {
    changer->OnChangeStart = [this] { TrayIcon().SetAnimate(true); };
    changer->OnChangeDone = [this] {
      TrayIcon().SetAnimate(false);
      TrayIcon().SetImageIndex(0);
    };
    changer->OnRenderError = [this](const std::string& message) { Notify(message); };
    changer->OnRenderWarning = [this](const std::string& text) { Notify(text); };
    changer->OnWallpaperError = [this](const std::string& reason) {
      Notify(WallpaperFailureMessage(reason));
    };
  }
  TTrayIcon::SetChanger(std::move(changer));
  if (Changer() != nullptr) screenWatcher_ = std::make_unique<TScreenChangeWatcher>(*Changer());
}

void TDesktopNimbraTray::SettingsChanged() {
  if (Changer() == nullptr || Settings() == nullptr) return;
  Changer()->SetScreenPages(Settings()->ScreenPages());
  if (!IsChangeMode(Settings()->ChangeMode(), TChangeMode::Timed)) {
    DisableTimer();
  } else {
    Changer()->SetInterval(Settings()->Interval());
    EnableTimer();
  }
}

void TDesktopNimbraTray::EnableTimer() {
  if (Settings() != nullptr && !IsChangeMode(Settings()->ChangeMode(), TChangeMode::Timed)) {
    DisableTimer();
  } else {
    TTrayIcon::EnableTimer();
  }
}

void TDesktopNimbraTray::NextPageActionExecute() {
  if (Changer() != nullptr) Changer()->MoveBy(+1);
}

void TDesktopNimbraTray::PreviousPageActionExecute() {
  if (Changer() != nullptr) Changer()->MoveBy(-1);
}

}  // namespace nimbra
