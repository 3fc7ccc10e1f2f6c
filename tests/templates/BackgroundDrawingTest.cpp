// Drawing a page template's background picture: centred, stretched and tiled, at its own size or
// at a size in centimetres, with its opacity, through the bitmap cache.
#include <gtest/gtest.h>

#include <memory>

#include "TempFolder.h"
#include "TextTestSupport.h"
#include "framework/FrameworkFolders.h"
#include "raster/Blend.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/PictureWriters.h"
#include "storage/FileAccess.h"
#include "storage/MemoryStream.h"
#include "templates/Bitmap32Cache.h"
#include "templates/PageTemplate.h"

namespace nimbra {
namespace {

constexpr TColor32 kBack = 0xFF1E3250;   // (30, 50, 80)
constexpr TColor32 kPhoto = 0xFFC86432;  // (200, 100, 50)

class BackgroundDrawingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterPictureFormats(); }
  static void TearDownTestSuite() { UnregisterPictureFormats(); }

  void SetUp() override {
    // Unresolved names are also looked for in the program's and the user's folders.
    SetProgramFolder(folder_.File("program"));
    SetUserDataFolder(folder_.File("user"));
    SetFileAccess(std::make_shared<TFileAccess>());
    SetBitmap32Cache(std::make_shared<TBitmap32Cache>());
    page_.WizardProperties().SetBackColor(kBack);
    page_.WizardProperties().SetResolution(96);
  }
  void TearDown() override {
    SetBitmap32Cache(nullptr);
    SetFileAccess(nullptr);
    ClearFrameworkFolders();
  }

  // Writes the picture as PNG and makes it the background in the mode.
  void UseBackground(const TBitmap32& picture, uint8_t mode, const std::string& name = "bg.png") {
    TMemoryStream bytes;
    SavePng(picture, bytes);
    page_.SetFileName(folder_.Write(name, bytes.ToString()));
    page_.WizardProperties().SetBackgroundMode(mode);
  }

  TBitmap32 Draw(int width, int height) {
    TBitmap32 bitmap(width, height);
    page_.DrawBackground(bitmap, {0, 0, width, height});
    return bitmap;
  }

  test::TempFolder folder_;
  TPrintWizardPageTemplate page_;
};

TBitmap32 Uniform(int width, int height, TColor32 colour) {
  TBitmap32 bitmap(width, height);
  bitmap.Clear(colour);
  return bitmap;
}

// Every pixel a colour of its own, so that positions can be checked exactly.
TBitmap32 Numbered(int width, int height) {
  TBitmap32 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) bitmap.SetPixel(x, y, Color32(uint8_t(x), uint8_t(y), 7));
  }
  return bitmap;
}

TEST_F(BackgroundDrawingTest, StretchedPictureCoversThePageWithNearestPixels) {
  TBitmap32 halves = Uniform(2, 1, 0xFFFF0000);
  halves.SetPixel(1, 0, 0xFF0000FF);
  UseBackground(halves, kBackgroundStretched);
  const TBitmap32 bitmap = Draw(40, 30);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      ASSERT_EQ(bitmap.Pixel(x, y), x < 20 ? 0xFFFF0000u : 0xFF0000FFu) << x << "," << y;
    }
  }
}

TEST_F(BackgroundDrawingTest, BackgroundAlphaBlendsThePictureOverTheColour) {
  UseBackground(Uniform(10, 10, kPhoto), kBackgroundStretched);
  page_.WizardProperties().SetBackgroundAlpha(128);
  const TColor32 blended = BlendColors(kPhoto, kBack, 128);
  EXPECT_EQ(test::ChangedArea(Draw(40, 30), blended), TRect{});

  // At its own size, centred, the same opacity applies.
  page_.WizardProperties().SetBackgroundMode(kBackgroundCentred);
  const TBitmap32 centred = Draw(40, 30);
  EXPECT_EQ(centred.Pixel(20, 15), blended);
  EXPECT_EQ(centred.Pixel(0, 0), kBack);

  // At a size in centimetres the picture carries its opacity and still blends once.
  page_.WizardProperties().SetBackgroundWidth(1);
  const TBitmap32 sized = Draw(60, 60);
  const TColor32 pixel = sized.Pixel(30, 30);
  EXPECT_EQ(AlphaComponent(pixel), 255);
  EXPECT_NEAR(RedComponent(pixel), RedComponent(blended), 1);
  EXPECT_NEAR(GreenComponent(pixel), GreenComponent(blended), 1);
  EXPECT_NEAR(BlueComponent(pixel), BlueComponent(blended), 1);
}

TEST_F(BackgroundDrawingTest, CentredPictureAtItsOwnSize) {
  UseBackground(Numbered(10, 6), kBackgroundCentred);
  const TBitmap32 bitmap = Draw(40, 30);
  EXPECT_EQ(test::ChangedArea(bitmap, kBack), (TRect{15, 12, 25, 18}));
  EXPECT_EQ(bitmap.Pixel(15, 12), Color32(0, 0, 7));
  EXPECT_EQ(bitmap.Pixel(24, 17), Color32(9, 5, 7));

  // A picture larger than the page is clipped on all sides, centre on centre.
  UseBackground(Numbered(50, 40), kBackgroundCentred, "large.png");
  const TBitmap32 clipped = Draw(40, 30);
  EXPECT_EQ(clipped.Pixel(0, 0), Color32(5, 5, 7));
  EXPECT_EQ(clipped.Pixel(39, 29), Color32(44, 34, 7));
}

TEST_F(BackgroundDrawingTest, CentimetreWidthScalesWithTheResolutionAndKeepsTheAspect) {
  // 10 cm at 96 dpi: 400 × 300 becomes 378 × 283.
  UseBackground(Uniform(400, 300, kPhoto), kBackgroundCentred);
  page_.WizardProperties().SetBackgroundWidth(10);
  const TBitmap32 bitmap = Draw(500, 400);
  EXPECT_EQ(test::ChangedArea(bitmap, kBack), (TRect{61, 58, 61 + 378, 58 + 283}));
  EXPECT_EQ(test::ChangedArea(bitmap, kPhoto), (TRect{0, 0, 500, 400}));
  EXPECT_EQ(bitmap.Pixel(61, 58), kPhoto);
  EXPECT_EQ(bitmap.Pixel(438, 340), kPhoto);

  // Only a height: 283 pixels high, 378 wide again.
  page_.WizardProperties().SetBackgroundWidth(0);
  page_.WizardProperties().SetBackgroundHeight(7.5);
  EXPECT_EQ(test::ChangedArea(Draw(500, 400), kBack), (TRect{61, 58, 61 + 378, 58 + 283}));
}

TEST_F(BackgroundDrawingTest, TilesRepeatFromThePageCornerAndStopAtItsEdges) {
  UseBackground(Numbered(3, 2), kBackgroundTiled);
  TBitmap32 bitmap(14, 8);
  page_.DrawBackground(bitmap, {2, 1, 12, 6});
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 14; ++x) {
      const bool inside = x >= 2 && x < 12 && y >= 1 && y < 6;
      const TColor32 expected =
          inside ? Color32(uint8_t((x - 2) % 3), uint8_t((y - 1) % 2), 7) : 0;
      ASSERT_EQ(bitmap.Pixel(x, y), expected) << x << "," << y;
    }
  }

  // Sized tiles: 1 cm at 254 dpi is 100 pixels.
  UseBackground(Uniform(10, 10, kPhoto), kBackgroundTiled, "tile.png");
  page_.WizardProperties().SetResolution(254);
  page_.WizardProperties().SetBackgroundWidth(1);
  page_.WizardProperties().SetBackgroundHeight(0.5);
  const TBitmap32 tiled = Draw(250, 120);
  EXPECT_EQ(test::ChangedArea(tiled, kPhoto), TRect{});
}

TEST_F(BackgroundDrawingTest, UnknownModesAndMissingPicturesLeaveTheColour) {
  UseBackground(Uniform(10, 10, kPhoto), 3);
  EXPECT_EQ(test::ChangedArea(Draw(20, 20), kBack), TRect{});
  page_.WizardProperties().SetBackgroundMode(kBackgroundStretched);
  page_.SetFileName(folder_.File("fehlt.png"));
  EXPECT_EQ(test::ChangedArea(Draw(20, 20), kBack), TRect{});
  page_.SetFileName(folder_.Write("kaputt.png", "no picture"));
  EXPECT_EQ(test::ChangedArea(Draw(20, 20), kBack), TRect{});
  // A size that comes to no pixels draws nothing either.
  UseBackground(Uniform(10, 10, kPhoto), kBackgroundCentred, "small.png");
  page_.WizardProperties().SetBackgroundWidth(0.001);
  EXPECT_EQ(test::ChangedArea(Draw(20, 20), kBack), TRect{});
}

TEST_F(BackgroundDrawingTest, PictureIsDecodedOnceAndThenTakenFromTheCache) {
  UseBackground(Uniform(10, 10, kPhoto), kBackgroundStretched);
  EXPECT_EQ(test::ChangedArea(Draw(20, 20), kPhoto), TRect{});
  ASSERT_NE(Bitmap32Cache()->Get(page_.GetFileName()), nullptr);
  // A changed file is not read again while its picture is cached.
  UseBackground(Uniform(10, 10, 0xFF0000FF), kBackgroundStretched);
  EXPECT_EQ(test::ChangedArea(Draw(20, 20), kPhoto), TRect{});
  SetBitmap32Cache(std::make_shared<TBitmap32Cache>());
  EXPECT_EQ(test::ChangedArea(Draw(20, 20), 0xFF0000FF), TRect{});
  // Without any cache the picture is still drawn.
  SetBitmap32Cache(nullptr);
  EXPECT_EQ(test::ChangedArea(Draw(20, 20), 0xFF0000FF), TRect{});
}

}  // namespace
}  // namespace nimbra
