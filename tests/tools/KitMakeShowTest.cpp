#include <gtest/gtest.h>

#include <filesystem>

#include "DemoPhotos.h"
#include "KitRunner.h"
#include "LargePictureFiles.h"
#include "TempFolder.h"
#include "nimbra-kit/KitStartup.h"
#include "nimbra-kit/MakeShowCommandPhotos.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInfoProperties.h"

namespace nimbra::test {
namespace {

namespace fs = std::filesystem;

void WriteJpeg(const TempFolder& folder, const std::string& name, const std::string& time) {
  const std::string jpeg =
      demo::EncodeJpeg(demo::PaintDemoPhoto(48, 32, demo::SignatureColor(0, 1), 1));
  fs::create_directories(fs::path(folder.File(name)).parent_path());
  folder.Write(name, time.empty() ? jpeg : demo::WithCaptureTime(jpeg, time));
}

void WritePng(const TempFolder& folder, const std::string& name) {
  fs::create_directories(fs::path(folder.File(name)).parent_path());
  folder.Write(name, demo::EncodePng(demo::PaintDemoPhoto(32, 48, demo::SignatureColor(1, 2), 2)));
}

// A folder with photos out of order, files that are no photos, and two sub-folders, one empty.
void WriteFolder(const TempFolder& folder) {
  WriteJpeg(folder, "photos/mai.jpg", "2024:05:01 10:00:00");
  WriteJpeg(folder, "photos/april.jpg", "2024:04:01 10:00:00");
  WritePng(folder, "photos/aaa-ohne-datum.png");
  folder.Write("photos/notizen.txt", "keine Bilder hier");
  folder.Write("photos/kaputt.jpg", "\xFF\xD8 not really a JPEG");
  WriteJpeg(folder, "photos/Urlaub/zwei.jpg", "2024:08:02 10:00:00");
  WriteJpeg(folder, "photos/Urlaub/eins.jpg", "2024:08:01 10:00:00");
  fs::create_directories(folder.File("photos/Leer"));
}

std::string StoredName(const TSlideShowObject* object) {
  const auto* picture = dynamic_cast<const TExtPicSlideShowObject*>(object);
  return picture != nullptr ? picture->Picture().FileName() : "(no picture)";
}

TEST(KitMakeShowTest, PhotosInCaptureOrderWithChaptersAndTheirExif) {
  const TempFolder folder;
  WriteFolder(folder);
  const std::string output = folder.File("docs/show.kvt");
  fs::create_directories(folder.File("docs"));
  const KitResult result = RunKitCommand({"make-show", "-o", output, folder.File("photos")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // One line for each file passed over.
  EXPECT_NE(result.out.find("photos/notizen.txt: Format nicht unterstützt\n"), std::string::npos);
  EXPECT_NE(result.out.find("photos/kaputt.jpg: cannot be read"), std::string::npos);
  EXPECT_NE(result.out.find("photos/Leer: no photos\n"), std::string::npos);
  EXPECT_NE(result.out.find(": 5 photos\n"), std::string::npos) << result.out;

  const kit::TKitSession session;
  TSlideShow show;
  ASSERT_EQ(show.LoadFromFile(output), TSlideShowLoad::Loaded);
  EXPECT_EQ(show.SlideShowInfoProperties().Title(), "photos");
  EXPECT_EQ(show.SlideShowInfoProperties().Author(), kit::CurrentUserName());
  const TSlideShowObjectList& root = show.RootList();
  ASSERT_EQ(root.Count(), 4);
  // Relative to the document's folder; undated photos after the dated ones.
  EXPECT_EQ(StoredName(root.Items(0)), "../photos/april.jpg");
  EXPECT_EQ(StoredName(root.Items(1)), "../photos/mai.jpg");
  EXPECT_EQ(StoredName(root.Items(2)), "../photos/aaa-ohne-datum.png");
  const auto* chapter = dynamic_cast<const TContainerSlideShowObject*>(root.Items(3));
  ASSERT_NE(chapter, nullptr);
  EXPECT_EQ(chapter->ChapterText(), "Urlaub");
  ASSERT_EQ(chapter->Children()->Count(), 2);
  EXPECT_EQ(StoredName(chapter->Children()->Items(0)), "../photos/Urlaub/eins.jpg");
  EXPECT_EQ(StoredName(chapter->Children()->Items(1)), "../photos/Urlaub/zwei.jpg");

  // The EXIF record travels with the document; the PNG is marked as having none.
  auto* april = dynamic_cast<TExtPicSlideShowObject*>(root.Items(0));
  ASSERT_EQ(april->ExifState(), static_cast<uint8_t>(TExifState::Present));
  EXPECT_EQ(april->Picture().Exif(*april)->CaptureMonth(), 4);
  auto* png = dynamic_cast<TExtPicSlideShowObject*>(root.Items(2));
  EXPECT_EQ(png->ExifState(), static_cast<uint8_t>(TExifState::NoExif));
  // The stored names find their files from the document.
  show.SetFileName(output);
  EXPECT_EQ(fs::path(root.Items(0)->ResolveFileName(StoredName(root.Items(0)))).lexically_normal(),
            fs::path(folder.File("photos/april.jpg")).lexically_normal());
}

TEST(KitMakeShowTest, SortByNameAndTitleAreTaken) {
  const TempFolder folder;
  WriteFolder(folder);
  const std::string output = folder.File("show.kvt");
  const KitResult result = RunKitCommand(
      {"make-show", "-o", output, "--sort", "name", "--title", "Mein Jahr", folder.File("photos")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const kit::TKitSession session;
  TSlideShow show;
  ASSERT_EQ(show.LoadFromFile(output), TSlideShowLoad::Loaded);
  EXPECT_EQ(show.SlideShowInfoProperties().Title(), "Mein Jahr");
  EXPECT_EQ(StoredName(show.RootList().Items(0)), "photos/aaa-ohne-datum.png");
  EXPECT_EQ(StoredName(show.RootList().Items(1)), "photos/april.jpg");
  EXPECT_EQ(StoredName(show.RootList().Items(2)), "photos/mai.jpg");
}

TEST(KitMakeShowTest, HeadersAloneDecideWhichFilesArePhotos) {
  // A photo whose data is damaged past its header is taken (its pixels are never decoded); a
  // picture claiming 268 million pixels in a quarter megabyte is passed over, saying why.
  const TempFolder folder;
  std::string damaged =
      demo::EncodePng(demo::PaintDemoPhoto(32, 48, demo::SignatureColor(1, 2), 2));
  const size_t data = damaged.find("IDAT");
  ASSERT_NE(data, std::string::npos);
  damaged[data + 10] ^= 0x5A;
  fs::create_directories(folder.File("photos"));
  folder.Write("photos/beschaedigt.png", damaged);
  folder.Write("photos/riesig.tif", BlankTiff(268435456, 1, 1));
  folder.Write("photos/riesig.png", BlankPng(20000, 20000));
  const std::string output = folder.File("show.kvt");
  const KitResult result = RunKitCommand({"make-show", "-o", output, folder.File("photos")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("riesig.tif: cannot be read: TIFF: picture too large"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("riesig.png: Bild zu groß (400 Megapixel, höchstens 268)\n"),
            std::string::npos)
      << result.out;
  const kit::TKitSession session;
  TSlideShow show;
  ASSERT_EQ(show.LoadFromFile(output), TSlideShowLoad::Loaded);
  ASSERT_EQ(show.RootList().Count(), 1);
  EXPECT_EQ(StoredName(show.RootList().Items(0)), "photos/beschaedigt.png");
}

TEST(KitMakeShowTest, FolderWithoutPhotosIsAnErrorAndWritesNothing) {
  const TempFolder folder;
  fs::create_directories(folder.File("leer/unten"));
  folder.Write("leer/liesmich.txt", "text");
  const std::string output = folder.File("show.kvt");
  const KitResult empty = RunKitCommand({"make-show", "-o", output, folder.File("leer")});
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_NE(empty.err.find("holds no photos"), std::string::npos) << empty.err;
  EXPECT_FALSE(fs::exists(output));

  const KitResult missing = RunKitCommand({"make-show", "-o", output, folder.File("fehlt")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("is not a folder"), std::string::npos) << missing.err;
  EXPECT_EQ(
      RunKitCommand({"make-show", "-o", output, "--sort", "size", folder.File("leer")}).exitCode,
      2);
  EXPECT_EQ(RunKitCommand({"make-show", "-o", output}).exitCode, 2);
}

}  // namespace
}  // namespace nimbra::test
