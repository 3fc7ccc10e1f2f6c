#include "app/DesktopNimbraForm.h"

#include <filesystem>
#include <system_error>

#include "album/AlbumPageOrder.h"
#include "album/AlbumPages.h"
#include "album/ScreenPages.h"
#include "album/AutoRun.h"
#include "album/DesktopNimbraProperties.h"
#include "album/ParameterParser.h"
#include "app/AlbumWallpaper.h"
#include "app/DesktopChanger.h"
#include "app/DesktopNimbraTray.h"
#include "app/NoAlbumMessage.h"
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

// The window's tray: the steps of its start-up, its autostart arguments and its messages are the
// window's.
class TDesktopNimbraForm::TAlbumTray final : public TDesktopNimbraTray {
 public:
  TAlbumTray(TDesktopNimbraForm& form, TTrayIconOptions options)
      : TDesktopNimbraTray(std::move(options)), form_(form) {}

  void ProcessCommandLine() override { form_.ProcessCommandLine(); }
  bool Initialize() override { return TDesktopNimbraTray::Initialize() && form_.Initialize(); }
  std::vector<std::string> AutostartParameters() override { return form_.AutostartParameters(); }
  std::vector<std::string> AutostartReference() override { return form_.AutostartReference(); }
  std::string AutostartEntryName() override { return WithAlbumName(" "); }
  std::string HintText() override { return WithAlbumName(" – "); }
  void ShowMessage(const std::string& text, TMessageBoxKind kind) override {
    form_.ShowMessage(text, kind);
  }
  void Notify(const std::string& text) override { form_.Notify(text); }
  // A page order changed in the dialog takes effect at once.
  void SettingsChanged() override {
    TDesktopNimbraTray::SettingsChanged();
    form_.ArrangePages();
  }

  // The tray's own ways of telling the user, behind the window's.
  void ShowTrayMessage(const std::string& text, TMessageBoxKind kind) {
    TDesktopNimbraTray::ShowMessage(text, kind);
  }
  void NotifyTray(const std::string& text) { TDesktopNimbraTray::Notify(text); }
  using TDesktopNimbraTray::AutostartFolder;
  using TDesktopNimbraTray::CompanyAndProduct;

 private:
  std::string WithAlbumName(const std::string& separator) const {
    const std::string& album = form_.Identity().Name;
    return album.empty() ? CompanyAndProduct() : CompanyAndProduct() + separator + album;
  }

  TDesktopNimbraForm& form_;
};

TDesktopNimbraForm::TDesktopNimbraForm(TDesktopNimbraFormOptions options)
    : options_(std::move(options)),
      ownExecutable_(options_.OwnExecutable.empty() ? TAutoRun::OwnExecutable()
                                                    : options_.OwnExecutable),
      tray_(std::make_unique<TAlbumTray>(*this, options_.Tray)),
      documents_(std::make_unique<TAlbumDocuments>()) {}

TDesktopNimbraForm::~TDesktopNimbraForm() {
  Shutdown();
  // The file access (and with it the package), the codec libraries, then the documents; the
  // settings go with the tray after them.
  documents_.reset();
}

TDesktopNimbraTray& TDesktopNimbraForm::Tray() const { return *tray_; }

void TDesktopNimbraForm::FormCreate() { tray_->FormCreate(); }

void TDesktopNimbraForm::Close() { tray_->Close(); }

bool TDesktopNimbraForm::Quitting() const { return tray_->Quitting(); }

TNimbraDesktopChanger* TDesktopNimbraForm::Changer() const { return tray_->Changer(); }

TDesktopNimbraProperties* TDesktopNimbraForm::Settings() const { return tray_->Settings(); }

void TDesktopNimbraForm::ShowMessage(const std::string& text, TMessageBoxKind kind) {
  tray_->ShowTrayMessage(text, kind);
}

void TDesktopNimbraForm::Notify(const std::string& text) { tray_->NotifyTray(text); }

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
  tray_->SetChanger(nullptr);
}

void TDesktopNimbraForm::ProcessCommandLine() {
  TAlbumDocuments& album = *documents_;
  // 1. whether this executable carries its documents in a package
  album.IsPackaged = TPackager::IsPackage(ownExecutable_);
  // 2. otherwise both file names come from the command line
  if (!album.IsPackaged) {
    album.SlideShowFileName = ParameterValue('p');
    album.TemplateFileName = ParameterValue('t');
    // Neither name: started without any album (the menu entry, a first try). One text that says
    // how to make an album stands for the two messages below; the program ends as with them.
    if (album.SlideShowFileName.empty() && album.TemplateFileName.empty()) {
      ShowMessage(NoAlbumMessage(ownExecutable_), TMessageBoxKind::Information);
      tray_->Quit();
      return;
    }
    std::string message;
    if (album.SlideShowFileName.empty()) message += std::string(kLineBreak) + kNoSlideShowText;
    if (album.TemplateFileName.empty()) message += std::string(kLineBreak) + kNoTemplateText;
    // 3. without both names the album cannot start
    if (!message.empty()) {
      ShowMessage(message, TMessageBoxKind::Plain);
      tray_->Quit();
    }
  }
  // The autostart switches wait for the names: in an album program they come from its package.
}

std::vector<std::string> TDesktopNimbraForm::AutostartParameters() const {
  // Linux has no short path names; the names are written as they are.
  if (SlideShowFileName().empty() || TemplateFileName().empty()) return {};
  return {"-p" + SlideShowFileName(), "-t" + TemplateFileName()};
}

std::vector<std::string> TDesktopNimbraForm::AutostartReference() const {
  std::vector<std::string> reference{ownExecutable_};
  if (IsPackaged()) return reference;
  const std::vector<std::string> names = AutostartParameters();
  reference.insert(reference.end(), names.begin(), names.end());
  return reference;
}

std::string TDesktopNimbraForm::SettingsKey() const {
  return AlbumStoreKey(TDesktopNimbraProperties::ProductKey(), identity_);
}

bool TDesktopNimbraForm::Initialize() {
  if (!SettleNames()) return false;
  ApplyAutostartSwitches();
  if (options_.ClaimAlbum) {
    const std::string refusal = options_.ClaimAlbum(identity_);
    if (!refusal.empty()) {
      ShowMessage(refusal, TMessageBoxKind::Plain);
      return false;
    }
  }
  if (!LoadDocuments() || !WireChanger()) return false;
  FirstChange();
  started_ = true;
  return true;
}

bool TDesktopNimbraForm::SettleNames() {
  TAlbumDocuments& album = *documents_;
  // 1. the file access, shared with the rest of the album
  InstallAlbumFiles(album);
  // 2. the settings, at their defaults until they are loaded
  tray_->SetSettings(std::make_unique<TDesktopNimbraProperties>());
  // 3. a package that cannot be opened leaves both names empty, and the name check reports them
  if (album.IsPackaged) {
    auto packager = std::make_unique<TPackager>();
    if (packager->OpenExecutable(ownExecutable_)) {
      identity_ = PackagedAlbumIdentity(ownExecutable_, *packager);
      AddAlbumPackage(album, std::move(packager), ownExecutable_, options_.VendorLibraries);
    }
  }
  // 4., 5.
  if (!CheckName(album.SlideShowFileName) || !CheckName(album.TemplateFileName)) return false;
  if (!album.IsPackaged) {
    identity_ = DocumentsAlbumIdentity(album.SlideShowFileName, album.TemplateFileName);
  }
  return true;
}

void TDesktopNimbraForm::ApplyAutostartSwitches() {
  const std::string album = "„" + identity_.Name + "“";
  if (HasParameter('b')) {
    Notify(tray_->RemoveAutostart()
               ? Format("Der Autostart von %s ist entfernt.", album)
               : Format("Für %s war kein Autostart eingerichtet.", album));
  }
  if (!HasParameter('a')) return;
  if (tray_->InstallAutostart()) {
    const TAutoRun folder = tray_->AutostartFolder();
    const std::optional<TAutostartEntry> entry = folder.Find(AutostartReference());
    Notify(Format("Der Autostart von %s ist eingerichtet: ", album) +
           (entry ? folder.EntryPath(*entry) : folder.Folder()));
  } else {
    ShowMessage(Format("Der Autostart von %s kann nicht eingerichtet werden", album) +
                    " (Ordner \"" + tray_->AutostartFolder().Folder() + "\").",
                TMessageBoxKind::Error);
  }
}

bool TDesktopNimbraForm::CheckName(std::string& name) {
  const std::string full = FullDiskPath(name);
  if (!full.empty() && documents_->Files->FileExists(full)) {
    name = full;
    return true;
  }
  const std::string resolved = ResolveFileName(name, ownExecutable_);
  if (!resolved.empty() && documents_->Files->FileExists(resolved)) {
    name = resolved;
    return true;
  }
  ShowStartError(FileNotFoundMessage(name));
  return false;
}

void TDesktopNimbraForm::ShowStartError(const std::string& message) {
  if (tray_->AutostartInstalled()) {
    const std::string question =
        Format("Soll der Autostart von %s gelöscht werden?", TAlbumTray::CompanyAndProduct());
    if (AskQuestion(message + kLineBreak + kLineBreak + question)) tray_->RemoveAutostart();
  } else {
    ShowMessage(message, TMessageBoxKind::Error);
  }
}

bool TDesktopNimbraForm::AskQuestion(const std::string& text) {
  if (!options_.Tray.Unattended) return AskErrorQuestion(text);
  // Nobody answers a script's question: the answer is No, and the reader is told so.
  PrintMessage(text + kLineBreak + "(Ohne Rückfrage: Nein.)");
  return false;
}

bool TDesktopNimbraForm::LoadDocuments() {
  // The slideshow (a packaged one keeps no file name: its pictures are package names), its tree
  // and the template project. Both names were found; a document that cannot be read is a start
  // error of its own, said as the missing one is.
  try {
    LoadAlbumDocuments(*documents_);
    return true;
  } catch (const EAlbumLoadError&) {
    ShowStartError(SlideShow() == nullptr
                       ? Format("Die Bilderliste \"%s\" kann nicht gelesen werden.",
                                SlideShowFileName())
                       : Format("Die Vorlage \"%s\" kann nicht gelesen werden.",
                                TemplateFileName()));
    return false;
  }
}

bool TDesktopNimbraForm::WireChanger() {
  auto changer = std::make_unique<TNimbraDesktopChanger>();
  try {
    auto setter = CreateAlbumWallpaperSetter(options_.WallpaperBackend, options_.WallpaperOptions);
    // The single-instance guard has run: no other album writes the wallpaper now, and what a
    // killed run left half-written can go.
    setter->RemoveLeftoverFiles();
    changer->SetWallpaperSetter(std::move(setter));
  } catch (const ENimbraError& error) {
    // An unknown backend, a command backend without its command, a desktop that cannot be
    // reached: the user's to mend, in the backend's words.
    ShowMessage(WallpaperFailureMessage(error.what()), TMessageBoxKind::Error);
    return false;
  }
  if (options_.Screen) {
    changer->SetScreenGeometryFunction([screen = *options_.Screen] { return screen; });
  }
  // The user's page order first, so that the page list is built once, in it. It is kept beside
  // the settings, and no reading of theirs changes it.
  {
    TKeyValueStore store;
    pageArrangement_.ArrangeTree(LoadPageOrder(store, SettingsKey()), *Tree());
    Settings()->SetPageOrder(pageArrangement_.Arranged());
    Settings()->SetScreenPages(LoadScreenPages(store, SettingsKey()));
  }
  // 4., 5. the engine with its progress, error counter and settings, and the page list
  auto pages = std::make_unique<TAlbumPages>(*Project(), *Tree());
  pages_ = pages.get();
  changer->SetPageList(std::move(pages));
  tray_->SetChanger(std::move(changer));
  // 6., 7., 8.
  LoadStartSettings();
  LoadSettingsFromRegistry();
  if (HasParameter('i')) Settings()->SetPage(-1);
  // 9. (the rest in FirstChange)
  const TErrorCounter& errors = pages_->ErrorCounter();
  if (!errors.HasCriticalErrors()) return true;
  ShowMessage(errors.CriticalErrors().Items(0).Text, TMessageBoxKind::Error);
  return false;
}

void TDesktopNimbraForm::FirstChange() {
  Changer()->SetPageIndex(Settings()->Page());
  const uint8_t mode = Settings()->ChangeMode();
  if (IsChangeMode(mode, TChangeMode::AtProgramStart)) {
    Changer()->MoveBy(+1);
  } else if (IsChangeMode(mode, TChangeMode::Manual)) {
    Changer()->MoveBy(0);
  } else {
    tray_->EnableTimer();
  }
}

void TDesktopNimbraForm::LoadStartSettings() {
  if (IsPackaged()) {
    Settings()->LoadFromPackageFile();
  } else {
    Settings()->Reset();
  }
  tray_->SettingsChanged();
}

void TDesktopNimbraForm::LoadSettingsFromRegistry() {
  TKeyValueStore store;
  Settings()->LoadFromUserStore(store, SettingsKey());
}

bool TDesktopNimbraForm::SaveSettingsToRegistry() {
  TKeyValueStore store;
  if (Settings()->SaveToUserStore(store, SettingsKey()) &&
      SavePageOrder(store, SettingsKey(), Settings()->PageOrder()) &&
      SaveScreenPages(store, SettingsKey(), Settings()->ScreenPages())) {
    return true;
  }
  Notify(Format("Die Einstellungen können nicht in \"%s\" gespeichert werden.",
                TDesktopNimbraProperties::UserStoreFolder(store, SettingsKey())));
  return false;
}

void TDesktopNimbraForm::ArrangePages() {
  if (Settings() == nullptr || Changer() == nullptr || pages_ == nullptr || Tree() == nullptr) return;
  pageArrangement_.Arrange(Settings()->PageOrder(), *Tree(), *pages_, *Changer());
}

}  // namespace nimbra
