// The album program from outside, as a user or a script runs it: an album executable made with
// nimbra-kit under a private X server and session bus, and the program without any display.
// clang-format off
// GoogleTest first: Xlib's macros (None, Bool, Status) would break its declarations.
#include <gtest/gtest.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "PlatformTestSession.h"
#include "RootPicture.h"
#include "StartupApplication.h"
#include "StartupTestAlbum.h"
#include "TempFolder.h"
#include "album/DesktopNimbraProperties.h"
#include "app/AlbumStartup.h"
#include "framework/KeyValueStore.h"
#include "platform/ChildProcess.h"
#include "platform/FileUri.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;
using test::kStartupPhotoColours;

// The colour at the centre of the picture the root window shows (_XROOTPMAP_ID), as 0xRRGGBB;
// none (-1) without one.
long RootPictureCentre(const std::string& displayName) {
  Display* display = XOpenDisplay(displayName.c_str());
  if (display == nullptr) return -1;
  long colour = -1;
  const Window root = DefaultRootWindow(display);
  const Atom atom = XInternAtom(display, "_XROOTPMAP_ID", True);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (atom != None &&
      XGetWindowProperty(display, root, atom, 0, 1, False, XA_PIXMAP, &type, &format, &count,
                         &after, &data) == Success &&
      type == XA_PIXMAP && count == 1) {
    const Pixmap pixmap = *reinterpret_cast<Pixmap*>(data);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, pixmap, attributes.width / 2, attributes.height / 2, 1, 1,
                              AllPlanes, ZPixmap);
    if (image != nullptr) {
      colour = static_cast<long>(XGetPixel(image, 0, 0) & 0xFFFFFF);
      XDestroyImage(image);
    }
  }
  if (data != nullptr) XFree(data);
  XCloseDisplay(display);
  return colour;
}

class AlbumProgramStartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartupApplication();
    startup_ = std::make_unique<TAlbumStartup>();
    for (const char* name : {"config", "data", "run", "album"}) {
      fs::create_directories(folder_.Path() / name);
    }
  }
  void TearDown() override { startup_.reset(); }

  // Runs the program in a session of the test's own folders (display empty: none at all), and
  // returns at once.
  pid_t Start(const std::vector<std::string>& arguments, const std::string& display = {}) const {
    std::vector<std::string> argv = Environment(display);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return StartProcess(argv);
  }
  // Runs the program in a session of the test's own folders; display empty: none at all.
  TProcessResult Run(const std::vector<std::string>& arguments, const std::string& display) const {
    std::vector<std::string> argv = Environment(display);
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProcess(argv, std::chrono::seconds(120));
  }
  std::vector<std::string> Environment(const std::string& display) const {
    std::vector<std::string> argv{"env",
                                  "-u", "WAYLAND_DISPLAY",
                                  "-u", "QT_QPA_PLATFORM",
                                  "-u", "NIMBRA_CONFIG_HOME",
                                  "-u", "XDG_CURRENT_DESKTOP",
                                  "-u", "XDG_SESSION_DESKTOP",
                                  "-u", "DESKTOP_SESSION",
                                  "-u", "SWAYSOCK",
                                  "XDG_CONFIG_HOME=" + folder_.File("config"),
                                  "XDG_DATA_HOME=" + folder_.File("data"),
                                  "XDG_RUNTIME_DIR=" + folder_.File("run")};
    if (display.empty()) {
      argv.insert(argv.begin() + 1, {"-u", "DISPLAY"});
    } else {
      argv.push_back("DISPLAY=" + display);
    }
    return argv;
  }
  // The start-up album (changing at start) packed behind the program, as nimbra-kit makes it;
  // empty when packing fails.
  std::string PackAlbum(const std::string& name = "Album", uint8_t changeMode = 1) const {
    const std::string source = folder_.File(name == "Album" ? "album" : name + "-files");
    fs::create_directories(source);
    const std::vector<std::string> files = test::WriteStartupAlbumFiles(source, changeMode);
    const std::string album = folder_.File(name);
    std::vector<std::string> pack{NIMBRA_KIT_PROGRAM, "pack", "--exe", NIMBRA_PROGRAM, "-o",
                                  album};
    pack.insert(pack.end(), files.begin(), files.end());
    const TProcessResult packed = RunProcess(pack, std::chrono::seconds(120));
    if (packed.Succeeded()) return album;
    ADD_FAILURE() << packed.Describe();
    return {};
  }
  // The user's settings of the album on disk ("album/album.kvt" and "album/album.pwt").
  std::string DiskAlbumKey() const {
    return test::StartupAlbumSettingsKey(folder_.File("album/album.kvt"),
                                         folder_.File("album/album.pwt"));
  }
  // The page remembered in the album's user settings; -2 without any.
  int32_t StoredPage(const std::string& albumKey) const {
    TDesktopNimbraProperties settings;
    settings.SetPage(-2);
    TKeyValueStore store(folder_.File("config"));
    settings.LoadFromUserStore(store, albumKey);
    return settings.Page();
  }
  void StoreSettings(const TDesktopNimbraProperties& settings, const std::string& albumKey) const {
    TKeyValueStore store(folder_.File("config"));
    ASSERT_TRUE(settings.SaveToUserStore(store, albumKey));
  }

  test::TempFolder folder_;
  std::unique_ptr<TAlbumStartup> startup_;
};

TEST_F(AlbumProgramStartupTest, AlbumExecutableShowsItsPagesOnTheRootWindowAndRemembersThem) {
  ASSERT_EQ(test::EnsurePrivateSessionBus(), "");
  test::TXvfb xvfb;
  ASSERT_EQ(xvfb.Start(320, 240), "");
  const std::string album = PackAlbum();
  ASSERT_FALSE(album.empty());

  const TProcessResult first = Run({album, "--once", "--wallpaper=x11"}, xvfb.Display());
  ASSERT_TRUE(first.Succeeded()) << first.Describe();
  EXPECT_NE(first.Output.find("page 1 of 3 written to "), std::string::npos) << first.Output;
  EXPECT_EQ(RootPictureCentre(xvfb.Display()), kStartupPhotoColours[0] & 0xFFFFFF);
  EXPECT_EQ(StoredPage(test::StartupAlbumSettingsKey(album)), 0);

  // "At program start" moves on from the remembered page.
  const TProcessResult second = Run({album, "--once", "--wallpaper=x11"}, xvfb.Display());
  ASSERT_TRUE(second.Succeeded()) << second.Describe();
  EXPECT_EQ(RootPictureCentre(xvfb.Display()), kStartupPhotoColours[1] & 0xFFFFFF);
  EXPECT_EQ(StoredPage(test::StartupAlbumSettingsKey(album)), 1);
}

TEST_F(AlbumProgramStartupTest, TwoMonitorsOfDifferentSizesShowConsecutivePagesOnTheRootWindow) {
  if (::geteuid() != 0) GTEST_SKIP() << "Xorg with the dummy driver needs root";
  ASSERT_EQ(test::EnsurePrivateSessionBus(), "");
  test::TDummyXorg xorg;
  ASSERT_EQ(xorg.Start(), "");
  const std::string album = PackAlbum();
  ASSERT_FALSE(album.empty());
  // Each monitor's centre shows its own page; below the smaller one the desk is black.
  const auto shown = [&] {
    return std::vector<std::optional<unsigned long>>{
        test::RootPicturePixel(xorg.Display(), 400, 300),
        test::RootPicturePixel(xorg.Display(), 800 + 320, 240),
        test::RootPicturePixel(xorg.Display(), 800 + 320, 560)};
  };
  const auto colour = [](int page) -> std::optional<unsigned long> {
    return kStartupPhotoColours[page] & 0xFFFFFF;
  };
  const TProcessResult first = Run({album, "--once", "--wallpaper=x11"}, xorg.Display());
  ASSERT_TRUE(first.Succeeded()) << first.Describe();
  EXPECT_EQ(shown(), (std::vector{colour(0), colour(1), std::optional<unsigned long>(0)}));
  // The next change goes on after the last page shown, round the three pages.
  const TProcessResult second = Run({album, "--once", "--wallpaper=x11"}, xorg.Display());
  ASSERT_TRUE(second.Succeeded()) << second.Describe();
  EXPECT_EQ(shown(), (std::vector{colour(2), colour(0), std::optional<unsigned long>(0)}));
}

TEST_F(AlbumProgramStartupTest, CommandLineAlbumRendersWithoutAnyDisplay) {
  const std::vector<std::string> photos = test::WriteStartupPhotos(folder_.File("album"));
  test::WriteStartupShow(folder_.File("album/show.kvt"), photos);
  test::WriteStartupProject(folder_.File("album/show.pwt"));
  const TProcessResult run = Run({NIMBRA_PROGRAM, "-p" + folder_.File("album/show.kvt"),
                                  "-t" + folder_.File("album/show.pwt"), "--once",
                                  "--work-area=96x54", "--wallpaper=none"},
                                 "");
  ASSERT_TRUE(run.Succeeded()) << run.Describe();
  const std::string marker = "page 1 of 3 written to ";
  const size_t at = run.Output.find(marker);
  ASSERT_NE(at, std::string::npos) << run.Output;
  const size_t end = run.Output.find('\n', at);
  const std::string file = run.Output.substr(at + marker.size(), end - at - marker.size());
  EXPECT_TRUE(file.starts_with(folder_.File("data"))) << file;
  EXPECT_EQ(test::CentreColour(file), kStartupPhotoColours[0]);
  EXPECT_EQ(StoredPage(test::StartupAlbumSettingsKey(folder_.File("album/show.kvt"), folder_.File("album/show.pwt"))), 0);
}

TEST_F(AlbumProgramStartupTest, WithoutAnAlbumOrADisplayItSaysHowToMakeOneOnStandardError) {
  const TProcessResult run = Run({NIMBRA_PROGRAM}, "");
  EXPECT_EQ(run.ExitStatus, 1) << run.Describe();
  EXPECT_NE(run.Output.find("Nimbra: Nimbra zeigt die Seiten eines Fotoalbums"), std::string::npos)
      << run.Output;
  EXPECT_NE(run.Output.find("    nimbra-kit album ORDNER --layout vier -o ALBUM\n"),
            std::string::npos)
      << run.Output;
  // Not the two messages of missing switches.
  EXPECT_EQ(run.Output.find("Keine Bilderliste angegeben"), std::string::npos) << run.Output;
  // The same text comes with --once, where nothing may wait for a click.
  const TProcessResult once = Run({NIMBRA_PROGRAM, "--once"}, "");
  EXPECT_EQ(once.ExitStatus, 1) << once.Describe();
  EXPECT_NE(once.Output.find("nimbra-kit album ORDNER"), std::string::npos) << once.Output;
}

// The exit status of a process we started once it has ended; -1 when it outlives the wait or a
// signal ended it.
int WaitForExit(pid_t pid) {
  for (int waited = 0; waited < 600; ++waited) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
  return -1;
}

TEST_F(AlbumProgramStartupTest, ARunningAlbumRefusesASecondOneAndRemembersItsPageOnSigterm) {
  const std::vector<std::string> photos = test::WriteStartupPhotos(folder_.File("album"));
  test::WriteStartupShow(folder_.File("album/album.kvt"), photos);
  test::WriteStartupProject(folder_.File("album/album.pwt"));
  const std::vector<std::string> documents{"-p" + folder_.File("album/album.kvt"),
                                           "-t" + folder_.File("album/album.pwt")};
  // Command-line albums start from the defaults: the user's settings ask for a change at start.
  {
    TDesktopNimbraProperties settings;
    settings.SetChangeMode(1);
    settings.SetPage(1);
    StoreSettings(settings, DiskAlbumKey());
  }

  std::vector<std::string> arguments{NIMBRA_PROGRAM, "--no-tray", "--wallpaper=none",
                                     "--work-area=96x54"};
  arguments.insert(arguments.end(), documents.begin(), documents.end());
  const pid_t first = Start(arguments);
  const fs::path shown = folder_.Path() / "data" / "Velmora" / "Nimbra";
  bool rendered = false;
  for (int waited = 0; waited < 600 && !rendered; ++waited) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(shown, ignored)) {
      rendered = rendered || entry.path().extension() == ".bmp";
    }
    if (!rendered) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_TRUE(rendered) << "the first album showed no page";

  arguments.push_back("--once");
  const TProcessResult second = Run(arguments, "");
  EXPECT_EQ(second.ExitStatus, 1) << second.Describe();
  EXPECT_NE(second.Output.find("Velmora Nimbra „album“ läuft bereits."), std::string::npos)
      << second.Output;
  // The second album changed nothing: the page is still unsaved.
  EXPECT_EQ(StoredPage(DiskAlbumKey()), 1);

  ASSERT_EQ(::kill(first, SIGTERM), 0);
  EXPECT_EQ(WaitForExit(first), 0);
  EXPECT_EQ(StoredPage(DiskAlbumKey()), 2);
}

// A small disk of its own (a tmpfs) mounted over a folder while this exists. Mounting needs the
// privileges CI runs with; elsewhere Mounted() is false.
class TSmallDisk {
 public:
  TSmallDisk(const std::string& folder, int64_t bytes) : folder_(folder) {
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~TSmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  TSmallDisk(const TSmallDisk&) = delete;
  TSmallDisk& operator=(const TSmallDisk&) = delete;
  bool Mounted() const { return mounted_; }

  // Writes a file that takes every byte still free.
  void Fill() const {
    const int fd = ::open((folder_ + "/filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string block(4096, '\0');
    while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
    }
    if (fd >= 0) ::close(fd);
  }

 private:
  std::string folder_;
  bool mounted_ = false;
};

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Temporary files in the wallpaper's folder.
std::vector<std::string> HalfWrittenWallpapers(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) {
    const std::string name = entry.path().filename().string();
    if (name.find(".tmp-") != std::string::npos) names.push_back(name);
  }
  return names;
}

TEST_F(AlbumProgramStartupTest, AFullDiskIsSaidOnceOnStandardErrorAndKeepsTheWallpaper) {
  const TSmallDisk disk(folder_.File("data"), 1024 * 1024);
  if (!disk.Mounted()) GTEST_SKIP() << "a tmpfs cannot be mounted here (needs root)";
  ASSERT_EQ(test::EnsurePrivateSessionBus(), "");
  test::TXvfb xvfb;
  ASSERT_EQ(xvfb.Start(320, 240), "");
  const std::string album = PackAlbum();
  ASSERT_FALSE(album.empty());

  const TProcessResult shown = Run({album, "--once", "--wallpaper=x11"}, xvfb.Display());
  ASSERT_TRUE(shown.Succeeded()) << shown.Describe();
  const std::string wallpaper =
      folder_.File("data/Velmora/Nimbra/Velmora Nimbra Hintergrundbild.bmp");
  const std::string before = test::TempFolder::Read(wallpaper);

  // --once on a full disk: a German message and a failure, at once, the old wallpaper in place.
  disk.Fill();
  const auto start = std::chrono::steady_clock::now();
  const TProcessResult full = Run({album, "--once", "--wallpaper=x11"}, xvfb.Display());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_EQ(full.ExitStatus, 1) << full.Describe();
  const std::string message =
      "Nimbra: Das Hintergrundbild konnte nicht gesetzt werden (Die Datei \"" + wallpaper +
      "\" kann nicht geschrieben werden: Auf dem Datenträger ist kein Platz mehr frei).";
  EXPECT_NE(full.Output.find(message), std::string::npos) << full.Output;
  EXPECT_EQ(test::TempFolder::Read(wallpaper), before);
  EXPECT_EQ(RootPictureCentre(xvfb.Display()), kStartupPhotoColours[0] & 0xFFFFFF);
  EXPECT_EQ(StoredPage(test::StartupAlbumSettingsKey(album)), 0);
  EXPECT_TRUE(HalfWrittenWallpapers(fs::path(wallpaper).parent_path()).empty());

  // In the tray, changing every two seconds: one message, however many changes fail.
  {
    TDesktopNimbraProperties settings;
    settings.SetInterval(2000);
    settings.SetChangeMode(0);
    settings.SetPage(0);
    StoreSettings(settings, test::StartupAlbumSettingsKey(album));
  }
  const TProcessResult tray =
      Run({"timeout", "-s", "TERM", "11", album, "--wallpaper=x11"}, xvfb.Display());
  EXPECT_EQ(tray.ExitStatus, 124) << tray.Describe();
  EXPECT_EQ(Occurrences(tray.Output, "Das Hintergrundbild konnte nicht gesetzt werden"), 1u)
      << tray.Output;
  EXPECT_EQ(test::TempFolder::Read(wallpaper), before);
  EXPECT_EQ(StoredPage(test::StartupAlbumSettingsKey(album)), 0);
}

TEST_F(AlbumProgramStartupTest, TheStartAfterKilledRunsLeavesNoHalfWrittenWallpaper) {
  const std::vector<std::string> photos = test::WriteStartupPhotos(folder_.File("album"));
  test::WriteStartupShow(folder_.File("album/album.kvt"), photos);
  test::WriteStartupProject(folder_.File("album/album.pwt"));
  {
    TDesktopNimbraProperties settings;
    settings.SetInterval(2000);
    settings.SetChangeMode(0);
    StoreSettings(settings, DiskAlbumKey());
  }
  const std::vector<std::string> album{"-p" + folder_.File("album/album.kvt"),
                                       "-t" + folder_.File("album/album.pwt"),
                                       "--wallpaper=none"};
  // Large pages take long enough to write that a kill catches one half-written.
  std::vector<std::string> slow{NIMBRA_PROGRAM, "--no-tray", "--work-area=6000x4000"};
  slow.insert(slow.end(), album.begin(), album.end());
  const fs::path folder = folder_.Path() / "data" / "Velmora" / "Nimbra";
  int caught = 0;
  for (int run = 0; run < 4 && caught < 2; ++run) {
    const pid_t pid = Start(slow);
    for (int waited = 0; waited < 30000 && HalfWrittenWallpapers(folder).empty(); ++waited) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    if (!HalfWrittenWallpapers(folder).empty()) ++caught;
  }
  ASSERT_GT(caught, 0) << "no run was caught while writing its page";

  std::vector<std::string> once{NIMBRA_PROGRAM, "--once", "--work-area=96x54"};
  once.insert(once.end(), album.begin(), album.end());
  const TProcessResult run = Run(once, "");
  ASSERT_TRUE(run.Succeeded()) << run.Describe();
  EXPECT_TRUE(HalfWrittenWallpapers(folder).empty());
}

// A program started by the test that is killed when the test ends early, unless it was waited for.
struct TKilledAtEnd {
  explicit TKilledAtEnd(pid_t pid) : Pid(pid) {}
  ~TKilledAtEnd() {
    if (::waitpid(Pid, nullptr, WNOHANG) != 0) return;
    ::kill(Pid, SIGKILL);
    ::waitpid(Pid, nullptr, 0);
  }
  pid_t Pid;
};

// Two albums on one machine: each keeps its own settings, page and autostart entry, both run at
// once, the same one twice is refused by name, and `nimbra --next`/`--quit` reach the one named.
TEST_F(AlbumProgramStartupTest, TwoAlbumsKeepTheirOwnStateAndAreControlledByName) {
  ASSERT_EQ(test::EnsurePrivateSessionBus(), "");
  test::TXvfb xvfb;
  ASSERT_EQ(xvfb.Start(320, 240), "");
  // Urlaub changes at every start, Garten only when asked.
  const std::string urlaub = PackAlbum("Urlaub", 1);
  const std::string garten = PackAlbum("Garten", 2);
  ASSERT_FALSE(urlaub.empty() || garten.empty());
  const auto once = [&](const std::string& album, const std::string& more = {}) {
    std::vector<std::string> argv{album, "--once", "--wallpaper=x11"};
    if (!more.empty()) argv.push_back(more);
    return Run(argv, xvfb.Display());
  };
  ASSERT_TRUE(once(urlaub).Succeeded());
  ASSERT_TRUE(once(urlaub).Succeeded());
  const TProcessResult firstGarten = once(garten, "-a");
  ASSERT_TRUE(firstGarten.Succeeded()) << firstGarten.Describe();
  EXPECT_EQ(RootPictureCentre(xvfb.Display()), kStartupPhotoColours[0] & 0xFFFFFF);
  EXPECT_EQ(StoredPage(test::StartupAlbumSettingsKey(urlaub)), 1);
  EXPECT_EQ(StoredPage(test::StartupAlbumSettingsKey(garten)), 0);

  const std::string gartenEntry = folder_.File("config/autostart/Velmora Nimbra Garten.desktop");
  EXPECT_NE(firstGarten.Output.find("Der Autostart von „Garten“ ist eingerichtet: " + gartenEntry),
            std::string::npos)
      << firstGarten.Output;
  ASSERT_TRUE(once(urlaub, "-a").Succeeded());
  const std::string urlaubEntry = folder_.File("config/autostart/Velmora Nimbra Urlaub.desktop");
  for (const std::string& entry : {gartenEntry, urlaubEntry}) {
    EXPECT_TRUE(RunProcess({"desktop-file-validate", entry}, std::chrono::seconds(30)).Succeeded())
        << entry;
  }
  const TProcessResult removed = once(urlaub, "-b");
  EXPECT_NE(removed.Output.find("Der Autostart von „Urlaub“ ist entfernt."), std::string::npos)
      << removed.Output;
  EXPECT_FALSE(fs::exists(urlaubEntry));
  EXPECT_TRUE(fs::exists(gartenEntry));

  // Both in the tray at once, Garten first: each answers on the bus once it has started, and the
  // root window shows the page it started with (Urlaub's second: -a and -b were runs too).
  const auto command = [&](const std::vector<std::string>& words) {
    std::vector<std::string> argv{NIMBRA_PROGRAM};
    argv.insert(argv.end(), words.begin(), words.end());
    return Run(argv, xvfb.Display());
  };
  const auto waitFor = [&](const std::string& resume, TColor32 colour) {
    bool shown = false;
    for (int tries = 0; tries < 100 && !shown; ++tries) {
      shown = command({resume}).Succeeded() &&
              RootPictureCentre(xvfb.Display()) == (colour & 0xFFFFFF);
      if (!shown) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return shown;
  };
  const TKilledAtEnd gartenRun(Start({garten, "--wallpaper=x11"}, xvfb.Display()));
  ASSERT_TRUE(waitFor("--resume=Garten", kStartupPhotoColours[0]));
  const TKilledAtEnd urlaubRun(Start({urlaub, "--wallpaper=x11"}, xvfb.Display()));
  ASSERT_TRUE(waitFor("--resume=Urlaub", kStartupPhotoColours[1]));
  const TProcessResult twice = once(urlaub);
  EXPECT_EQ(twice.ExitStatus, 1);
  EXPECT_NE(twice.Output.find("Velmora Nimbra „Urlaub“ läuft bereits."), std::string::npos)
      << twice.Output;
  const TProcessResult unnamed = command({"--next"});
  EXPECT_EQ(unnamed.ExitStatus, 1);
  EXPECT_NE(unnamed.Output.find("Es laufen mehrere Alben: „Garten“, „Urlaub“."), std::string::npos)
      << unnamed.Output;

  // --next moves Urlaub on to its third page, which it remembers.
  EXPECT_TRUE(command({"--next", "urlaub"}).Succeeded());
  EXPECT_TRUE(waitFor("--resume=Urlaub", kStartupPhotoColours[2]));
  EXPECT_TRUE(command({"--quit=" + urlaub}).Succeeded());
  EXPECT_EQ(WaitForExit(urlaubRun.Pid), 0);
  EXPECT_EQ(StoredPage(test::StartupAlbumSettingsKey(urlaub)), 2);
  EXPECT_TRUE(command({"--quit"}).Succeeded());
  EXPECT_EQ(WaitForExit(gartenRun.Pid), 0);
  const TProcessResult none = command({"--next"});
  EXPECT_EQ(none.ExitStatus, 1);
  EXPECT_NE(none.Output.find("Es läuft kein Nimbra-Album."), std::string::npos) << none.Output;
}

// A session bus that can start no services: no desktop runs on it, so neither dconf nor a shell.
std::string StartBareSessionBus(const test::TempFolder& folder, test::TTestChild& bus) {
  fs::create_directories(folder.Path() / "no-services");
  const std::string config = folder.Write(
      "bare-bus.conf",
      "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
      " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
      "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>\n"
      "<servicedir>" + folder.File("no-services") + "</servicedir>\n"
      "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
      "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
  std::string address;
  const std::string error = bus.Start(
      {"dbus-daemon", "--config-file=" + config, "--nofork", "--print-address=1"}, &address);
  return error.empty() ? address : std::string();
}

// Scripts run --once and must never wait for a click: every failure ends the run by itself with
// a German message and a non-zero code, under a display where a message box could open; what
// only spoils a page is said without failing.
TEST_F(AlbumProgramStartupTest, OnceRunsEndByThemselvesWithGermanReasonsAndNoBox) {
  ASSERT_EQ(test::EnsurePrivateSessionBus(), "");
  test::TXvfb xvfb;
  ASSERT_EQ(xvfb.Start(320, 240), "");
  test::TTestChild bareBus;
  const std::string bareBusAddress = StartBareSessionBus(folder_, bareBus);
  ASSERT_FALSE(bareBusAddress.empty());
  const std::vector<std::string> photos = test::WriteStartupPhotos(folder_.File("album"));
  test::WriteStartupShow(folder_.File("album/show.kvt"), photos);
  test::WriteStartupProject(folder_.File("album/show.pwt"));
  const std::string broken = folder_.Write("album/broken.kvt", "no slideshow at all");
  const std::string gone = folder_.File("album/gone.png");
  test::WriteStartupShow(folder_.File("album/gaps.kvt"), {gone, photos[1], photos[2]});
  const std::string show = "-p" + folder_.File("album/show.kvt");
  const std::string project = "-t" + folder_.File("album/show.pwt");

  struct TCase {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> environment;  // NAME=VALUE for env; GSettings' own choice besides
    int exitStatus;
    std::string message;
  };
  const std::vector<TCase> cases = {
      {"unknown backend", {show, project, "--wallpaper=bogus"}, {}, 2,
       "unbekannte Art, das Hintergrundbild zu setzen: --wallpaper=bogus"},
      {"no plasma shell", {show, project, "--wallpaper=kde"}, {}, 1,
       "Das Hintergrundbild konnte nicht gesetzt werden (KDE Plasma: der Aufruf evaluateScript "
       "an org.kde.plasmashell ist gescheitert"},
      {"command without its command", {show, project, "--wallpaper=command"}, {}, 1,
       "Das Hintergrundbild konnte nicht gesetzt werden (für --wallpaper=command fehlt der "
       "Befehl"},
      {"no sway", {show, project, "--wallpaper=sway"}, {}, 1,
       "Das Hintergrundbild konnte nicht gesetzt werden (sway: weder swaymsg"},
      {"gnome without dconf", {show, project, "--wallpaper=gnome"},
       {"DBUS_SESSION_BUS_ADDRESS=" + bareBusAddress}, 1,
       "Das Hintergrundbild konnte nicht gesetzt werden (GNOME: auf dem D-Bus-Sitzungsbus ist "
       "kein dconf-Dienst (ca.desrt.dconf) erreichbar"},
      {"gnome without a session bus", {show, project, "--wallpaper=gnome"},
       {"DBUS_SESSION_BUS_ADDRESS=unix:path=" + folder_.File("no-bus")}, 1, "Das Hintergrundbild konnte nicht gesetzt werden (GNOME: es läuft kein "
          "D-Bus-Sitzungsbus"},
      {"missing document", {"-p" + folder_.File("album/gone.kvt"), project, "--wallpaper=x11"},
       {}, 1, "Die Datei \"" + folder_.File("album/gone.kvt") + "\" kann nicht gefunden werden."},
      {"unreadable document", {"-p" + broken, project, "--wallpaper=x11"}, {}, 1,
       "Die Bilderliste \"" + broken + "\" kann nicht gelesen werden."},
      // A page without one of its pictures still reaches the desktop: said, but no failure.
      {"missing picture", {"-p" + folder_.File("album/gaps.kvt"), project, "--wallpaper=x11"},
       {}, 0, "1 Bild konnte nicht gezeichnet werden: Die Datei \"" + gone +
                  "\" kann nicht gefunden werden."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> argv = Environment(xvfb.Display());
    // The test program's own settings live in a keyfile; the album picks its store as it would
    // in a session.
    argv.insert(argv.begin() + 1, {"-u", "GSETTINGS_BACKEND"});
    argv.insert(argv.end(), c.environment.begin(), c.environment.end());
    argv.push_back(NIMBRA_PROGRAM);
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
    argv.insert(argv.end(), {"--once", "--work-area=96x54"});
    const TProcessResult run = RunProcess(argv, std::chrono::seconds(60));
    EXPECT_FALSE(run.TimedOut) << "waited for a click: " << run.Output;
    EXPECT_EQ(run.ExitStatus, c.exitStatus) << run.Describe();
    EXPECT_NE(run.Output.find(c.message), std::string::npos) << run.Output;
  }
}

// A GNOME session's settings store: the read-back that catches a store nobody runs must take the
// page where dconf does run. dconf's service and the album share the session's folders, as they
// do in a real session.
TEST_F(AlbumProgramStartupTest, GnomeWithDconfTakesThePage) {
  test::TXvfb xvfb;
  ASSERT_EQ(xvfb.Start(320, 240), "");
  const std::vector<std::string> session{"XDG_CONFIG_HOME=" + folder_.File("config"),
                                         "XDG_RUNTIME_DIR=" + folder_.File("run")};
  std::vector<std::string> busCommand{"env"};
  busCommand.insert(busCommand.end(), session.begin(), session.end());
  busCommand.insert(busCommand.end(),
                    {"dbus-daemon", "--session", "--nofork", "--print-address=1"});
  test::TTestChild bus;
  std::string address;
  ASSERT_EQ(bus.Start(busCommand, &address), "");
  const std::vector<std::string> photos = test::WriteStartupPhotos(folder_.File("album"));
  test::WriteStartupShow(folder_.File("album/show.kvt"), photos);
  test::WriteStartupProject(folder_.File("album/show.pwt"));

  std::vector<std::string> argv = Environment(xvfb.Display());
  argv.insert(argv.begin() + 1, {"-u", "GSETTINGS_BACKEND"});
  argv.push_back("DBUS_SESSION_BUS_ADDRESS=" + address);
  std::vector<std::string> gsettings = argv;
  argv.insert(argv.end(), {NIMBRA_PROGRAM, "-p" + folder_.File("album/show.kvt"),
                           "-t" + folder_.File("album/show.pwt"), "--once", "--work-area=96x54",
                           "--wallpaper=gnome"});
  const TProcessResult run = RunProcess(argv, std::chrono::seconds(60));
  ASSERT_TRUE(run.Succeeded()) << run.Describe();
  const std::string marker = "written to ";
  const size_t at = run.Output.find(marker);
  ASSERT_NE(at, std::string::npos) << run.Output;
  const std::string file =
      run.Output.substr(at + marker.size(), run.Output.find('\n', at) - at - marker.size());

  gsettings.insert(gsettings.end(), {"gsettings", "get", "org.gnome.desktop.background",
                                     "picture-uri"});
  const TProcessResult stored = RunProcess(gsettings, std::chrono::seconds(30));
  ASSERT_TRUE(stored.Succeeded()) << stored.Describe();
  EXPECT_EQ(stored.Output, "'" + FileUri(file) + "'\n");
}

// Without any display: the tray has nowhere to show and says so, --once renders all the same.
TEST_F(AlbumProgramStartupTest, WithoutADisplayOnlyOnceRuns) {
  const std::vector<std::string> photos = test::WriteStartupPhotos(folder_.File("album"));
  test::WriteStartupShow(folder_.File("album/show.kvt"), photos);
  test::WriteStartupProject(folder_.File("album/show.pwt"));
  const std::vector<std::string> album{NIMBRA_PROGRAM, "-p" + folder_.File("album/show.kvt"),
                                       "-t" + folder_.File("album/show.pwt"), "--work-area=96x54"};

  std::vector<std::string> tray = album;
  tray.insert(tray.begin(), {"timeout", "-s", "KILL", "60"});
  const TProcessResult refused = Run(tray, "");
  EXPECT_EQ(refused.ExitStatus, 1) << refused.Describe();
  EXPECT_NE(refused.Output.find("Ohne Desktop kann das Album nicht laufen"), std::string::npos)
      << refused.Output;
  EXPECT_NE(refused.Output.find("--once"), std::string::npos) << refused.Output;

  // The wallpaper the session detects without a desktop is the file alone.
  std::vector<std::string> once = album;
  once.push_back("--once");
  const TProcessResult rendered = Run(once, "");
  ASSERT_TRUE(rendered.Succeeded()) << rendered.Describe();
  EXPECT_NE(rendered.Output.find("page 1 of 3 written to "), std::string::npos) << rendered.Output;
}

}  // namespace
}  // namespace nimbra
