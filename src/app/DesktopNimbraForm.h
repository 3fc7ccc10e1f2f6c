// The album's main window: the tray form that settles where the album comes from (the package
// behind its own executable, or the slideshow and template project named with -p and -t), loads
// both, builds the pages, wires the picture engine into the desktop changer, reads the settings
// and makes the first change. It is never shown; it exists for its tray icon. Destroying it is the
// orderly shutdown: the page on show is remembered, the running change waited for, then the file
// access, the codec libraries and the documents go.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "album/AlbumPackage.h"
#include "app/DesktopNimbraTray.h"
#include "app/ScreenGeometry.h"
#include "platform/WallpaperBackends.h"

namespace nimbra {

class TAlbumPages;

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
};

// "Die Datei \"%s\" kann nicht gefunden werden." for the name.
std::string FileNotFoundMessage(const std::string& name);

class TDesktopNimbraForm : public TDesktopNimbraTray {
 public:
  static constexpr const char* kNoSlideShowText = "Keine Bilderliste angegeben";
  static constexpr const char* kNoTemplateText = "Keine Vorlage angegeben";

  explicit TDesktopNimbraForm(TDesktopNimbraFormOptions options = {});
  ~TDesktopNimbraForm() override;

  bool IsPackaged() const { return isPackaged_; }
  const std::string& SlideShowFileName() const { return slideShowFileName_; }
  const std::string& TemplateFileName() const { return templateFileName_; }
  // The file access made at start, also the process-wide one; none before.
  TFileAccess* Files() const { return files_.get(); }
  const std::string& Jp2LibraryFile() const { return scan_.Jp2LibraryFile; }
  const std::string& LwfLibraryFile() const { return scan_.LwfLibraryFile; }
  TCustomTree* Tree() const { return tree_.get(); }
  TPrintWizardPageTemplateProject* Project() const { return project_.get(); }
  // The pages the changer shows; none before they are built.
  TAlbumPages* Pages() const { return pages_; }
  const std::string& OwnExecutable() const { return ownExecutable_; }

  void ProcessCommandLine() override;
  bool Initialize() override;
  // "-p" and "-t" with the names, once both are known; otherwise none.
  std::vector<std::string> AutostartParameters() override;

  virtual void LoadSettingsFromRegistry();
  // Writes the settings to the user's store; tells the user and yields false when that fails.
  virtual bool SaveSettingsToRegistry();
  virtual void LoadStartSettings();

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
  bool SettleNames();
  // The name kept when the file access has it, else resolved against the executable; false
  // (after the message) when neither is found.
  bool CheckName(std::string& name);
  bool LoadDocuments();
  bool WireChanger();
  void FirstChange();

  TDesktopNimbraFormOptions options_;
  std::string ownExecutable_;
  bool isPackaged_ = false;
  bool started_ = false;
  bool shutDown_ = false;
  bool settingsSaved_ = true;
  std::string slideShowFileName_;
  std::string templateFileName_;
  std::shared_ptr<TFileAccess> files_;
  TPackageScan scan_;
  std::unique_ptr<TCustomTree> tree_;
  std::unique_ptr<TPrintWizardPageTemplateProject> project_;
  TAlbumPages* pages_ = nullptr;  // owned by the changer
};

}  // namespace nimbra
