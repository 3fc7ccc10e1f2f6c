// The album's main window: it settles where the album comes from (the package behind its own
// executable, or the slideshow and template project named with -p and -t), loads both into the
// album documents it owns, builds the pages, wires the picture engine into the desktop changer,
// reads the settings and makes the first change. It is never shown; it exists for its tray icon.
// Destroying it is the orderly shutdown: the page on show is remembered, the running change
// waited for, the settings saved, then the file access, the codec libraries and the documents go.
//
// The window has a tray rather than being one. The tray still runs the start-up and asks for the
// autostart arguments through its virtual steps, as a test's tray does; the window's tray is a
// small tray of its own (DesktopNimbraForm.cpp) whose steps and messages call back into the
// window, so the window's ShowMessage, Notify and AskQuestion are where every message of the
// running album passes. Everything else of the tray is reached through Tray().
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "album/AlbumIdentity.h"
#include "album/AlbumPackage.h"
#include "app/AlbumPageArrangement.h"
#include "app/MessageBox.h"
#include "app/ScreenGeometry.h"
#include "app/TrayIcon.h"
#include "platform/WallpaperBackends.h"

namespace nimbra {

class TAlbumPages;
class TDesktopNimbraTray;

struct TDesktopNimbraFormOptions {
  TTrayIconOptions Tray;
  // The program's own file, looked at for a package; empty: /proc/self/exe.
  std::string OwnExecutable;
  // The wallpaper backend by name (`--wallpaper=NAME`); "auto" asks the session.
  std::string WallpaperBackend = "auto";
  TWallpaperBackendOptions WallpaperOptions;
  // A fixed screen that is all work area (`--work-area=WxH`); none: the primary screen's.
  std::optional<TScreenGeometry> Screen;
  // Whether and where the vendor libraries of the package are extracted (`--vendor-libraries`).
  TVendorLibraryOptions VendorLibraries;
  // Claims the album for this process once its names are settled, before anything is loaded or
  // written (the single-instance guard): empty when claimed, else what to tell the user, and the
  // start ends.
  std::function<std::string(const TAlbumIdentity& album)> ClaimAlbum;
};

// "Die Datei \"%s\" kann nicht gefunden werden." for the name.
std::string FileNotFoundMessage(const std::string& name);

class TDesktopNimbraForm {
 public:
  static constexpr const char* kNoSlideShowText = "Keine Bilderliste angegeben";
  static constexpr const char* kNoTemplateText = "Keine Vorlage angegeben";

  explicit TDesktopNimbraForm(TDesktopNimbraFormOptions options = {});
  virtual ~TDesktopNimbraForm();
  TDesktopNimbraForm(const TDesktopNimbraForm&) = delete;
  TDesktopNimbraForm& operator=(const TDesktopNimbraForm&) = delete;

  // The tray: icon, menu, timer, settings and changer.
  TDesktopNimbraTray& Tray() const;
  // The tray's start-up, which runs the steps below (see TTrayIcon::FormCreate).
  void FormCreate();
  // Closes the window as the exit action does.
  void Close();
  bool Quitting() const;
  TNimbraDesktopChanger* Changer() const;
  TDesktopNimbraProperties* Settings() const;

  bool IsPackaged() const { return documents_->IsPackaged; }
  const std::string& SlideShowFileName() const { return documents_->SlideShowFileName; }
  const std::string& TemplateFileName() const { return documents_->TemplateFileName; }
  // The file access made at start, also the process-wide one; none before.
  TFileAccess* Files() const { return documents_->Files.get(); }
  const std::string& Jp2LibraryFile() const { return documents_->Scan.Jp2LibraryFile; }
  const std::string& LwfLibraryFile() const { return documents_->Scan.LwfLibraryFile; }
  // The documents; none before they are loaded.
  TSlideShow* SlideShow() const { return documents_->SlideShow.get(); }
  TCustomTree* Tree() const { return documents_->Tree.get(); }
  TPrintWizardPageTemplateProject* Project() const { return documents_->Project.get(); }
  // The pages the changer shows; none before they are built.
  TAlbumPages* Pages() const { return pages_; }
  const std::string& OwnExecutable() const { return ownExecutable_; }
  // Which album this is, once the names are settled; empty before.
  const TAlbumIdentity& Identity() const { return identity_; }
  // The album's own key in the user's settings store.
  std::string SettingsKey() const;

  // The steps the tray's start-up runs: the command line, then (after the tray's own) the
  // album's start.
  void ProcessCommandLine();
  bool Initialize();
  // "-p" and "-t" with the names, once both are known; otherwise none.
  std::vector<std::string> AutostartParameters() const;
  // What names the album's autostart entry: the album program, or the program with the names of
  // its documents (every album of documents shares the program).
  std::vector<std::string> AutostartReference() const;

  virtual void LoadSettingsFromRegistry();
  // Writes the settings to the user's store; tells the user and yields false when that fails.
  virtual bool SaveSettingsToRegistry();
  virtual void LoadStartSettings();

  // A message to the user (the tray's message box, or standard error without a display).
  virtual void ShowMessage(const std::string& text, TMessageBoxKind kind);
  // A message that must not stop the album (the icon's notice, or standard error).
  virtual void Notify(const std::string& text);
  // A start-up failure: with an autostart entry the question whether to remove it, otherwise the
  // message alone.
  void ShowStartError(const std::string& message);
  // A question with Yes and No; true for Yes.
  virtual bool AskQuestion(const std::string& text);

  // The first half of the orderly shutdown: the running change finished, the page last shown
  // remembered and the settings saved, the changer (and with it the pages and the engine) gone.
  // Runs once; the destructor runs it when nobody did.
  void Shutdown();
  // False when the shutdown could not save the settings.
  bool SettingsSaved() const { return settingsSaved_; }

 private:
  class TAlbumTray;

  bool SettleNames();
  // -b, then -a, each telling the user what came of it.
  void ApplyAutostartSwitches();
  // The name kept when the file access has it, else resolved against the executable; false
  // (after the message) when neither is found.
  bool CheckName(std::string& name);
  bool LoadDocuments();
  bool WireChanger();
  void FirstChange();
  // Brings the pages into the settings' page order when they are in another.
  void ArrangePages();

  TDesktopNimbraFormOptions options_;
  std::string ownExecutable_;
  bool started_ = false;
  bool shutDown_ = false;
  bool settingsSaved_ = true;
  TAlbumIdentity identity_;
  // The documents go before the tray and its settings; the changer, which draws from the
  // documents, has gone before either (Shutdown).
  std::unique_ptr<TAlbumTray> tray_;
  std::unique_ptr<TAlbumDocuments> documents_;
  TAlbumPages* pages_ = nullptr;  // owned by the changer
  TAlbumPageArrangement pageArrangement_;
};

}  // namespace nimbra
