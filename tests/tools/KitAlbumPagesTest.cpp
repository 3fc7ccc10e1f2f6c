// An album made by nimbra-kit album from 50 photos, for each built-in layout, shown the two ways a
// user sees it: drawn by nimbra-kit render --album, and as the wallpaper the album program itself
// writes with --once. Every photo has a signature colour in its middle, so each picture element's
// centre on a page tells which photo it shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <nlohmann/json.hpp>

#include "JpegTestData.h"
#include "KitMakePhotos.h"
#include "KitRunner.h"
#include "TempFolder.h"
#include "layouts/BuiltInLayouts.h"
#include "layouts/LayoutReader.h"
#include "nimbra-kit/KitStartup.h"
#include "nimbra-kit/MakeShowCommandPhotos.h"
#include "raster/Bitmap32Graphic.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/PictureWriters.h"
#include "storage/FileAccess.h"
#include "storage/MemoryStream.h"

namespace nimbra::test {
namespace {

namespace fs = std::filesystem;
using TJson = nlohmann::json;

constexpr int kPhotoCount = 50;
constexpr int kWidth = 1280;
constexpr int kHeight = 720;

struct TPhotos {
  TempFolder Folder;
  std::vector<demo::TDemoPhoto> InOrder;
  std::map<std::string, int> IndexOfPath;  // object path → signature index
};

TPhotos& Photos() {
  static TPhotos photos;
  if (photos.InOrder.empty()) {
    photos.InOrder = WriteMixedPhotos(photos.Folder.File("photos"), kPhotoCount);
    const std::vector<std::string> paths = ObjectPaths(photos.InOrder);
    for (size_t i = 0; i < paths.size(); ++i) {
      // "fotoNN.ext": NN is the photo's signature index.
      const std::string name = fs::path(photos.InOrder[i].RelativePath).filename().string();
      photos.IndexOfPath[paths[i]] = std::stoi(name.substr(4, 2));
    }
  }
  return photos;
}

// The photo whose signature colour is nearest to the pixel.
int PhotoShownAt(const TBitmap32& page, double fx, double fy) {
  const int x = static_cast<int>(fx * page.Width());
  const int y = static_cast<int>(fy * page.Height());
  const TColor32 pixel = page.Pixel(x, y);
  int best = -1;
  long bestDistance = 0;
  for (int i = 0; i < kPhotoCount; ++i) {
    const TColor32 colour = demo::SignatureColor(i, kPhotoCount);
    const long dr = RedComponent(colour) - RedComponent(pixel);
    const long dg = GreenComponent(colour) - GreenComponent(pixel);
    const long db = BlueComponent(colour) - BlueComponent(pixel);
    const long distance = dr * dr + dg * dg + db * db;
    if (best < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  // Far from every signature: no photo's middle is there.
  return bestDistance <= 30 * 30 ? best : -1;
}

TBitmap32 ReadPicture(const std::string& path) {
  TFileAccess disk;
  std::unique_ptr<TGraphic> graphic = LoadGraphic(disk, path, TDecodeHint{});
  auto* pixels = dynamic_cast<TBitmap32Graphic*>(graphic.get());
  if (pixels == nullptr) throw std::runtime_error("cannot read " + path);
  return std::move(pixels->Bitmap());
}

// For each page: the photo each photo-showing element of its template shows, by the centres of
// the elements' rectangles; -1 where an element shows none.
struct TExpectedPage {
  std::vector<std::pair<TDoubleRect, int>> Pictures;
};

class TKitAlbumPagesTest : public ::testing::TestWithParam<std::string> {
 protected:
  // The pages the album makes, as the pages command lists them, with the layout's rectangles.
  std::vector<TExpectedPage> ExpectedPages(const std::string& album) {
    const KitResult listed = RunKitCommand(
        {"pages", "--package", album, "-p", "|Album.kvt", "-t", "|Album.pwt", "--json"});
    if (listed.exitCode != 0) throw std::runtime_error(listed.err);
    const kit::TKitSession session;
    const TLayout layout = ReadLayout(FindBuiltInLayout(GetParam())->Json);
    std::vector<TExpectedPage> pages;
    std::vector<int> shown;
    const TJson listing = TJson::parse(listed.out);
    for (const TJson& page : listing["pages"]) {
      const TPageTemplate* pageTemplate =
          layout.Project->Templates().FindByID(page["templateId"].get<uint32_t>());
      EXPECT_NE(pageTemplate, nullptr);
      if (pageTemplate == nullptr) break;
      TExpectedPage expected;
      const TJson& bindings = page["bindings"];
      for (size_t e = 0; e < bindings.size(); ++e) {
        if (bindings[e]["element"] != "TPrintPageElementPicture") continue;
        const auto* element = dynamic_cast<const TVisiblePageElement*>(
            pageTemplate->Elements().Items(static_cast<int32_t>(e)));
        const int photo = bindings[e]["object"].is_null()
                              ? -1
                              : Photos().IndexOfPath.at(bindings[e]["object"].get<std::string>());
        expected.Pictures.emplace_back(element->GetBounds(), photo);
        if (photo >= 0) shown.push_back(photo);
      }
      pages.push_back(expected);
    }
    // Every photo once, in the order of the show.
    std::vector<int> inOrder;
    for (const std::string& path : ObjectPaths(Photos().InOrder)) {
      inOrder.push_back(Photos().IndexOfPath.at(path));
    }
    EXPECT_EQ(shown, inOrder);
    return pages;
  }

  static void ExpectPage(const TBitmap32& page, const TExpectedPage& expected,
                         const std::string& what) {
    ASSERT_EQ(page.Width(), kWidth) << what;
    ASSERT_EQ(page.Height(), kHeight) << what;
    for (const auto& [rect, photo] : expected.Pictures) {
      const double x = (rect.Left + rect.Right) / 2;
      const double y = (rect.Top + rect.Bottom) / 2;
      EXPECT_EQ(PhotoShownAt(page, x, y), photo) << what << " at (" << x << ", " << y << ")";
    }
  }

  std::string MakeAlbum(const TempFolder& work) {
    const std::string album = work.File("album");
    const KitResult made =
        RunKitCommand({"album", Photos().Folder.File("photos"), "--layout", GetParam(), "-o", album,
                       "--mode", "start", "--exe", NIMBRA_ALBUM_PROGRAM});
    if (made.exitCode != 0) throw std::runtime_error(made.err);
    return album;
  }
};

// Near the frame layout's print border colour (a pixel of the frame keeps it through scaling).
bool FrameColoured(TColor32 pixel) {
  const auto near = [](int value, int target) { return std::abs(value - target) <= 4; };
  return near(RedComponent(pixel), 0xF8) && near(GreenComponent(pixel), 0xF6) &&
         near(BlueComponent(pixel), 0xF0);
}

int Brightness(TColor32 pixel) {
  return RedComponent(pixel) + GreenComponent(pixel) + BlueComponent(pixel);
}

// Along the row through the middle of a photo's rectangle, leaving the photo to the right (or
// left): a band of the frame's colour, and beyond it on the right the shadow darkening the page,
// while on the left, past the soft edge's reach, the page is as it was. Photos laid over each
// other are looked at on their free side only.
void ExpectFramedAndShadowed(const TBitmap32& page, const TDoubleRect& rect, bool rightSide,
                             bool leftSide, const std::string& what) {
  const TColor32 background = page.Pixel(2, 2);
  const int y = static_cast<int>((rect.Top + rect.Bottom) / 2 * page.Height());
  const int middle = static_cast<int>((rect.Left + rect.Right) / 2 * page.Width());
  // From the middle outwards to the first frame pixel, then across the band.
  const auto band = [&](int step, int& outside) {
    int x = middle;
    while (x > 0 && x < page.Width() - 1 && !FrameColoured(page.Pixel(x, y))) x += step;
    const int start = x;
    while (x > 0 && x < page.Width() - 1 && FrameColoured(page.Pixel(x, y))) x += step;
    outside = x;
    return std::abs(x - start);
  };
  int outside = 0;
  if (rightSide) {
    EXPECT_GE(band(+1, outside), 6) << what << ": no frame right of the photo";
    EXPECT_LT(Brightness(page.Pixel(outside + 3, y)), Brightness(background) - 6) << what;
  }
  if (leftSide) {
    EXPECT_GE(band(-1, outside), 6) << what << ": no frame left of the photo";
    EXPECT_EQ(page.Pixel(outside - 30, y), background) << what;
  }
}

TEST_P(TKitAlbumPagesTest, RenderedPagesShowTheRightPhotos) {
  const TempFolder work;
  const std::string album = MakeAlbum(work);
  const std::vector<TExpectedPage> expected = ExpectedPages(album);
  ASSERT_FALSE(expected.empty());

  const std::string output = work.File("pages");
  ASSERT_EQ(RunKitProgram("render --album '" + album + "' --size " + std::to_string(kWidth) + "x" +
                          std::to_string(kHeight) + " --format bmp -o '" + output + "'"),
            0);
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(output)) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  ASSERT_EQ(files.size(), expected.size());
  const kit::TPictureFormatsScope formats;
  for (size_t i = 0; i < files.size(); ++i) {
    const TBitmap32 page = ReadPicture(files[i]);
    ExpectPage(page, expected[i], files[i]);
    // The prints of the frame and pile layouts: a border around every photo, its shadow to the
    // right. In the pile only the side towards the page's edge is free.
    if (GetParam() != "rahmen" && GetParam() != "stapel") continue;
    const bool pile = GetParam() == "stapel";
    for (const auto& [rect, photo] : expected[i].Pictures) {
      if (photo < 0) continue;
      const bool leftColumn = (rect.Left + rect.Right) / 2 < 0.5;
      ExpectFramedAndShadowed(page, rect, !pile || !leftColumn, !pile || leftColumn, files[i]);
    }
  }
}

// The album program, run once without a desktop at the test's size, in the work folder's own
// settings: what it said, and the wallpaper file it wrote (empty when it said none).
struct TAlbumRun {
  std::string Said;
  std::string Wallpaper;
};

TAlbumRun RunAlbumOnce(const std::string& album, const TempFolder& work) {
  const std::string environment = "env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME='" +
                                  work.File("data") + "' XDG_CONFIG_HOME='" + work.File("config") +
                                  "' XDG_RUNTIME_DIR='" + work.File("run") + "' ";
  fs::create_directories(work.File("run"));
  fs::permissions(work.File("run"), fs::perms::owner_all);
  const std::string command = environment + "'" + album + "' --once --work-area=" +
                              std::to_string(kWidth) + "x" + std::to_string(kHeight) +
                              " --wallpaper=none 2>&1";
  TAlbumRun run;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.Said += buffer;
  if (::pclose(pipe) != 0) return run;
  const std::string marker = " written to ";
  const size_t at = run.Said.find(marker);
  if (at == std::string::npos) return run;
  run.Wallpaper = run.Said.substr(at + marker.size());
  run.Wallpaper = run.Wallpaper.substr(0, run.Wallpaper.find('\n'));
  return run;
}

// The album program, run once without a desktop, writes the page it would set; every further run
// goes on to the next page.
TEST_P(TKitAlbumPagesTest, AlbumProgramShowsTheRightPhotosPageByPage) {
  const TempFolder work;
  const std::string album = MakeAlbum(work);
  const std::vector<TExpectedPage> expected = ExpectedPages(album);
  ASSERT_GE(expected.size(), 2u);
  const kit::TPictureFormatsScope formats;
  for (size_t page = 0; page < 2; ++page) {
    const TAlbumRun run = RunAlbumOnce(album, work);
    ASSERT_FALSE(run.Wallpaper.empty()) << run.Said;
    const std::string marker = "page " + std::to_string(page + 1) + " of " +
                               std::to_string(expected.size()) + " written to ";
    EXPECT_NE(run.Said.find(marker), std::string::npos) << run.Said;
    ExpectPage(ReadPicture(run.Wallpaper), expected[page], run.Said);
  }
}

INSTANTIATE_TEST_SUITE_P(BuiltInLayouts, TKitAlbumPagesTest,
                         ::testing::Values("einzel", "zwei", "vier", "mosaik", "rahmen",
                                           "stapel"));

// A grey camera photo, with the capture date in its EXIF block when one is given.
void WriteCameraPhoto(const TempFolder& folder, const std::string& name,
                      const std::optional<std::string>& captured) {
  TBitmap32 grey(300, 200);
  grey.Clear(Color32(128, 128, 128));
  TMemoryStream stream;
  SaveJpeg(grey, stream);
  std::string bytes = stream.ToString();
  if (captured) {
    TTiffContent exif;
    exif.DateTimeOriginal = *captured;
    bytes.insert(2, JpegSegment(kApp1, ExifPayload(exif)));
  }
  folder.Write(name, bytes);
}

// The wallpaper of an album in the captioned layout shows each photo's name under it, and under
// that the capture date where the photo has one.
TEST(KitAlbumCaptionsTest, TheCaptionedAlbumShowsCaptureDatesUnderThePhotos) {
  const TempFolder work;
  fs::create_directories(work.File("fotos"));
  WriteCameraPhoto(work, "fotos/a-sommer.jpg", "2021:07:14 15:30:05");
  WriteCameraPhoto(work, "fotos/b-ohne.jpg", std::nullopt);
  const std::string album = work.File("album");
  const KitResult made =
      RunKitCommand({"album", work.File("fotos"), "--layout", "beschriftet", "--sort", "name",
                     "-o", album, "--exe", NIMBRA_ALBUM_PROGRAM});
  ASSERT_EQ(made.exitCode, 0) << made.err;
  const KitResult listed = RunKitCommand(
      {"pages", "--package", album, "-p", "|Album.kvt", "-t", "|Album.pwt", "--texts", "--json"});
  ASSERT_EQ(listed.exitCode, 0) << listed.err;
  const TJson listing = TJson::parse(listed.out);
  std::vector<std::string> texts;
  for (const TJson& text : listing["pages"][0]["texts"]) {
    texts.push_back(text["text"]);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"a-sommer.jpg", "14.07.2021", "b-ohne.jpg", ""}));

  const TAlbumRun run = RunAlbumOnce(album, work);
  ASSERT_FALSE(run.Wallpaper.empty()) << run.Said;
  const kit::TPictureFormatsScope formats;
  const TBitmap32 page = ReadPicture(run.Wallpaper);
  const TColor32 background = page.Pixel(2, 2);
  // Ink in the name lines under both photos, in the date line under the dated one only.
  const auto inked = [&](double left, double top, double right, double bottom) {
    for (int y = int(top * kHeight); y < int(bottom * kHeight); ++y) {
      for (int x = int(left * kWidth); x < int(right * kWidth); ++x) {
        if (page.Pixel(x, y) != background) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(inked(0.02, 0.82, 0.49, 0.87));
  EXPECT_TRUE(inked(0.51, 0.82, 0.98, 0.87));
  EXPECT_TRUE(inked(0.02, 0.87, 0.49, 0.92));
  EXPECT_FALSE(inked(0.51, 0.87, 0.98, 0.92));
}

}  // namespace
}  // namespace nimbra::test
