#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "KitMakePhotos.h"
#include "KitRunner.h"
#include "TempFolder.h"
#include "album/DesktopNimbraProperties.h"
#include "nimbra-kit/AlbumCommandParts.h"
#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/KitStartup.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "storage/MemoryStream.h"
#include "storage/Packager.h"

namespace nimbra::test {
namespace {

namespace fs = std::filesystem;

TEST(KitAlbumTest, SameNamedPhotosGetDistinctPackageNames) {
  EXPECT_EQ(kit::UniquePackageNames({"a.jpg", "A.JPG", "b", "a.jpg", "a-2.jpg", "B"}),
            (std::vector<std::string>{"a.jpg", "A-2.JPG", "b", "a-3.jpg", "a-2-2.jpg", "B-2"}));
  // A name the package cannot store keeps what it can.
  EXPECT_EQ(kit::UniquePackageNames({"Hügel\xE2\x98\x80.jpg"}),
            (std::vector<std::string>{"Hügel_.jpg"}));
}

TEST(KitAlbumTest, IntervalsAndModesOfTheCommandLine) {
  EXPECT_EQ(kit::ParseInterval("30m"), 1800000);
  EXPECT_EQ(kit::ParseInterval("90s"), 90000);
  EXPECT_EQ(kit::ParseInterval("1h30m"), 5400000);
  // The album's shortest interval.
  EXPECT_EQ(kit::ParseInterval("10s"), 10000);
  for (const char* wrong : {"", "30", "m", "0s", "9s", "10x", "-5m", "999999h", "3m5"}) {
    EXPECT_THROW(kit::ParseInterval(wrong), kit::EUsageError) << wrong;
  }
  EXPECT_EQ(kit::ParseChangeMode("timed"), 0);
  EXPECT_EQ(kit::ParseChangeMode("start"), 1);
  EXPECT_EQ(kit::ParseChangeMode("manual"), 2);
  EXPECT_THROW(kit::ParseChangeMode("sometimes"), kit::EUsageError);
}

TEST(KitAlbumTest, OptionsAreReadWithoutLookingAtTheFolders) {
  const auto read = [](const std::vector<std::string>& args) {
    return kit::ReadAlbumOptions(kit::TCommandLine(args, kit::kAlbumCommand.Options));
  };
  const std::vector<std::string> needed = {"Fotos", "--layout", "vier", "-o", "album"};
  const kit::TAlbumOptions defaults = read(needed);
  EXPECT_EQ(defaults.Order, kit::TPhotoOrder::ByDate);
  EXPECT_FALSE(defaults.Interval || defaults.ChangeMode);
  std::vector<std::string> given = needed;
  given.insert(given.end(), {"--sort", "name", "--interval", "90s", "--mode", "manual"});
  const kit::TAlbumOptions options = read(given);
  EXPECT_EQ(options.Order, kit::TPhotoOrder::ByName);
  EXPECT_EQ(options.Interval, 90000);
  EXPECT_EQ(options.ChangeMode, 2);
  for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
           {"Fotos", "--layout", "vier"},
           {"--layout", "vier", "-o", "album"},
           {"Fotos", "-o", "album"},
           {"Fotos", "--layout", "vier", "-o", "album", "--sort", "size"},
           {"Fotos", "--layout", "vier", "-o", "album", "--interval", "5"},
           {"Fotos", "--layout", "vier", "-o", "album", "--mode", "daily"}}) {
    EXPECT_THROW(read(wrong), kit::EUsageError) << wrong.back();
  }
}

// A stand-in for the album program: any executable file will do to carry a package.
std::string FakeProgram(const TempFolder& folder) {
  const std::string program = folder.Write("nimbra", "#!/bin/sh\nexit 0\n");
  ::chmod(program.c_str(), 0755);
  return program;
}

std::string Extracted(TPackager& packager, const std::string& name, const TempFolder& folder) {
  const TPackageFileListItem* record = packager.Directory().FindByName(name);
  if (record == nullptr) return "(missing " + name + ")";
  const std::string path = folder.File("extracted-" + name);
  if (!packager.Extract(*record, path)) return "(not extracted)";
  return TempFolder::Read(path);
}

TEST(KitAlbumTest, AlbumCarriesShowProjectSettingsAndEveryPhotoUnderItsPackageName) {
  const TempFolder folder;
  WriteMixedPhotos(folder.File("photos"), 6);
  // Same names in two folders.
  fs::copy_file(folder.File("photos/foto00.jpg"), folder.File("photos/Meer/foto00.jpg"));
  const std::string album = folder.File("album");
  const KitResult result =
      RunKitCommand({"album", folder.File("photos"), "--layout", "vier", "-o", album, "--interval",
                     "90s", "--mode", "start", "--exe", FakeProgram(folder)});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  struct stat info {};
  ASSERT_EQ(::stat(album.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0755u);

  TPackager packager;
  ASSERT_TRUE(packager.OpenExecutable(album)) << packager.LastError();
  std::vector<std::string> names;
  for (int i = 0; i < packager.Directory().Count(); ++i) {
    names.push_back(packager.Directory().Items(i)->FileName);
  }
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3),
            (std::vector<std::string>{"Album.kvt", "Album.pwt", "Oriel.cfg"}));
  EXPECT_EQ(names.size(), 3u + 7u);

  // The settings: 90 seconds, changed at every start, from the first page.
  TDesktopNimbraProperties settings;
  TMemoryStream stored;
  const std::string bytes = Extracted(packager, "Oriel.cfg", folder);
  ASSERT_EQ(bytes.size(), 9u);
  stored.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  stored.SetPosition(0);
  ASSERT_TRUE(settings.LoadFromStream(stored, 0, 0));
  EXPECT_EQ(settings.Interval(), 90000);
  EXPECT_EQ(settings.ChangeMode(), 1);
  EXPECT_EQ(settings.Page(), -1);

  // Every picture of the show names a distinct photo of the package, by its package name, and
  // the package holds that photo's bytes.
  const kit::TKitSession session;
  TSlideShow show;
  const std::string showFile = folder.Write("Album.kvt", Extracted(packager, "Album.kvt", folder));
  ASSERT_EQ(show.LoadFromFile(showFile), TSlideShowLoad::Loaded);
  std::set<std::string> pictures;
  for (TSlideShowObject* object = show.NextInTree(nullptr); object != nullptr;
       object = show.NextInTree(object)) {
    const auto* picture = dynamic_cast<const TExtPicSlideShowObject*>(object);
    if (picture == nullptr) continue;
    const std::string name = picture->Picture().FileName();
    ASSERT_TRUE(name.starts_with("|")) << name;
    EXPECT_NE(packager.Directory().FindByName(name.substr(1)), nullptr) << name;
    pictures.insert(name);
  }
  EXPECT_EQ(pictures.size(), 7u);
  EXPECT_TRUE(pictures.count("|foto00.jpg") && pictures.count("|foto00-2.jpg"));
  EXPECT_EQ(Extracted(packager, "foto00-2.jpg", folder),
            TempFolder::Read(folder.File("photos/Meer/foto00.jpg")));
}

TEST(KitAlbumTest, FailureLeavesNoAlbumAndNoTemporaryFile) {
  const TempFolder folder;
  fs::create_directories(folder.File("leer"));
  fs::create_directories(folder.File("out"));
  const std::string album = folder.File("out/album");
  const std::string program = FakeProgram(folder);
  const KitResult empty = RunKitCommand(
      {"album", folder.File("leer"), "--layout", "einzel", "-o", album, "--exe", program});
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_NE(empty.err.find("holds no photos"), std::string::npos) << empty.err;

  WriteMixedPhotos(folder.File("photos"), 3);
  const KitResult badLayout = RunKitCommand(
      {"album", folder.File("photos"), "--layout", "fehlt.json", "-o", album, "--exe", program});
  EXPECT_EQ(badLayout.exitCode, 1);
  const KitResult badProgram = RunKitCommand({"album", folder.File("photos"), "--layout", "zwei",
                                              "-o", album, "--exe", folder.File("kein-programm")});
  EXPECT_EQ(badProgram.exitCode, 1);
  EXPECT_EQ(RunKitCommand({"album", folder.File("photos"), "--layout", "zwei", "-o", album, "--exe",
                           program, "--interval", "bald"})
                .exitCode,
            2);
  EXPECT_TRUE(fs::is_empty(folder.File("out")));
}

}  // namespace
}  // namespace nimbra::test
