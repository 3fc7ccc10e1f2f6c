#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <filesystem>
#include <functional>
#include <new>
#include <set>
#include <stdexcept>

#include "PlatformTestSession.h"
#include "TempFolder.h"
#include "platform/CommandWallpaper.h"
#include "platform/WallpaperSetter.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

const std::string kBase = "Velmora Nimbra Hintergrundbild";

// A desktop that records what it was shown and checks that the files exist when it is called.
class TRecordingBackend : public TWallpaperBackend {
 public:
  explicit TRecordingBackend(TWallpaperNeeds needs) : needs_(needs) {}
  std::string Name() const override { return "recording"; }
  TWallpaperNeeds Needs() const override { return needs_; }
  void Apply(const TWallpaperPicture& picture) override {
    if (needs_.ReadsFile) {
      EXPECT_TRUE(fs::exists(picture.BitmapFile));
      EXPECT_EQ(needs_.Png, fs::exists(picture.PngFile));
    } else {
      EXPECT_EQ(picture.BitmapFile, "");
    }
    shown.push_back(picture);
    if (!failure.empty()) throw EWallpaperError(failure);
  }
  TPreparedWallpaper Prepare(const TWallpaperPicture& picture) override {
    prepared.push_back(picture);
    if (!preparingFailure.empty()) throw EWallpaperError(preparingFailure);
    return TWallpaperBackend::Prepare(picture);
  }

  std::vector<TWallpaperPicture> shown;
  std::vector<TWallpaperPicture> prepared;
  std::string failure;
  std::string preparingFailure;

 private:
  TWallpaperNeeds needs_;
};

std::set<std::string> FilesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

uint32_t Read32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

TEST(WallpaperSetterTest, NoneWritesOnlyTheBitmapFileCreatingItsFolder) {
  TempFolder temp;
  const fs::path folder = temp.Path() / "Velmora" / "Nimbra";
  TWallpaperSetter setter(std::make_unique<TNoWallpaperBackend>(), folder, kBase);
  TBitmap32 page(3, 2);
  page.SetPixel(0, 0, Color32(1, 2, 3));
  page.SetPixel(2, 1, Color32(0xFA, 0xFB, 0xFC));
  ASSERT_TRUE(setter.SetWallpaper(page)) << setter.LastError();
  ASSERT_TRUE(setter.SetWallpaper(page)) << setter.LastError();
  EXPECT_EQ(FilesIn(folder), std::set<std::string>{kBase + ".bmp"});
  EXPECT_EQ(setter.CurrentFile(), (folder / (kBase + ".bmp")).string());

  const std::string bytes = TempFolder::Read(setter.CurrentFile());
  const size_t row = 12;  // 3 pixels of 3 bytes, padded to 4
  ASSERT_EQ(bytes.size(), 54 + 2 * row);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(Read32(bytes, 2), bytes.size());
  EXPECT_EQ(Read32(bytes, 10), 54U);
  EXPECT_EQ(Read32(bytes, 18), 3U);
  EXPECT_EQ(Read32(bytes, 22), 2U);
  EXPECT_EQ(Read32(bytes, 28) & 0xFFFF, 24U);
  // Bottom-up rows of blue, green, red: the file's first row is the page's last.
  EXPECT_EQ(bytes.substr(54 + 6, 3), "\xFC\xFB\xFA");
  EXPECT_EQ(bytes.substr(54 + row, 3), "\x03\x02\x01");
  // What another reader makes of it.
  const QImage image(QString::fromStdString(setter.CurrentFile()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.pixel(2, 1) & 0xFFFFFF, 0xFAFBFCU);

  EXPECT_FALSE(setter.SetWallpaper(TBitmap32()));
  EXPECT_NE(setter.LastError().find("leer"), std::string::npos) << setter.LastError();
}

TEST(WallpaperSetterTest, CachingDesktopsGetAlternatingNamesAndPngOnRequest) {
  TempFolder temp;
  auto backend =
      std::make_unique<TRecordingBackend>(TWallpaperNeeds{.FreshName = true, .Png = true});
  TRecordingBackend& desktop = *backend;
  TWallpaperSetter setter(std::move(backend), temp.Path(), kBase);
  setter.SetMonitorNames({"HDMI-1"});
  const TBitmap32 first = test::QuadrantPage(8, 6, 0x11);
  ASSERT_TRUE(setter.SetWallpaper(first));
  ASSERT_TRUE(setter.SetWallpaper(test::QuadrantPage(8, 6, 0x22)));
  ASSERT_TRUE(setter.SetWallpaper(test::QuadrantPage(8, 6, 0x33)));
  ASSERT_EQ(desktop.shown.size(), 3U);
  EXPECT_EQ(desktop.shown[0].BitmapFile, temp.File(kBase + ".bmp"));
  EXPECT_EQ(desktop.shown[0].PngFile, temp.File(kBase + ".png"));
  EXPECT_EQ(desktop.shown[1].BitmapFile, temp.File(kBase + " (2).bmp"));
  EXPECT_EQ(desktop.shown[1].PngFile, temp.File(kBase + " (2).png"));
  EXPECT_EQ(desktop.shown[2].BitmapFile, temp.File(kBase + ".bmp"));
  EXPECT_EQ(desktop.shown[0].MonitorNames, std::vector<std::string>{"HDMI-1"});
  const QImage png(QString::fromStdString(desktop.shown[2].PngFile));
  const TBitmap32 third = test::QuadrantPage(8, 6, 0x33);
  ASSERT_EQ(png.size(), QSize(8, 6));
  for (const auto& [x, y] : {std::pair{0, 0}, {7, 0}, {0, 5}, {7, 5}}) {
    EXPECT_EQ(png.pixel(x, y), third.Pixel(x, y)) << x << "," << y;
  }
}

TEST(WallpaperSetterTest, AfterARestartTheOlderNameIsWritten) {
  for (const bool firstIsNewer : {true, false}) {
    TempFolder temp;
    const std::string a = temp.Write(kBase + ".bmp", "a");
    const std::string b = temp.Write(kBase + " (2).bmp", "b");
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(firstIsNewer ? a : b, now);
    fs::last_write_time(firstIsNewer ? b : a, now - std::chrono::hours(1));
    auto backend = std::make_unique<TRecordingBackend>(TWallpaperNeeds{.FreshName = true});
    TRecordingBackend& desktop = *backend;
    TWallpaperSetter setter(std::move(backend), temp.Path(), kBase);
    ASSERT_TRUE(setter.SetWallpaper(test::QuadrantPage(4, 4, 1)));
    EXPECT_EQ(desktop.shown.at(0).BitmapFile, firstIsNewer ? b : a);
  }
}

TEST(WallpaperSetterTest, FilesNoLongerOnShowAreRemovedAfterTheSwitch) {
  TempFolder temp;
  // Left behind by a desktop that wanted PNG.
  temp.Write(kBase + ".png", "old");
  temp.Write(kBase + " (2).png", "old");
  TWallpaperSetter setter(std::make_unique<TRecordingBackend>(TWallpaperNeeds{.FreshName = true}),
                          temp.Path(), kBase);
  ASSERT_TRUE(setter.SetWallpaper(test::QuadrantPage(4, 4, 1)));
  // Which file the desktop showed before this process is unknown: nothing goes yet.
  EXPECT_EQ(FilesIn(temp.Path()).size(), 3U);
  ASSERT_TRUE(setter.SetWallpaper(test::QuadrantPage(4, 4, 2)));
  EXPECT_EQ(FilesIn(temp.Path()), (std::set<std::string>{kBase + ".bmp", kBase + " (2).bmp"}));
}

TEST(WallpaperSetterTest, DesktopsTakingAPicturePerScreenGetEachScreensPartNamedAfterIt) {
  TempFolder temp;
  auto backend = std::make_unique<TRecordingBackend>(
      TWallpaperNeeds{.FreshName = true, .Png = true, .FilePerScreen = true});
  TRecordingBackend& desktop = *backend;
  TWallpaperSetter setter(std::move(backend), temp.Path(), kBase);
  // Two screens side by side on an 8 × 6 page: 4 × 6 and 4 × 4; a name with a slash stays a name.
  const TBitmap32 page = test::QuadrantPage(8, 6, 0x44);
  const std::vector<TWallpaperScreen> screens = {{"DP-1", {0, 0, 4, 6}, "", ""},
                                                 {"a/b", {4, 0, 8, 4}, "", ""}};
  ASSERT_TRUE(setter.SetWallpaper(page, screens)) << setter.LastError();
  ASSERT_EQ(desktop.shown.at(0).Screens.size(), 2U);
  const TWallpaperScreen& right = desktop.shown[0].Screens[1];
  EXPECT_EQ(desktop.shown[0].Screens[0].BitmapFile, temp.File(kBase + " DP-1.bmp"));
  EXPECT_EQ(right.BitmapFile, temp.File(kBase + " a_b.bmp"));
  EXPECT_EQ(right.PngFile, temp.File(kBase + " a_b.png"));
  const QImage part(QString::fromStdString(right.BitmapFile));
  ASSERT_EQ(part.size(), QSize(4, 4));
  EXPECT_EQ(part.pixel(3, 0), page.Pixel(7, 0));
  EXPECT_EQ(part.pixel(0, 3), page.Pixel(4, 3));

  // The next change on one screen: the screens' files go once the desktop has switched twice.
  ASSERT_TRUE(setter.SetWallpaper(page, {screens[0]}));
  EXPECT_TRUE(desktop.shown[1].Screens.at(0).BitmapFile.empty());
  ASSERT_TRUE(setter.SetWallpaper(page));
  EXPECT_EQ(FilesIn(temp.Path()), (std::set<std::string>{kBase + ".bmp", kBase + ".png",
                                                          kBase + " (2).bmp", kBase + " (2).png"}));
}

TEST(WallpaperSetterTest, FailuresKeepTheirReasonAndThePictureOnShow) {
  TempFolder temp;
  auto backend = std::make_unique<TRecordingBackend>(TWallpaperNeeds{.FreshName = true});
  TRecordingBackend& desktop = *backend;
  TWallpaperSetter setter(std::move(backend), temp.Path(), kBase);

  ASSERT_TRUE(setter.SetWallpaper(test::QuadrantPage(4, 4, 1)));  // shows the first name
  desktop.failure = "desktop said no";
  EXPECT_FALSE(setter.SetWallpaper(test::QuadrantPage(4, 4, 2)));
  EXPECT_FALSE(setter.SetWallpaper(test::QuadrantPage(4, 4, 3)));
  EXPECT_EQ(setter.LastError(), "recording: desktop said no");
  // The first name is still on show, so the failed changes must not have used it.
  EXPECT_EQ(desktop.shown[1].BitmapFile, temp.File(kBase + " (2).bmp"));
  EXPECT_EQ(desktop.shown[2].BitmapFile, temp.File(kBase + " (2).bmp"));
  EXPECT_EQ(setter.CurrentFile(), temp.File(kBase + ".bmp"));

  desktop.failure.clear();
  ASSERT_TRUE(setter.SetWallpaper(test::QuadrantPage(4, 4, 4)));
  EXPECT_EQ(setter.LastError(), "");
}

TEST(WallpaperSetterTest, AnUnwritableFolderFailsBeforeTheDesktopIsAsked) {
  TempFolder temp;
  const std::string blocker = temp.Write("Velmora", "a file where the folder should be");
  auto backend = std::make_unique<TRecordingBackend>(TWallpaperNeeds{});
  TRecordingBackend& desktop = *backend;
  TWallpaperSetter setter(std::move(backend), fs::path(blocker) / "Nimbra", kBase);
  EXPECT_FALSE(setter.SetWallpaper(test::QuadrantPage(4, 4, 1)));
  EXPECT_EQ(setter.LastError(), "Der Ordner \"" + (fs::path(blocker) / "Nimbra").string() +
                                    "\" kann nicht angelegt werden: " +
                                    "Ein Teil des Pfades ist kein Ordner");
  EXPECT_TRUE(desktop.shown.empty());
}

// A desktop that takes the page itself makes it ready while the file is written, and shows it
// only once the file is there: a change that fails leaves the desktop as it was, and a file that
// cannot be written is the reason told.
TEST(WallpaperSetterTest, ADesktopTakingThePagePreparesItWhileTheFileIsWritten) {
  struct TCase {
    const char* name;
    bool folderBlocked;
    std::string preparingFailure;
    std::string showingFailure;
    size_t shown;
    std::string reason;  // a part of it; empty: the change works
  };
  const TCase cases[] = {
      {"all works", false, "", "", 1, ""},
      {"the page is not taken", false, "too big", "", 0, "recording: too big"},
      {"the desktop refuses to show it", false, "", "said no", 1, "recording: said no"},
      {"the file cannot be written", true, "", "", 0, "\" kann nicht angelegt werden: "},
      {"neither works", true, "too big", "", 0, "\" kann nicht angelegt werden: "},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder temp;
    fs::path folder = temp.Path();
    if (c.folderBlocked) {
      folder = fs::path(temp.Write("Velmora", "a file, not a folder")) / "Nimbra";
    }
    auto backend = std::make_unique<TRecordingBackend>(TWallpaperNeeds{.ReadsFile = false});
    TRecordingBackend& desktop = *backend;
    desktop.preparingFailure = c.preparingFailure;
    desktop.failure = c.showingFailure;
    TWallpaperSetter setter(std::move(backend), folder, kBase);
    const TBitmap32 page = test::QuadrantPage(4, 4, 1);
    EXPECT_EQ(setter.SetWallpaper(page), c.reason.empty());
    ASSERT_EQ(desktop.prepared.size(), 1U);
    EXPECT_EQ(desktop.prepared[0].Page, &page);
    EXPECT_EQ(desktop.shown.size(), c.shown);
    if (c.reason.empty()) {
      EXPECT_EQ(setter.CurrentFile(), temp.File(kBase + ".bmp"));
      const QImage image(QString::fromStdString(setter.CurrentFile()));
      EXPECT_EQ(image.pixel(3, 3), page.Pixel(3, 3));
      EXPECT_EQ(setter.LastError(), "");
    } else {
      EXPECT_EQ(setter.CurrentFile(), "");
      EXPECT_NE(setter.LastError().find(c.reason), std::string::npos) << setter.LastError();
    }
  }
}

// A desktop whose every answer is the exception it is given.
class TRaisingBackend : public TWallpaperBackend {
 public:
  TRaisingBackend(std::function<void()> raise, bool readsFile)
      : raise_(std::move(raise)), readsFile_(readsFile) {}
  std::string Name() const override { return "raising"; }
  TWallpaperNeeds Needs() const override { return {.ReadsFile = readsFile_}; }
  void Apply(const TWallpaperPicture&) override { raise_(); }

 private:
  std::function<void()> raise_;
  bool readsFile_;
};

TEST(WallpaperSetterTest, OnlyTheProjectsErrorsAndMemoryAreRefusalsAndAFaultOfOursPassesOn) {
  struct TCase {
    const char* name;
    std::function<void()> raise;
    // Empty: the exception leaves SetWallpaper.
    std::string reason;
  };
  const TCase cases[] = {
      {"desktop error", [] { throw EWallpaperError("the desktop said no"); },
       "raising: the desktop said no"},
      {"no memory", [] { throw std::bad_alloc(); }, "raising: std::bad_alloc"},
      {"fault of ours", [] { throw std::logic_error("a broken promise"); }, ""},
  };
  for (const TCase& c : cases) {
    // Also for a desktop handed the page while the file is written beside.
    for (const bool readsFile : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (readsFile ? ", reads the file" : ", takes the page"));
      TempFolder temp;
      TWallpaperSetter setter(std::make_unique<TRaisingBackend>(c.raise, readsFile), temp.Path(),
                              kBase);
      if (c.reason.empty()) {
        EXPECT_THROW(setter.SetWallpaper(test::QuadrantPage(4, 4, 1)), std::logic_error);
      } else {
        EXPECT_FALSE(setter.SetWallpaper(test::QuadrantPage(4, 4, 1)));
        EXPECT_EQ(setter.LastError(), c.reason);
      }
      EXPECT_EQ(setter.CurrentFile(), "");
    }
  }
}

}  // namespace
}  // namespace nimbra
