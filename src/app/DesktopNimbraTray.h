// The album's tray: the tray form with "Nächstes Bild" and "Vorheriges Bild" and the menu in the
// album's order, the changer's notifications bound to the icon's animation, the settings applied
// to the changer and the timer, and the current page rendered again when the screen changes.
// The album's main window owns one (see DesktopNimbraForm.h).
#pragma once

#include <memory>
#include <string>

#include "app/TrayIcon.h"

namespace nimbra {

class TScreenChangeWatcher;

// What the user reads when the desktop did not take a page, with the backend's reason.
std::string WallpaperFailureMessage(const std::string& reason);

class TDesktopNimbraTray : public TTrayIcon {
 public:
  static constexpr int kFrameDelay = 300;

  explicit TDesktopNimbraTray(TTrayIconOptions options = {});
  ~TDesktopNimbraTray() override;

  QAction& NextPageAction() const { return *nextPageAction_; }
  QAction& PreviousPageAction() const { return *previousPageAction_; }

  // Binds the changer's start and end to the icon's animation and its faults to notices, and
  // watches the screens for it.
  void SetChanger(std::unique_ptr<TNimbraDesktopChanger> changer) override;
  // A change mode other than timed turns the timer off; timed mode sets the changer's interval
  // and turns it on (unless paused).
  void SettingsChanged() override;
  // The timer runs only in timed mode.
  void EnableTimer() override;

  void NextPageActionExecute();
  void PreviousPageActionExecute();

 private:
  QAction* nextPageAction_;
  QAction* previousPageAction_;
  std::unique_ptr<TScreenChangeWatcher> screenWatcher_;
};

}  // namespace nimbra
