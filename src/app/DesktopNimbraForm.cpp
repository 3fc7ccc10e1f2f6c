#include "app/DesktopNimbraForm.h"

#include <filesystem>
#include <system_error>

#include "album/AlbumPages.h"
#include "album/AutoRun.h"
#include "album/DesktopNimbraProperties.h"
#include "album/ParameterParser.h"
#include "app/AlbumWallpaper.h"
#include "app/DesktopChanger.h"
#include "framework/FileNameResolution.h"
#include "framework/KeyValueStore.h"
#include "platform/WallpaperSetter.h"
#include "storage/Packager.h"

namespace nimbra {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLineBreak = "\r\n";

std::string Format(std::string_view pattern, const std::string& value) {
  std::string text(pattern);
  const size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

// A name on disk as a full path, so that the document's own folder (against which its pictures
// resolve) and the autostart entry do not depend on the folder the album was started from.
std::string FullDiskPath(const std::string& name) {
  if (name.empty() || IsPackagedName(name) || name.front() == '/') return name;
  std::error_code error;
  const fs::path full = fs::absolute(name, error);
  return error ? name : full.lexically_normal().string();
}

}  // namespace

std::string FileNotFoundMessage(const std::string& name) {
  return Format("Die Datei \"%s\" kann nicht gefunden werden.", name);
}

TDesktopNimbraForm::TDesktopNimbraForm(TDesktopNimbraFormOptions options)
    : TDesktopNimbraTray(options.Tray),
      options_(std::move(options)),
      ownExecutable_(options_.OwnExecutable.empty() ? TAutoRun::OwnExecutable()
                                                    : options_.OwnExecutable) {}

TDesktopNimbraForm::~TDesktopNimbraForm() {
  Shutdown();
  // 1. the file access, and with it the package
  if (files_ && FileAccess().get() == files_.get()) SetFileAccess(nullptr);
  files_.reset();
  // 2. the codec libraries
  ReleaseVendorLibraries(scan_);
  // 3. the documents; the slideshow and the settings go with the tray form
  project_.reset();
  tree_.reset();
}

void TDesktopNimbraForm::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  // The running change is waited for first: whether its page reaches the desktop decides which
  // page is remembered.
  if (Changer() != nullptr) Changer()->WaitForChange();
  // An album that failed to start never showed a page, and a page that was asked for but never
  // shown is not remembered: the next start shows it (or the one after it) again.
  if (started_ && Settings() != nullptr && Changer() != nullptr) {
    if (Changer()->ShownPageIndex() >= 0) Settings()->SetPage(Changer()->ShownPageIndex());
    settingsSaved_ = SaveSettingsToRegistry();
  }
  if (Changer() != nullptr && pages_ != nullptr) pages_->Detach();
  // The page records point into the project: the changer, which owns them, goes before it.
  pages_ = nullptr;
  SetChanger(nullptr);
}

void TDesktopNimbraForm::ProcessCommandLine() {
  // 1. whether this executable carries its documents in a package
  isPackaged_ = TPackager::IsPackage(ownExecutable_);
  // 2. otherwise both file names come from the command line
  if (!isPackaged_) {
    slideShowFileName_ = ParameterValue('p');
    templateFileName_ = ParameterValue('t');
    std::string message;
    if (slideShowFileName_.empty()) message += std::string(kLineBreak) + kNoSlideShowText;
    if (templateFileName_.empty()) message += std::string(kLineBreak) + kNoTemplateText;
    // 3. without both names the album cannot start
    if (!message.empty()) {
      ShowMessage(message, TMessageBoxKind::Plain);
      Quit();
      return;
    }
  }
  if (HasParameter('b')) RemoveAutostart();
  if (HasParameter('a')) InstallAutostart();
}

std::vector<std::string> TDesktopNimbraForm::AutostartParameters() {
  // Linux has no short path names; the names are written as they are.
  if (slideShowFileName_.empty() || templateFileName_.empty()) return {};
  return {"-p" + slideShowFileName_, "-t" + templateFileName_};
}

bool TDesktopNimbraForm::Initialize() {
  if (!TDesktopNimbraTray::Initialize() || Quitting()) return false;
  if (!SettleNames() || !LoadDocuments() || !WireChanger()) return false;
  FirstChange();
  started_ = true;
  return true;
}

bool TDesktopNimbraForm::SettleNames() {
  // 1. the file access, shared with the rest of the album
  files_ = std::make_shared<TFileAccess>();
  SetFileAccess(files_);
  // 2. the settings, at their defaults until they are loaded
  SetSettings(std::make_unique<TDesktopNimbraProperties>());
  // 3. a package that cannot be opened leaves both names empty, and the name check reports them
  if (isPackaged_) {
    auto packager = std::make_unique<TPackager>();
    if (packager->OpenExecutable(ownExecutable_)) {
      scan_ = ScanPackage(std::move(packager), ownExecutable_, *files_, options_.VendorLibraries);
      slideShowFileName_ = scan_.SlideShowFileName;
      templateFileName_ = scan_.TemplateFileName;
    }
  }
  // 4., 5.
  return CheckName(slideShowFileName_) && CheckName(templateFileName_);
}

bool TDesktopNimbraForm::CheckName(std::string& name) {
  const std::string full = FullDiskPath(name);
  if (!full.empty() && files_->FileExists(full)) {
    name = full;
    return true;
  }
  const std::string resolved = ResolveFileName(name, ownExecutable_);
  if (!resolved.empty() && files_->FileExists(resolved)) {
    name = resolved;
    return true;
  }
  ShowStartError(FileNotFoundMessage(name));
  return false;
}

void TDesktopNimbraForm::ShowStartError(const std::string& message) {
  if (AutostartInstalled()) {
    const std::string question =
        Format("Soll der Autostart von %s gelöscht werden?", CompanyAndProduct());
    if (AskQuestion(message + kLineBreak + kLineBreak + question)) RemoveAutostart();
  } else {
    ShowMessage(message, TMessageBoxKind::Error);
  }
}

bool TDesktopNimbraForm::AskQuestion(const std::string& text) {
  if (!Options().Unattended) return AskErrorQuestion(text);
  PrintMessage(text);
  return false;
}

bool TDesktopNimbraForm::LoadDocuments() {
  // 1. a packaged document keeps no file name: its pictures are package names
  if (!ReadSlideShowDocument(*files_, slideShowFileName_, *SlideShow())) return false;
  // 2. the slideshow's tree
  tree_ = MakeSlideShowTree(*SlideShow());
  // 3. the template project
  project_ = LoadTemplateProjectDocument(*files_, templateFileName_);
  return project_ != nullptr;
}

bool TDesktopNimbraForm::WireChanger() {
  auto changer = std::make_unique<TNimbraDesktopChanger>();
  try {
    auto setter = CreateAlbumWallpaperSetter(options_.WallpaperBackend, options_.WallpaperOptions);
    // The single-instance guard has run: no other album writes the wallpaper now, and what a
    // killed run left half-written can go.
    setter->RemoveLeftoverFiles();
    changer->SetWallpaperSetter(std::move(setter));
  } catch (const std::exception& error) {
    ShowMessage(error.what(), TMessageBoxKind::Error);
    return false;
  }
  if (options_.Screen) {
    changer->SetScreenGeometryFunction([screen = *options_.Screen] { return screen; });
  }
  // 4., 5. the engine with its progress, error counter and settings, and the page list
  auto pages = std::make_unique<TAlbumPages>(*project_, *tree_);
  pages_ = pages.get();
  changer->SetPageList(std::move(pages));
  SetChanger(std::move(changer));
  // 6., 7., 8.
  LoadStartSettings();
  LoadSettingsFromRegistry();
  if (HasParameter('i')) Settings()->SetPage(-1);
  // 9. (the rest in FirstChange)
  return !pages_->ErrorCounter().HasCriticalErrors();
}

void TDesktopNimbraForm::FirstChange() {
  Changer()->SetPageIndex(Settings()->Page());
  const uint8_t mode = Settings()->ChangeMode();
  if (IsChangeMode(mode, TChangeMode::AtProgramStart)) {
    Changer()->MoveBy(+1);
  } else if (IsChangeMode(mode, TChangeMode::Manual)) {
    Changer()->MoveBy(0);
  } else {
    EnableTimer();
  }
}

void TDesktopNimbraForm::LoadStartSettings() {
  if (isPackaged_) {
    Settings()->LoadFromPackageFile();
  } else {
    Settings()->Reset();
  }
  SettingsChanged();
}

void TDesktopNimbraForm::LoadSettingsFromRegistry() {
  TKeyValueStore store;
  Settings()->LoadFromUserStore(store);
}

bool TDesktopNimbraForm::SaveSettingsToRegistry() {
  TKeyValueStore store;
  if (Settings()->SaveToUserStore(store)) return true;
  Notify(Format("Die Einstellungen können nicht in \"%s\" gespeichert werden.",
                TDesktopNimbraProperties::UserStoreFolder(store)));
  return false;
}

}  // namespace nimbra
