#include "framework/FileNameResolution.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "framework/FrameworkFolders.h"

namespace nimbra {
namespace {

namespace fs = std::filesystem;

// A program folder and an album folder beside it, both private to the test.
class FileNameResolutionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(program_);
    fs::create_directories(album_);
    SetProgramFolder(program_.string());
    SetUserDataFolder((root_.Path() / "daten").string());
  }
  void TearDown() override { ClearFrameworkFolders(); }

  std::string Put(const fs::path& file) const {
    fs::create_directories(file.parent_path());
    return root_.Write(fs::relative(file, root_.Path()).string(), "x");
  }

  test::TempFolder root_;
  fs::path program_ = root_.Path() / "programm";
  fs::path album_ = root_.Path() / "album";
  std::string document_ = (album_ / "urlaub.kvt").string();
};

TEST_F(FileNameResolutionTest, NamesThatAreNoFilesPassThrough) {
  EXPECT_EQ(ResolveFileName("", document_), "");
  EXPECT_EQ(ResolveFileName("?Archiv:17", document_), "?Archiv:17");
  EXPECT_EQ(ResolveFileName("C:\\Bilder\\", document_), "");
  EXPECT_EQ(ResolveFileName("C:\\Bilder\\fehlt.jpg", document_), "");
  EXPECT_EQ(ResolveTemplateFileName("|Vorlagen\\rahmen.png", document_), "|Vorlagen\\rahmen.png");
}

TEST_F(FileNameResolutionTest, WithoutABaseTheProgramFolderHoldsTheFilePart) {
  const std::string picture = Put(program_ / "sonne.jpg");
  EXPECT_EQ(ResolveFileName("D:\\Irgendwo\\sonne.jpg", ""), picture);
  EXPECT_EQ(ResolveFileName("sonne.jpg", ""), picture);
}

TEST_F(FileNameResolutionTest, AGoneWindowsPathFindsTheFileBesideTheDocument) {
  const std::string beside = Put(album_ / "strand.jpg");
  Put(program_ / "strand.jpg");
  EXPECT_EQ(ResolveFileName("C:\\Dokumente und Einstellungen\\Bilder\\strand.jpg", document_),
            beside);
}

TEST_F(FileNameResolutionTest, LetterCaseOfTheFileNameMayDiffer) {
  const std::string picture = Put(album_ / "Urlaub.jpg");
  EXPECT_EQ(ResolveFileName("C:\\Bilder\\URLAUB.JPG", document_), picture);
  const std::string umlaut = Put(album_ / "Grüße.png");
  EXPECT_EQ(ResolveFileName("GRÜSSE.png", document_), "");
  EXPECT_EQ(ResolveFileName("GRÜßE.PNG", document_), umlaut);
}

TEST_F(FileNameResolutionTest, RelativeNamesKeepTheirFoldersBelowTheBase) {
  const std::string nested = Put(album_ / "Bilder" / "2004" / "berg.jpg");
  EXPECT_EQ(ResolveFileName("Bilder\\2004\\berg.jpg", document_), nested);
  EXPECT_EQ(ResolveFileName("Bilder/2004/berg.jpg", document_), nested);
  // Taken against the program folder, not against the current directory.
  const std::string inProgram = Put(program_ / "Bilder" / "see.jpg");
  EXPECT_EQ(ResolveFileName("Bilder\\see.jpg", ""), inProgram);
}

TEST_F(FileNameResolutionTest, ExistingAbsolutePathsWinAndTheCurrentDirectoryStays) {
  const std::string elsewhere = Put(root_.Path() / "anderswo" / "wald.jpg");
  Put(album_ / "wald.jpg");
  std::string windowsStyle = elsewhere;
  std::replace(windowsStyle.begin(), windowsStyle.end(), '/', '\\');

  const fs::path before = fs::current_path();
  fs::current_path(root_.Path() / "anderswo");
  EXPECT_EQ(ResolveFileName(windowsStyle, document_), elsewhere);
  // A relative name is not looked for in the current directory.
  EXPECT_EQ(ResolveFileName("wald.jpg", ""), "");
  EXPECT_EQ(fs::current_path(), root_.Path() / "anderswo");
  fs::current_path(before);
}

TEST_F(FileNameResolutionTest, TemplatePicturesAreLookedForInThePresets) {
  const std::string background = Put(program_ / "Presets" / "Images" / "Background" / "himmel.jpg");
  const std::string direct = Put(program_ / "Presets" / "muster.png");
  EXPECT_EQ(ResolveTemplateFileName("C:\\Vorlagen\\himmel.jpg", ""), background);
  EXPECT_EQ(ResolveTemplateFileName("muster.png", document_), direct);

  const std::string own = Put(root_.Path() / "daten" / "Presets" / "eigen.png");
  EXPECT_EQ(ResolveTemplateFileName("eigen.png", document_), own);
  EXPECT_EQ(ResolveTemplateFileName("", document_), "");
}

}  // namespace
}  // namespace nimbra
