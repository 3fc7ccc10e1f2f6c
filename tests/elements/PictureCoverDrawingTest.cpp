// A photo that covers its box instead of fitting inside it, and the blurred backdrop behind a
// fitted one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "DrawingTestSupport.h"
#include "elements/BlurredBackdrop.h"
#include "elements/PictureDecodeSize.h"
#include "elements/PrintPageElementPicture.h"
#include "raster/Blend.h"

namespace nimbra {
namespace {

constexpr TColor32 kPage = 0xFF1E3250;

class PictureCoverDrawingTest : public test::TDrawingTest {
 protected:
  void Show(const std::string& file, const TDoubleRect& bounds) {
    element_.PictureProperties().SetUseSlideShowPicture(false);
    element_.SetFileName(file);
    element_.SetBounds(bounds);
  }

  TPrintPageElementPicture element_;
};

// Whether every pixel of the area has the colour.
bool AreaIs(const TBitmap32& page, const TRect& area, TColor32 colour) {
  for (int y = area.Top; y < area.Bottom; ++y) {
    for (int x = area.Left; x < area.Right; ++x) {
      if (page.Pixel(x, y) != colour) return false;
    }
  }
  return true;
}

TEST_F(PictureCoverDrawingTest, CoveringPhotoFillsItsBoxWithItsCentre) {
  // The photos' middle half is one colour, the quarters at both ends of their long side another;
  // a box of half the long side's proportions shows nothing but the middle.
  constexpr TColor32 kEdge = 0xFFC80000;
  constexpr TColor32 kCentre = 0xFF0000C8;
  TBitmap32 wide = test::Uniform(800, 200, kEdge);
  FillRect(wide, {200, 0, 600, 200}, kCentre);
  TBitmap32 tall = test::Uniform(200, 800, kEdge);
  FillRect(tall, {0, 200, 200, 600}, kCentre);
  const struct {
    std::string File;
    TDoubleRect Bounds;  // of a 200 × 200 page
    TRect Box;
  } cases[] = {
      {SavePicture("wide.png", wide), {0.25, 0, 0.75, 1}, {50, 0, 150, 200}},
      {SavePicture("wide.jpg", wide), {0, 0, 1, 1}, {0, 0, 200, 200}},
      {SavePicture("tall.png", tall), {0, 0.25, 1, 0.75}, {0, 50, 200, 150}},
  };
  for (const auto& c : cases) {
    Show(c.File, c.Bounds);
    element_.PictureProperties().SetBoxFill(kPictureCoversBox);
    TBitmap32 page = test::Uniform(200, 200, kPage);
    test::RenderLikeTheEngine(element_, page);
    EXPECT_EQ(test::ChangedArea(page, kPage), c.Box) << c.File;
    // A JPEG's colours are a little off, and its block edges blur the boundary.
    const TRect inner{c.Box.Left + 8, c.Box.Top + 8, c.Box.Right - 8, c.Box.Bottom - 8};
    if (c.File.ends_with(".png")) {
      EXPECT_TRUE(AreaIs(page, c.Box, kCentre)) << c.File;
    } else {
      for (int y = inner.Top; y < inner.Bottom; y += 7) {
        for (int x = inner.Left; x < inner.Right; x += 7) {
          const TColor32 pixel = page.Pixel(x, y);
          ASSERT_LT(pixel >> 16 & 0xFF, 24) << x << "," << y;
          ASSERT_GT(pixel & 0xFF, 176) << x << "," << y;
        }
      }
    }
  }
}

TEST_F(PictureCoverDrawingTest, CoveringDecodesTheWholePhotoLargeEnoughForItsPart) {
  TPictureDrawing drawing;
  drawing.BoxWidth = 200;
  drawing.BoxHeight = 200;
  drawing.Cover = true;
  // The 1000 × 1000 middle of a 4000 × 1000 photo is drawn 200 × 200, so the photo is needed at
  // 800 × 200 at least.
  const TDecodeHint hint = DrawingDecodeHint({4000, 1000}, drawing);
  EXPECT_EQ(hint.MinimumWidth, 800);
  EXPECT_EQ(hint.MinimumHeight, 200);
}

TEST_F(PictureCoverDrawingTest, BlurredBackdropCoversTheWholeBoxDarkerThanThePhoto) {
  // A wide photo fitted into a square page leaves bands above and below it.
  constexpr TColor32 kPhoto = 0xFFC86432;
  Show(SavePicture("wide.png", test::Uniform(200, 100, kPhoto)), {0, 0, 1, 1});
  element_.PictureProperties().SetBlurredBackground(true);
  TBitmap32 page = test::Uniform(200, 200, kPage);
  test::RenderLikeTheEngine(element_, page);
  EXPECT_TRUE(AreaIs(page, {0, 50, 200, 150}, kPhoto));
  const auto darkened = [](TColor32 colour, int shift) {
    return static_cast<int>(((colour >> shift & 0xFF) * kBackdropBrightness + 127) / 255);
  };
  for (int y = 0; y < 200; ++y) {
    if (y == 50) y = 150;
    for (int x = 0; x < 200; ++x) {
      const TColor32 pixel = page.Pixel(x, y);
      for (int shift : {0, 8, 16}) {
        ASSERT_LE(std::abs(static_cast<int>(pixel >> shift & 0xFF) - darkened(kPhoto, shift)), 1)
            << x << "," << y;
      }
    }
  }
}

TEST_F(PictureCoverDrawingTest, BeforeItsBlurredCopyAPhotoCoversOnlyWhenThatCutsLittle) {
  // In a square box, a photo a fifth wider than high loses a sixth and covers the box; one twice
  // as wide would lose half, and is fitted before its copy instead.
  constexpr TColor32 kPhoto = 0xFF32A064;
  const std::string little = SavePicture("little.png", test::Uniform(240, 200, kPhoto));
  const std::string much = SavePicture("much.png", test::Uniform(400, 200, kPhoto));
  for (const auto& [file, covers] : {std::pair{little, true}, std::pair{much, false}}) {
    Show(file, {0, 0, 1, 1});
    element_.PictureProperties().SetBoxFill(kPictureCoversBox);
    element_.PictureProperties().SetBlurredBackground(true);
    TBitmap32 page = test::Uniform(200, 200, kPage);
    test::RenderLikeTheEngine(element_, page);
    EXPECT_TRUE(AreaIs(page, {0, 50, 200, 150}, kPhoto)) << file;
    EXPECT_EQ(AreaIs(page, {0, 0, 200, 200}, kPhoto), covers) << file;
    EXPECT_NE(page.Pixel(100, 10), kPage) << file;
  }
}

}  // namespace
}  // namespace nimbra
