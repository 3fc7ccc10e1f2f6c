#include <gtest/gtest.h>

#include <QAction>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "StartupApplication.h"
#include "StartupTestAlbum.h"
#include "TempFolder.h"
#include "album/AlbumPageOrder.h"
#include "album/AlbumTreeOrder.h"
#include "album/AutoRun.h"
#include "album/DesktopNimbraProperties.h"
#include "album/ParameterParser.h"
#include "app/AlbumStartup.h"
#include "app/DesktopChanger.h"
#include "app/DesktopNimbraForm.h"
#include "app/DesktopNimbraTray.h"
#include "app/NoAlbumMessage.h"
#include "framework/KeyValueStore.h"
#include "platform/WallpaperSetter.h"
#include "raster/VendorLibraries.h"
#include "storage/FileAccess.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;
using test::kStartupPhotoColours;

// The album window with its messages and questions kept instead of shown.
class TTestForm : public TDesktopNimbraForm {
 public:
  using TDesktopNimbraForm::TDesktopNimbraForm;
  void ShowMessage(const std::string& text, TMessageBoxKind) override { Messages.push_back(text); }
  void Notify(const std::string& text) override { Notices.push_back(text); }
  bool AskQuestion(const std::string& text) override {
    Questions.push_back(text);
    return Answer;
  }
  std::vector<std::string> Messages;
  std::vector<std::string> Notices;
  std::vector<std::string> Questions;
  bool Answer = false;
};

class DesktopNimbraFormStartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartupApplication();
    for (const char* name : {"config", "data", "run", "tmp", "autostart", "bin", "album"}) {
      fs::create_directories(folder_.Path() / name);
    }
    setenv("XDG_CONFIG_HOME", folder_.File("config").c_str(), 1);
    setenv("XDG_DATA_HOME", folder_.File("data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", folder_.File("run").c_str(), 1);
    unsetenv("NIMBRA_CONFIG_HOME");
    startup_ = std::make_unique<TAlbumStartup>();
  }
  void TearDown() override {
    SetParameterParser(nullptr);
    startup_.reset();
  }

  TDesktopNimbraFormOptions Options(const std::string& executable) const {
    TDesktopNimbraFormOptions options;
    options.Tray.ShowIcon = false;
    options.Tray.AutostartFolder = folder_.File("autostart");
    options.Tray.Executable = executable;
    options.OwnExecutable = executable;
    options.WallpaperBackend = "none";
    options.Screen = FixedScreenGeometry(160, 90);
    options.VendorLibraries.ParentFolder = folder_.File("tmp");
    return options;
  }
  static void Arguments(std::vector<std::string> tokens) {
    tokens.insert(tokens.begin(), "nimbra");
    SetParameterParser(std::make_unique<TParameterParser>(std::move(tokens)));
  }
  // A program file without a package, as in command-line mode.
  std::string PlainProgram() const { return folder_.Write("bin/nimbra", "\x7f" "ELF"); }
  // The album's documents and photos on disk, the photos named by full path.
  void WriteDiskAlbum() const {
    const std::vector<std::string> photos = test::WriteStartupPhotos(folder_.File("album"));
    test::WriteStartupShow(folder_.File("album/album.kvt"), photos);
    test::WriteStartupProject(folder_.File("album/album.pwt"));
  }
  // The user's settings of the album on disk.
  std::string DiskAlbumKey() const {
    return test::StartupAlbumSettingsKey(folder_.File("album/album.kvt"),
                                         folder_.File("album/album.pwt"));
  }
  static void StoreSettings(const std::string& albumKey, uint8_t changeMode, int32_t page) {
    TDesktopNimbraProperties settings;
    settings.SetChangeMode(changeMode);
    settings.SetPage(page);
    TKeyValueStore store;
    ASSERT_TRUE(settings.SaveToUserStore(store, albumKey));
  }
  // The page remembered in the album's user settings; -2 without any.
  static int32_t StoredPage(const std::string& albumKey) {
    TDesktopNimbraProperties settings;
    settings.SetPage(-2);
    TKeyValueStore store;
    settings.LoadFromUserStore(store, albumKey);
    return settings.Page();
  }
  // The colour the wallpaper file shows once the change has finished.
  static TColor32 ShownColour(TDesktopNimbraForm& form) {
    form.Changer()->WaitForChange();
    const std::string file = form.Changer()->WallpaperSetter()->CurrentFile();
    if (file.empty()) return 0;
    return test::CentreColour(file);
  }

  test::TempFolder folder_;
  std::unique_ptr<TAlbumStartup> startup_;
};

TEST_F(DesktopNimbraFormStartupTest, WithoutAnyAlbumOneTextSaysHowToMakeOneAndEndsTheProgram) {
  const std::string program = PlainProgram();
  {
    Arguments({"-a"});
    TTestForm form(Options(program));
    form.FormCreate();
    ASSERT_EQ(form.Messages, std::vector<std::string>{NoAlbumMessage(program)});
    EXPECT_NE(form.Messages[0].find("Nimbra zeigt die Seiten eines Fotoalbums"), std::string::npos);
    EXPECT_NE(form.Messages[0].find("nimbra-kit album ORDNER --layout vier -o ALBUM\n"),
              std::string::npos);
    EXPECT_NE(form.Messages[0].find("./ALBUM"), std::string::npos);
    // No documentation is installed beside this program.
    EXPECT_EQ(form.Messages[0].find("Mehr dazu"), std::string::npos);
    EXPECT_TRUE(form.Quitting());
    EXPECT_EQ(form.Changer(), nullptr);
  }
  // The autostart switch is not processed after the message.
  EXPECT_FALSE(TAutoRun(folder_.File("autostart")).Installed(program));
  // Installed as PREFIX/bin/nimbra with PREFIX/share/doc/nimbra/README.md, the text names it.
  fs::create_directories(folder_.Path() / "share" / "doc" / "nimbra");
  const std::string readme = folder_.Write("share/doc/nimbra/README.md", "# Nimbra\n");
  EXPECT_NE(NoAlbumMessage(program).find("\n\nMehr dazu: " + readme), std::string::npos);
}

TEST_F(DesktopNimbraFormStartupTest, OneMissingSwitchIsReportedByItselfAndEndsTheProgram) {
  const std::string program = PlainProgram();
  {
    Arguments({"-pshow.kvt"});
    TTestForm form(Options(program));
    form.FormCreate();
    EXPECT_EQ(form.Messages, std::vector<std::string>{"\r\nKeine Vorlage angegeben"});
    EXPECT_TRUE(form.Quitting());
  }
  {
    Arguments({"-tproject.pwt", "-a"});
    TTestForm form(Options(program));
    form.FormCreate();
    EXPECT_EQ(form.Messages, std::vector<std::string>{"\r\nKeine Bilderliste angegeben"});
    EXPECT_TRUE(form.Quitting());
  }
  EXPECT_FALSE(TAutoRun(folder_.File("autostart")).Installed(program));
}

TEST_F(DesktopNimbraFormStartupTest, NamesResolveBesideTheProgramAndGoIntoTheAutostartEntry) {
  const std::string program = PlainProgram();
  const std::vector<std::string> photos = test::WriteStartupPhotos(folder_.File("bin"));
  test::WriteStartupShow(folder_.File("bin/album.kvt"), photos);
  test::WriteStartupProject(folder_.File("bin/ALBUM.pwt"));
  // Stored names come from Windows: backslashes, and letter case that differs on disk.
  Arguments({"-pnowhere\\album.kvt", "/Talbum.PWT", "-a"});
  TTestForm form(Options(program));
  form.FormCreate();
  ASSERT_TRUE(form.Messages.empty()) << form.Messages.front();
  EXPECT_FALSE(form.Quitting());
  EXPECT_EQ(form.SlideShowFileName(), folder_.File("bin/album.kvt"));
  EXPECT_EQ(form.TemplateFileName(), folder_.File("bin/ALBUM.pwt"));
  EXPECT_EQ(form.SlideShow()->FileName(), form.SlideShowFileName());
  EXPECT_EQ(form.Changer()->PageCount(), 3);
  // -a writes the names as they were resolved, into an entry of the album's own, and says so.
  EXPECT_TRUE(form.Tray().AutoRunAction().isChecked());
  const std::vector<std::string> expected{"-p" + folder_.File("bin/album.kvt"),
                                          "-t" + folder_.File("bin/ALBUM.pwt")};
  EXPECT_EQ(form.AutostartParameters(), expected);
  const std::string entry = folder_.File("autostart/Velmora Nimbra album.desktop");
  EXPECT_EQ(form.Notices, std::vector<std::string>{
                              "Der Autostart von „album“ ist eingerichtet: " + entry});
  EXPECT_NE(test::TempFolder::Read(entry).find("-p" + folder_.File("bin/album.kvt")),
            std::string::npos);
}

TEST_F(DesktopNimbraFormStartupTest, AMissingDocumentOffersToRemoveTheAutostartEntry) {
  const std::string program = PlainProgram();
  WriteDiskAlbum();
  const std::string project = folder_.File("album/album.pwt");
  const std::string expectedText = "Die Datei \"missing.kvt\" kann nicht gefunden werden.";
  {
    Arguments({"-pmissing.kvt", "-t" + project});
    TTestForm form(Options(program));
    form.FormCreate();
    EXPECT_EQ(form.Messages, std::vector<std::string>{expectedText});
    EXPECT_TRUE(form.Questions.empty());
    EXPECT_TRUE(form.Quitting());
  }
  const TAutoRun autoRun(folder_.File("autostart"));
  ASSERT_TRUE(autoRun.Install(program, {"-pmissing.kvt", "-t" + project}, "Velmora Nimbra"));
  {
    Arguments({"-pmissing.kvt", "-t" + project});
    TTestForm form(Options(program));
    form.Answer = true;
    form.FormCreate();
    EXPECT_TRUE(form.Messages.empty());
    EXPECT_EQ(form.Questions,
              std::vector<std::string>{expectedText +
                                       "\r\n\r\nSoll der Autostart von Velmora Nimbra gelöscht werden?"});
    EXPECT_TRUE(form.Quitting());
  }
  EXPECT_FALSE(autoRun.Installed(program));
}

TEST_F(DesktopNimbraFormStartupTest, CommandLineAlbumFollowsTheChangeModeOfTheUserSettings) {
  const std::string program = PlainProgram();
  WriteDiskAlbum();
  const std::vector<std::string> documents{"-p" + folder_.File("album/album.kvt"),
                                           "-t" + folder_.File("album/album.pwt")};
  // Defaults: timed changes; nothing is rendered before the timer finds the interval run out.
  {
    Arguments(documents);
    TTestForm form(Options(program));
    form.FormCreate();
    ASSERT_FALSE(form.Quitting());
    EXPECT_EQ(form.Changer()->Thread(), nullptr);
    EXPECT_TRUE(form.Tray().Timer().isActive());
    EXPECT_EQ(form.Changer()->Interval(), TDesktopNimbraProperties::kDefaultInterval);
  }
  // "At program start": the page after the remembered one.
  StoreSettings(DiskAlbumKey(), 1, 1);
  {
    Arguments(documents);
    TTestForm form(Options(program));
    form.FormCreate();
    EXPECT_FALSE(form.Tray().Timer().isActive());
    EXPECT_EQ(form.Changer()->PageIndex(), 2);
    EXPECT_EQ(ShownColour(form), kStartupPhotoColours[2]);
  }
  EXPECT_EQ(StoredPage(DiskAlbumKey()), 2);
  // -i starts again at the first page.
  {
    Arguments({documents[0], documents[1], "-i"});
    TTestForm form(Options(program));
    form.FormCreate();
    EXPECT_EQ(ShownColour(form), kStartupPhotoColours[0]);
  }
  // "No automatic change": the remembered page is shown again.
  StoreSettings(DiskAlbumKey(), 2, 1);
  {
    Arguments(documents);
    TTestForm form(Options(program));
    form.FormCreate();
    EXPECT_EQ(ShownColour(form), kStartupPhotoColours[1]);
  }
}

TEST_F(DesktopNimbraFormStartupTest, TheUsersPageOrderArrangesThePagesAndChangesWithTheDialog) {
  const std::string program = PlainProgram();
  WriteDiskAlbum();
  const std::vector<std::string> documents{"-p" + folder_.File("album/album.kvt"),
                                           "-t" + folder_.File("album/album.pwt")};
  // A shuffle of the three photos whose first two pages differ from the stored order's.
  uint32_t seed = 1;
  while (ShuffledPositions(3, seed)[0] == 0 || ShuffledPositions(3, seed)[1] == 1) ++seed;
  const std::vector<int32_t> shuffled = ShuffledPositions(3, seed);
  StoreSettings(DiskAlbumKey(), 2, 0);
  {
    TKeyValueStore store;
    ASSERT_TRUE(SavePageOrder(store, DiskAlbumKey(), {TPageOrderMode::Random, seed}));
  }
  {
    Arguments(documents);
    TTestForm form(Options(program));
    form.FormCreate();
    ASSERT_FALSE(form.Quitting());
    // The remembered first page is the shuffle's first photo.
    EXPECT_EQ(ShownColour(form), kStartupPhotoColours[static_cast<size_t>(shuffled[0])]);
    EXPECT_EQ(form.Changer()->PageCount(), 3);
    // OK in the dialog with the stored order: the pages follow it from the next change on.
    form.Settings()->SetPageOrder({TPageOrderMode::AsStored, seed});
    form.Tray().SettingsChanged();
    EXPECT_EQ(form.Changer()->PageIndex(), 0);
    form.Changer()->MoveBy(+1);
    EXPECT_EQ(ShownColour(form), kStartupPhotoColours[1]);
  }
  TKeyValueStore store;
  EXPECT_EQ(LoadPageOrder(store, DiskAlbumKey()), (TAlbumPageOrder{TPageOrderMode::AsStored, seed}));
  EXPECT_EQ(StoredPage(DiskAlbumKey()), 1);
}

TEST_F(DesktopNimbraFormStartupTest, PackagedAlbumShowsThePhotosOfItsOwnPackage) {
  std::vector<std::string> files = test::WriteStartupAlbumFiles(folder_.File("album"), 1);
  const std::string program = folder_.File("bin/Album");
  test::WriteStartupExecutable(program, files);
  // The package's documents win over the switches.
  Arguments({"-pelsewhere.kvt"});
  {
    TTestForm form(Options(program));
    form.FormCreate();
    ASSERT_TRUE(form.Messages.empty()) << form.Messages.front();
    EXPECT_TRUE(form.IsPackaged());
    EXPECT_EQ(form.SlideShowFileName(), "|album.kvt");
    EXPECT_EQ(form.TemplateFileName(), "|album.pwt");
    EXPECT_EQ(form.SlideShow()->FileName(), "");
    EXPECT_EQ(FileAccess().get(), form.Files());
    EXPECT_EQ(form.Settings()->Interval(), 600000);
    EXPECT_EQ(ShownColour(form), kStartupPhotoColours[0]);
  }
  EXPECT_EQ(FileAccess(), nullptr);
  EXPECT_EQ(StoredPage(test::StartupAlbumSettingsKey(program)), 0);
  {
    TTestForm form(Options(program));
    form.FormCreate();
    EXPECT_EQ(ShownColour(form), kStartupPhotoColours[1]);
  }
}

TEST_F(DesktopNimbraFormStartupTest, PackageWithoutSlideShowReportsAnEmptyName) {
  test::WriteStartupProject(folder_.File("album/album.pwt"));
  const std::string program = folder_.File("bin/Album");
  test::WriteStartupExecutable(program, {folder_.File("album/album.pwt")});
  Arguments({});
  TTestForm form(Options(program));
  form.FormCreate();
  EXPECT_TRUE(form.IsPackaged());
  EXPECT_EQ(form.Messages,
            std::vector<std::string>{"Die Datei \"\" kann nicht gefunden werden."});
  EXPECT_TRUE(form.Quitting());
}

// The files a run loaded the announcing library from, in order.
std::vector<std::string> LoadedLibraries(const std::string& log) {
  std::vector<std::string> lines;
  std::istringstream text(fs::exists(log) ? test::TempFolder::Read(log) : std::string());
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  return lines;
}

TEST_F(DesktopNimbraFormStartupTest, VendorLibrariesLoadOnlyWhenAskedAndNeverFromTheSharedFolder) {
  std::vector<std::string> files = test::WriteStartupAlbumFiles(folder_.File("album"), 1);
  // The entry's case differs from the library's name; someone placed a library under that name
  // in the shared temporary folder.
  const std::string library = test::TempFolder::Read(NIMBRA_ANNOUNCING_LIBRARY);
  files.push_back(folder_.Write("album/LWF_JP2.DLL", library));
  const std::string planted = folder_.Write("tmp/lwf_jp2.dll", library);
  const std::string program = folder_.File("bin/Album");
  test::WriteStartupExecutable(program, files);
  const std::string log = folder_.File("loaded.log");
  setenv("NIMBRA_LOADED_LIBRARIES", log.c_str(), 1);
  Arguments({});
  {
    TTestForm form(Options(program));
    form.FormCreate();
    ASSERT_FALSE(form.Quitting());
    EXPECT_EQ(form.Jp2LibraryFile(), "");
    EXPECT_EQ(Jpeg2000Library(), nullptr);
  }
  EXPECT_TRUE(LoadedLibraries(log).empty());
  // Nothing was made in the temporary folder: the planted library is alone there.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.File("tmp")), fs::directory_iterator()),
            1);

  std::string folder;
  {
    TDesktopNimbraFormOptions options = Options(program);
    options.VendorLibraries.Load = true;
    TTestForm form(options);
    form.FormCreate();
    ASSERT_FALSE(form.Quitting());
    const fs::path extracted = form.Jp2LibraryFile();
    folder = extracted.parent_path().string();
    EXPECT_EQ(extracted.filename(), "lwf_jp2.dll");
    EXPECT_EQ(fs::path(folder).parent_path(), folder_.File("tmp"));
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    ASSERT_NE(Jpeg2000Library(), nullptr);
    EXPECT_NE(Jpeg2000Library()->JP2_Decompress_Start, nullptr);
    EXPECT_EQ(LoadedLibraries(log), std::vector<std::string>{extracted.string()});
  }
  EXPECT_EQ(Jpeg2000Library(), nullptr);
  EXPECT_FALSE(fs::exists(folder));
  EXPECT_TRUE(fs::exists(planted));
  unsetenv("NIMBRA_LOADED_LIBRARIES");
}

TEST_F(DesktopNimbraFormStartupTest, OnlyAShownPageIsRememberedAndUnsavedSettingsAreNoticed) {
  const std::string program = PlainProgram();
  WriteDiskAlbum();
  Arguments({"-p" + folder_.File("album/album.kvt"), "-t" + folder_.File("album/album.pwt")});
  // Half-written wallpapers of killed runs go at the start; other files stay.
  fs::create_directories(folder_.File("data/Velmora/Nimbra"));
  const std::vector<std::string> leftovers{
      folder_.Write("data/Velmora/Nimbra/Velmora Nimbra Hintergrundbild.bmp.tmp-4711-3-0", "x"),
      folder_.Write("data/Velmora/Nimbra/Velmora Nimbra Hintergrundbild (2).png.tmp-9-1-7", "x")};
  const std::string other = folder_.Write("data/Velmora/Nimbra/Notizen.txt.tmp-1-1-1", "x");
  StoreSettings(DiskAlbumKey(), 1, 0);
  {
    // The desktop refuses the page.
    TDesktopNimbraFormOptions options = Options(program);
    options.WallpaperBackend = "command";
    options.WallpaperOptions.CommandLine = "false %f";
    TTestForm form(options);
    form.FormCreate();
    form.Changer()->WaitForChange();
    EXPECT_EQ(form.Changer()->PageIndex(), 1);
    EXPECT_EQ(form.Changer()->ShownPageIndex(), -1);
    ASSERT_EQ(form.Notices.size(), 1u);
    EXPECT_TRUE(form.Notices[0].starts_with("Das Hintergrundbild konnte nicht gesetzt werden"))
        << form.Notices[0];
    form.Shutdown();
    EXPECT_TRUE(form.SettingsSaved());
  }
  EXPECT_EQ(StoredPage(DiskAlbumKey()), 0);
  for (const std::string& file : leftovers) EXPECT_FALSE(fs::exists(file)) << file;
  EXPECT_TRUE(fs::exists(other));

  // A settings folder that cannot be made: the page shows, and saving it is noticed once.
  const std::string blocked = folder_.Write("blocked", "a file where the folder should be");
  setenv("XDG_CONFIG_HOME", (blocked + "/config").c_str(), 1);
  TTestForm form(Options(program));
  form.FormCreate();
  form.Tray().NextPageActionExecute();
  form.Changer()->WaitForChange();
  EXPECT_EQ(form.Changer()->ShownPageIndex(), 0);
  form.Shutdown();
  form.Shutdown();
  EXPECT_FALSE(form.SettingsSaved());
  const std::string key = TKeyValueStore(blocked + "/config").KeyFolder(DiskAlbumKey()).value();
  EXPECT_EQ(key, blocked + "/config/Velmora/Nimbra/1.x/Alben/" + form.Identity().Key);
  EXPECT_EQ(form.Notices, std::vector<std::string>{"Die Einstellungen können nicht in \"" + key +
                                                   "\" gespeichert werden."});
}

}  // namespace
}  // namespace nimbra
