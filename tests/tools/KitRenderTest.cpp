#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "KitRenderTestShow.h"
#include "KitRunner.h"
#include "TempFolder.h"
#include "raster/Bitmap32Graphic.h"
#include "raster/PictureFormatRegistration.h"
#include "storage/FileAccess.h"

namespace nimbra {
namespace {

using test::KitResult;
using test::RunKitCommand;
using test::TempFolder;

constexpr TColor32 kBackground = Color32(30, 50, 80);
constexpr TColor32 kRed = Color32(220, 20, 10);
constexpr TColor32 kGreen = Color32(10, 200, 40);

// The pictures of a render run as the album's readers see them.
class KitRenderTest : public ::testing::Test {
 protected:
  // Two one-colour photos in the proportions of the picture box, a slideshow naming them as
  // given, and the one-picture project.
  void WriteAlbum(const std::string& redName, const std::string& greenName) {
    test::WriteColourPicture(folder_.File("rot.png"), 40, 30, kRed);
    test::WriteColourPicture(folder_.File("gruen.png"), 40, 30, kGreen);
    test::WriteNamedPictureShow(show_, {redName, greenName});
    test::WriteOnePictureProject(project_, kBackground);
  }

  KitResult Render(std::vector<std::string> options) {
    std::vector<std::string> args = {"render", "-p", show_, "-t", project_, "-o", output_};
    args.insert(args.end(), options.begin(), options.end());
    return RunKitCommand(args);
  }

  static TBitmap32 ReadBack(const std::string& name) {
    // Each command run ends by unregistering the readers it registered.
    RegisterPictureFormats();
    TFileAccess access;
    std::unique_ptr<TGraphic> graphic = LoadGraphic(access, name, TDecodeHint{});
    auto* pixels = dynamic_cast<TBitmap32Graphic*>(graphic.get());
    if (pixels == nullptr) return TBitmap32();
    return std::move(pixels->Bitmap());
  }

  // Background at the corner, the photo in the middle of the picture box.
  static void ExpectPage(const std::string& name, int width, int height, TColor32 photo) {
    const TBitmap32 page = ReadBack(name);
    ASSERT_EQ(page.Width(), width) << name;
    ASSERT_EQ(page.Height(), height) << name;
    EXPECT_EQ(page.Pixel(1, 1), kBackground) << name;
    EXPECT_EQ(page.Pixel(width - 2, height - 2), kBackground) << name;
    EXPECT_EQ(page.Pixel(width / 2, height / 2), photo) << name;
    EXPECT_EQ(page.Pixel(width / 4 + 2, height / 4 + 2), photo) << name;
  }

  std::vector<std::string> OutputFiles() const {
    std::vector<std::string> names;
    if (!std::filesystem::exists(output_)) return names;
    for (const auto& entry : std::filesystem::directory_iterator(output_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder folder_;
  std::string show_ = folder_.File("show.kvt");
  std::string project_ = folder_.File("album.pwt");
  std::string output_ = folder_.File("Seiten");
};

TEST_F(KitRenderTest, EveryPageBecomesANumberedPictureOfTheGivenSize) {
  WriteAlbum(folder_.File("rot.png"), "gruen.png");  // the second relative to the slideshow
  const KitResult result = Render({"--size", "80x60"});
  ASSERT_EQ(result.exitCode, 0) << result.err << result.out;
  EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"Bild00001.png", "Bild00002.png"}));
  ExpectPage(output_ + "/Bild00001.png", 80, 60, kRed);
  ExpectPage(output_ + "/Bild00002.png", 80, 60, kGreen);
  EXPECT_EQ(result.out,
            "wrote " + output_ + "/Bild00001.png\nwrote " + output_ + "/Bild00002.png\n");
}

TEST_F(KitRenderTest, ChosenPagesFormatAndPrefixAndOverwritingIsAHint) {
  WriteAlbum(folder_.File("rot.png"), folder_.File("gruen.png"));
  for (const char* format : {"bmp", "jpg"}) {
    const KitResult result = Render({"--pages", "2", "--format", format, "--prefix", "Seite"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
  }
  EXPECT_EQ(OutputFiles(), (std::vector<std::string>{"Seite00002.bmp", "Seite00002.jpg"}));
  ExpectPage(output_ + "/Seite00002.bmp", 1024, 768, kGreen);

  const KitResult again = Render({"--pages", "2-2,2", "--format", "bmp", "--prefix", "Seite"});
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(again.out, "wrote " + output_ + "/Seite00002.bmp\nhint: Die Datei \"" + output_ +
                           "/Seite00002.bmp\" existiert bereits, sie wird überschrieben.\n");

  const KitResult missing = Render({"--pages", "1,3"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("page 3 is not in the album, which has 2 pages"), std::string::npos)
      << missing.err;
  EXPECT_FALSE(std::filesystem::exists(output_ + "/Bild00001.png"));
}

TEST_F(KitRenderTest, AMissingPictureIsAWarningAndAFolderThatCannotBeMadeFails) {
  WriteAlbum(folder_.File("rot.png"), folder_.File("fehlt.png"));
  const KitResult result = Render({"--size", "80x60"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("warning: Die Datei \"" + folder_.File("fehlt.png") +
                            "\" kann nicht gefunden werden."),
            std::string::npos)
      << result.out;
  EXPECT_EQ(result.err, "1 Bild konnte nicht gezeichnet werden: Die Datei \"" +
                            folder_.File("fehlt.png") + "\" kann nicht gefunden werden.\n");
  const TBitmap32 empty = ReadBack(output_ + "/Bild00002.png");
  ASSERT_FALSE(empty.Empty());
  EXPECT_EQ(empty.Pixel(40, 30), kBackground);

  output_ = folder_.Write("blocker", "a file where the folder should be") + "/Seiten";
  const KitResult blocked = Render({"--size", "80x60", "--pages", "1"});
  EXPECT_EQ(blocked.exitCode, 1);
  EXPECT_NE(blocked.out.find("error 202: Das Verzeichnis \"" + output_ +
                             "\" kann nicht erstellt werden."),
            std::string::npos)
      << blocked.out;
  EXPECT_NE(blocked.out.find("error 1001: Die Datei \"" + output_ +
                             "/Bild00001.png\" kann nicht gespeichert werden."),
            std::string::npos)
      << blocked.out;
  EXPECT_EQ(blocked.out.find("wrote"), std::string::npos) << blocked.out;
  EXPECT_NE(blocked.err.find("2 error(s)"), std::string::npos) << blocked.err;
}

TEST_F(KitRenderTest, AnAlbumExecutableIsReadFromItsPackage) {
  // Inside the package the photos are package names.
  WriteAlbum("|rot.png", "|gruen.png");
  const std::string exe = folder_.Write("nimbra", "#!/bin/sh\nexit 0\n");
  ::chmod(exe.c_str(), 0755);
  const std::string album = folder_.File("album");
  ASSERT_EQ(RunKitCommand({"pack", "--exe", exe, "-o", album, show_, project_,
                           folder_.File("rot.png"), folder_.File("gruen.png")})
                .exitCode,
            0);
  // The documents beside the executable must not be the ones read.
  std::filesystem::remove(show_);
  std::filesystem::remove(project_);
  const KitResult result =
      RunKitCommand({"render", "--album", album, "--size", "80x60", "-o", output_});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ExpectPage(output_ + "/Bild00001.png", 80, 60, kRed);
  ExpectPage(output_ + "/Bild00002.png", 80, 60, kGreen);

  const KitResult notAnAlbum =
      RunKitCommand({"render", "--album", folder_.File("rot.png"), "-o", output_});
  EXPECT_EQ(notAnAlbum.exitCode, 1);
}

TEST_F(KitRenderTest, CommandLinesThatDoNotFitAreUsageErrors) {
  WriteAlbum(folder_.File("rot.png"), folder_.File("gruen.png"));
  const std::vector<std::vector<std::string>> bad = {
      {"render", "-p", show_, "-t", project_},  // no -o
      {"render", "-p", show_, "-o", output_},   // no -t
      {"render", "--album", "x", "-p", show_, "-t", project_, "-o", output_},
      {"render", "-p", show_, "-t", project_, "-o", output_, "extra"},
  };
  for (const auto& args : bad) EXPECT_EQ(RunKitCommand(args).exitCode, 2) << args.back();
  for (const std::vector<std::string>& options :
       std::vector<std::vector<std::string>>{{"--size", "80"},
                                             {"--size", "0x60"},
                                             {"--size", "80x-6"},
                                             {"--size", "40000x10"},
                                             {"--size", "80x60x"},
                                             {"--dpi", "0"},
                                             {"--dpi", "nan"},
                                             {"--dpi", "96dpi"},
                                             {"--pages", "0"},
                                             {"--pages", "3-1"},
                                             {"--pages", "1,"},
                                             {"--pages", "a"},
                                             {"--pages", "1-2147483647"},
                                             {"--format", "gif"},
                                             {"--prefix", "a/b"},
                                             {"--seed", "-1"},
                                             {"--seed", "4294967296"}}) {
    const KitResult result = Render(options);
    EXPECT_EQ(result.exitCode, 2) << options[0] << " " << options[1];
    EXPECT_NE(result.err.find("Usage: nimbra-kit render"), std::string::npos);
  }
  EXPECT_TRUE(OutputFiles().empty());
  const KitResult help = RunKitCommand({"render", "--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--album EXE"), std::string::npos);
}

TEST_F(KitRenderTest, ASeedRepeatsThePicturesRandomTurnsExactly) {
  WriteAlbum(folder_.File("rot.png"), folder_.File("gruen.png"));
  test::WriteOnePictureProject(project_, kBackground, true);
  const auto page = [&](const std::string& seed, const std::string& folder) {
    const KitResult result = RunKitCommand({"render", "-p", show_, "-t", project_, "-o",
                                            folder_.File(folder), "--seed", seed, "--pages", "1"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return TempFolder::Read(folder_.File(folder + "/Bild00001.png"));
  };
  const std::string first = page("7", "a");
  EXPECT_EQ(page("7", "b"), first);
  EXPECT_NE(page("8", "c"), first);
}

}  // namespace
}  // namespace nimbra
