// The tray form: the album's whole user interface is an icon in the notification area with its
// menu (pause, settings, autostart, about, exit), a two-second timer that drives the desktop
// changer, the settings dialog and the about box. It has no window of its own. Whoever owns it
// fills in the virtual steps (command line, loading, autostart arguments): the album's main
// window through a tray of its own; see DesktopNimbraTray.h for the album's menu.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "album/AutoRun.h"
#include "app/AnimatedTrayIcon.h"
#include "app/MessageBox.h"

class QAction;
class QMenu;

namespace nimbra {

class TDesktopNimbraProperties;
class TNimbraDesktopChanger;

struct TTrayIconOptions {
  // False runs without an icon (`--no-tray`).
  bool ShowIcon = true;
  // Nobody is there to click a box (`--once`, run by scripts): messages go to standard error and
  // questions are answered No.
  bool Unattended = false;
  // The autostart folder; empty: the user's ($XDG_CONFIG_HOME/autostart).
  std::string AutostartFolder;
  // The program the autostart entry starts; empty: the running one.
  std::string Executable;
};

class TTrayIcon : public QObject {
 public:
  static constexpr int kTimerInterval = 2000;

  // Needs a QApplication.
  explicit TTrayIcon(TTrayIconOptions options = {});
  ~TTrayIcon() override;

  // The start-up (the form's create handler), run by whoever made the form once it exists:
  // ProcessCommandLine; when Initialize yields true UpdateTrayState and SettingsChanged,
  // otherwise the timer goes off and Quit.
  void FormCreate();
  // Closes the form: FormClose, then OnClose (which ends the application's event loop).
  void Close();
  std::function<void()> OnClose;

  TNimbraDesktopChanger* Changer() const { return changer_.get(); }
  virtual void SetChanger(std::unique_ptr<TNimbraDesktopChanger> changer);
  TDesktopNimbraProperties* Settings() const { return settings_.get(); }
  void SetSettings(std::unique_ptr<TDesktopNimbraProperties> settings);
  bool Paused() const { return paused_; }
  void SetPaused(bool paused);
  bool Quitting() const { return quitting_; }

  TAnimatedTrayIcon& TrayIcon() const { return *trayIcon_; }
  QMenu& PopupMenu1() const { return *popupMenu1_; }
  QAction& ExitAction() const { return *exitAction_; }
  QAction& AutoRunAction() const { return *autoRunAction_; }
  QAction& InfoAction() const { return *infoAction_; }
  QAction& PropertiesAction() const { return *propertiesAction_; }
  QAction& PauseAction() const { return *pauseAction_; }
  QTimer& Timer() { return timer_; }

  // The virtual steps.
  virtual void SettingsChanged() {}
  // Asks the form to close (after the current event) and marks the program as quitting.
  virtual void Quit();
  // On exactly when not paused.
  virtual void EnableTimer();
  virtual void DisableTimer();
  // The arguments the autostart entry passes the program; none here, and without any no entry
  // is written.
  virtual std::vector<std::string> AutostartParameters() { return {}; }
  // What names this program's entry in a command (the executable here; an album of documents,
  // which shares the executable with every other, adds them) and the entry's own name.
  virtual std::vector<std::string> AutostartReference() { return {Executable()}; }
  virtual std::string AutostartEntryName() { return CompanyAndProduct(); }
  // The icon's hint: company and product name here; an album adds its own name, so that the
  // icons of several albums can be told apart.
  virtual std::string HintText() { return CompanyAndProduct(); }
  // False when no entry could be written (or, removing, there was none or it stays).
  virtual bool InstallAutostart();
  virtual bool RemoveAutostart();
  virtual bool AutostartInstalled();
  // The exit caption (product name + " beenden"); false when quitting. The documents are the
  // owner's.
  virtual bool Initialize();
  virtual void UpdateTrayState();
  virtual void ProcessCommandLine() {}
  // A message to the user: a message box, or standard error without a display.
  virtual void ShowMessage(const std::string& text, TMessageBoxKind kind);
  // A message that must not stop the album, since nobody may be there to answer it (a fault at
  // every timer tick would pile up boxes): the icon's notice while the icon is on show, standard
  // error otherwise.
  virtual void Notify(const std::string& text);

  // Handlers of the timer, the actions and the icon.
  void TimerTimer();
  void PauseActionExecute();
  void AutoRunActionExecute();
  void PropertiesActionExecute();
  void InfoActionExecute();
  void TrayIconClick();
  void ExitActionExecute();
  // The form closes: a normal end refreshes an existing autostart entry with the current paths.
  void FormClose();

 protected:
  const TTrayIconOptions& Options() const { return options_; }
  // Company name + " " + product name.
  static std::string CompanyAndProduct();
  // Puts the actions into the menu in order; nullptr stands for a separator.
  void FillMenu(const std::vector<QAction*>& actions);

  // The program the autostart entry starts.
  std::string Executable() const;
  // The user's autostart folder, or the one the options name.
  TAutoRun AutostartFolder() const;

 private:
  TTrayIconOptions options_;
  std::unique_ptr<QMenu> popupMenu1_;
  QAction* exitAction_;
  QAction* autoRunAction_;
  QAction* infoAction_;
  QAction* propertiesAction_;
  QAction* pauseAction_;
  QTimer timer_;
  std::unique_ptr<TAnimatedTrayIcon> trayIcon_;
  bool paused_ = false;
  bool quitting_ = false;
  // Freed in reverse order: the changer (waiting for its change) first, the settings after.
  std::unique_ptr<TDesktopNimbraProperties> settings_;
  std::unique_ptr<TNimbraDesktopChanger> changer_;
};

}  // namespace nimbra
