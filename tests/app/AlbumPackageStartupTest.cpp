#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "StartupApplication.h"
#include "StartupTestAlbum.h"
#include "TempFolder.h"
#include "album/AlbumPackage.h"
#include "album/DesktopNimbraProperties.h"
#include "app/AlbumStartup.h"
#include "slideshow/SlideShowInterfaces.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowObjectList.h"
#include "storage/Packager.h"

namespace nimbra {
namespace {


class AlbumPackageStartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::StartupApplication();
    startup_ = std::make_unique<TAlbumStartup>();
  }
  void TearDown() override { startup_.reset(); }

  test::TempFolder folder_;
  std::unique_ptr<TAlbumStartup> startup_;
};

TEST_F(AlbumPackageStartupTest, ScanTakesTheFirstDocumentsInPackageOrderAndRegistersThePackage) {
  const std::string second = folder_.Write("b.KVT", "second slideshow");
  const std::string first = folder_.Write("a.kvt", "first slideshow");
  const std::string project = folder_.Write("p.pwt", "project");
  const std::string notes = folder_.Write("kvt.txt", "not a slideshow");
  const std::string package = folder_.File("album.pkg");
  test::WriteStartupPackage(package, {notes, second, first, project});

  std::unique_ptr<TPackager> packager = OpenAlbumPackager(package);
  ASSERT_NE(packager, nullptr);
  TFileAccess files;
  const TPackageScan scan = ScanPackage(std::move(packager), package, files);
  EXPECT_EQ(scan.SlideShowFileName, "|b.KVT");
  EXPECT_EQ(scan.TemplateFileName, "|p.pwt");
  EXPECT_EQ(scan.Jp2LibraryFile, "");
  EXPECT_EQ(files.PackageCount(), 1);
  EXPECT_TRUE(files.FileExists("|a.kvt"));
  EXPECT_TRUE(files.FileExists("album.pkg|a.kvt"));
  EXPECT_FALSE(files.FileExists("|missing.kvt"));
}

TEST_F(AlbumPackageStartupTest, PackagedAlbumOpensItsPhotosByPackageNameWhileItIsLoaded) {
  const std::vector<std::string> files = test::WriteStartupAlbumFiles(folder_.File(""), 2);
  const std::string program = folder_.File("Album");
  test::WriteStartupExecutable(program, files);
  {
    const std::unique_ptr<TAlbumDocuments> album = LoadAlbumPackage(program);
    EXPECT_TRUE(album->IsPackaged);
    EXPECT_EQ(album->SlideShowFileName, "|album.kvt");
    EXPECT_EQ(album->SlideShow->FileName(), "");
    ASSERT_EQ(album->SlideShow->RootList().Count(), 3);
    ASSERT_NE(album->Project, nullptr);
    ASSERT_NE(album->Tree, nullptr);
    ASSERT_NE(album->PackagedSettings, nullptr);
    EXPECT_EQ(album->PackagedSettings->ChangeMode(), 2);
    EXPECT_EQ(FileAccess().get(), album->Files.get());
    // The pictures keep their package names, which the file access opens inside the package.
    const auto* picture =
        dynamic_cast<const IFileReferences*>(album->SlideShow->RootList().Items(1));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetStoredFileName(), "|photo2.png");
    EXPECT_NE(FileAccess()->OpenFile(picture->GetStoredFileName()), nullptr);
  }
  EXPECT_EQ(FileAccess(), nullptr);
}

TEST_F(AlbumPackageStartupTest, AlbumsThatCannotBeLoadedSayWhy) {
  const std::string notAPackage = folder_.Write("nimbra", "just a program");
  EXPECT_THROW(LoadAlbumPackage(notAPackage), EAlbumLoadError);
  const std::string project = folder_.File("p.pwt");
  test::WriteStartupProject(project);
  const std::string onlyProject = folder_.File("Album");
  test::WriteStartupExecutable(onlyProject, {project});
  try {
    LoadAlbumPackage(onlyProject);
    ADD_FAILURE() << "an album without a slideshow loaded";
  } catch (const EAlbumLoadError& error) {
    EXPECT_NE(std::string(error.what()).find("*.kvt"), std::string::npos) << error.what();
  }
  EXPECT_EQ(FileAccess(), nullptr);
  EXPECT_THROW(LoadAlbumFiles(folder_.File("missing.kvt"), project), EAlbumLoadError);

  // A trailer whose start lies past the file: its own fault is named, not that of reading the
  // file as a plain package instead.
  std::string bytes = test::TempFolder::Read(onlyProject);
  const int64_t farAway = int64_t{1} << 40;
  bytes.replace(bytes.size() - 16, 8, reinterpret_cast<const char*>(&farAway), 8);
  const std::string broken = folder_.Write("Broken", bytes);
  try {
    LoadAlbumPackage(broken);
    ADD_FAILURE() << "an album with a broken trailer loaded";
  } catch (const EAlbumLoadError& error) {
    EXPECT_NE(std::string(error.what()).find("start offset 1099511627776 lies outside the file"),
              std::string::npos)
        << error.what();
  }
}

}  // namespace
}  // namespace nimbra
