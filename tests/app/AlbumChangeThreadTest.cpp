#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ShellTestSupport.h"
#include "StartupTestAlbum.h"
#include "TempFolder.h"
#include "album/AlbumPackage.h"
#include "album/AlbumPages.h"
#include "app/AlbumStartup.h"
#include "app/DesktopChanger.h"
#include "app/ScreenGeometry.h"
#include "platform/WallpaperSetter.h"

namespace nimbra {
namespace {

// A packaged album changing pages as it does on a desktop: the change thread walks the pages at
// idle priority while the decode pool's threads read the photos out of the package, the page is
// made ready for a desktop that takes it while its file is written beside, and the main thread
// asks for the next change as soon as one is shown.
TEST(AlbumChangeThreadTest, PackagedPhotosReachTheDesktopPageAfterPage) {
  test::Application();
  const TAlbumStartup startup;
  test::TempFolder folder;
  const std::string program = folder.File("Album");
  test::WriteStartupExecutable(program, test::WriteStartupAlbumFiles(folder.File(""), 2));
  const std::unique_ptr<TAlbumDocuments> album = LoadAlbumPackage(program);
  auto shown = std::make_shared<test::TShownPictures>();
  {
    TNimbraDesktopChanger changer;
    changer.SetPageList(std::make_unique<TAlbumPages>(*album->Project, *album->Tree));
    changer.SetWallpaperSetter(std::make_unique<TWallpaperSetter>(
        std::make_unique<test::TRecordingBackend>(shown, TWallpaperNeeds{.ReadsFile = false}),
        folder.Path().string(), "Hintergrund"));
    changer.SetScreenGeometryFunction([] { return FixedScreenGeometry(64, 36); });
    ASSERT_EQ(changer.PageCount(), 3);
    // Twice round the album, so that pages are drawn into the bitmaps of earlier ones.
    for (int change = 0; change < 6; ++change) {
      changer.MoveBy(+1);
      changer.WaitForChange();
    }
  }
  ASSERT_EQ(shown->Count(), 6u);
  for (size_t change = 0; change < 6; ++change) {
    const TBitmap32& page = shown->Pages[change];
    EXPECT_EQ(page.Pixel(32, 18), test::kStartupPhotoColours[change % 3]) << change;
  }
  EXPECT_TRUE(std::filesystem::exists(folder.File("Hintergrund.bmp")));
}

}  // namespace
}  // namespace nimbra
