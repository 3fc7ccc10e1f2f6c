// What collages draw: where their pictures land, how the bitmap grows for them, which of a
// picture's files is shown, and what a missing file leaves out.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "DrawingTestSupport.h"
#include "elements/DrawingRandom.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintWizardPictureEffectCollage.h"
#include "raster/Transform.h"

namespace nimbra {
namespace {

using test::ChangedArea;
using test::RenderLikeTheEngine;
using test::Uniform;

class CollageDrawingTest : public test::TDrawingTest {};

constexpr TColor32 kGrey = Color32(128, 128, 128);
constexpr TColor32 kRed = Color32(255, 0, 0);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// At 254 dpi a centimetre is 100 pixels.
constexpr double kDpi = 254;

struct TCollaged {
  TBitmap32 Bitmap;
  TAffineTransformation Transformation;
  bool Skipped = false;
};

// A 200 × 100 grey main picture with the collage applied at kDpi (identity transformation).
TCollaged ApplyCollage(TPrintWizardPictureEffectCollage& collage, double sx = 1) {
  TCollaged c;
  c.Bitmap = Uniform(200, 100, kGrey);
  collage.Apply(c.Bitmap, {0, 0, 200, 100}, kDpi, &c.Transformation, sx, sx);
  c.Skipped = collage.Skipped();
  return c;
}

// One collage picture of size cm on the right half of the main picture.
TCollagePic& Pin(TPrintWizardPictureEffectCollage& collage, int index, const std::string& file,
                 uint8_t placement, double size = 0.2) {
  TCollagePic& pin = collage.CollageProperties().Pictures().Items(index);
  pin.SetFileNames(file);
  pin.SetPlacement(placement);
  pin.SetBounds({0.5, 0, 1, 1});
  pin.SetWidth(size);
  pin.SetHeight(size);
  return pin;
}

TEST_F(CollageDrawingTest, PicturesLandInTheirAnchorCellOrOverTheMainPicture) {
  struct TCase {
    uint8_t Placement;
    int SourceSide;  // the collage picture's file is square; enlarged, its edges would fade
    double Size, OffsetX, Sx;
    TRect Expected;  // what changes on the main picture
  };
  const std::vector<TCase> cases{
      // 20 pixels in the anchor (100, 0, 200, 100): against its corners, the right and bottom
      // one pixel in, or in its middle.
      {0, 20, 0.2, 0, 1, {100, 0, 120, 20}},
      {4, 20, 0.2, 0, 1, {140, 40, 160, 60}},
      {8, 20, 0.2, 0, 1, {179, 79, 199, 99}},
      // A picture far larger than drawn is reduced first, to the same place.
      {8, 100, 0.2, 0, 1, {179, 79, 199, 99}},
      // Centimetres are page sizes: twice as many working pixels, and so is the offset.
      {8, 40, 0.2, 0, 2, {159, 59, 199, 99}},
      {0, 40, 0.2, 0.1, 2, {120, 0, 160, 40}},
      // Fitted over the main picture, centred, whatever the scale; unknown placements fit too.
      {9, 100, 0.2, 0, 1, {50, 0, 150, 100}},
      {9, 100, 0.2, 0, 2, {50, 0, 150, 100}},
      {200, 100, 0.2, 0, 2, {50, 0, 150, 100}},
      // A stored size that is no number draws nothing.
      {8, 20, kNaN, 0, 1, {0, 0, 0, 0}},
  };
  for (const TCase& c : cases) {
    const std::string name = "pin" + std::to_string(c.SourceSide) + ".png";
    const std::string file = SavePicture(name, Uniform(c.SourceSide, c.SourceSide, kRed));
    TPrintWizardPictureEffectUserCollage1Pic collage;
    Pin(collage, 0, file, c.Placement, c.Size).SetOffsetX(c.OffsetX);
    const TCollaged done = ApplyCollage(collage, c.Sx);
    const std::string label = std::to_string(c.Placement) + " " + std::to_string(c.Sx);
    EXPECT_FALSE(done.Skipped) << label;
    ASSERT_EQ(done.Bitmap.Width(), 200) << label;
    EXPECT_EQ(ChangedArea(done.Bitmap, kGrey), c.Expected) << label;
    if (!c.Expected.IsEmpty()) {
      EXPECT_EQ(done.Bitmap.Pixel(c.Expected.Right - 1, c.Expected.Bottom - 1), kRed) << label;
    }
  }
}

TEST_F(CollageDrawingTest, PicturesBeyondTheMainPictureGrowTheBitmapAndMoveItsContent) {
  const std::string file = SavePicture("pin.png", Uniform(20, 20, kRed));
  struct TCase {
    double OffsetX, OffsetY, Size;
    bool Follow, Skipped;
    int Width, Height, ShiftX, ShiftY;
  };
  const std::vector<TCase> cases{
      // Up and left of the main picture: it moves by as much, and so does its transformation.
      {-2.5, -1.2, 0.2, true, false, 271, 141, 71, 41},
      // A picture that does not follow the transformation still goes where room was made.
      {-2.5, -1.2, 0.2, false, false, 271, 141, 71, 41},
      // Below right: the bitmap grows, nothing moves.
      {0.5, 0.3, 0.2, true, false, 249, 129, 0, 0},
      // Inside: nothing grows.
      {0, 0, 0.2, true, false, 200, 100, 0, 0},
      // Metres of picture, or an endless one, would need a bitmap beyond any picture's size.
      {0, 0, 1e4, true, true, 200, 100, 0, 0},
      {0, 0, std::numeric_limits<double>::infinity(), true, true, 200, 100, 0, 0},
      {0, 0, -std::numeric_limits<double>::infinity(), true, true, 200, 100, 0, 0},
  };
  for (const TCase& c : cases) {
    TPrintWizardPictureEffectUserCollage1Pic collage;
    collage.CollageProperties().SetFollowPicture(c.Follow);
    TCollagePic& pin = Pin(collage, 0, file, kPlacementBottomRight, c.Size);
    pin.SetOffsetX(c.OffsetX);
    pin.SetOffsetY(c.OffsetY);
    const TCollaged done = ApplyCollage(collage);
    const std::string label =
        std::to_string(c.OffsetX) + " " + std::to_string(c.Size) + " " + std::to_string(c.Follow);
    EXPECT_EQ(done.Skipped, c.Skipped) << label;
    ASSERT_EQ(done.Bitmap.Width(), c.Width) << label;
    ASSERT_EQ(done.Bitmap.Height(), c.Height) << label;
    EXPECT_EQ(done.Transformation.E(), c.ShiftX) << label;
    EXPECT_EQ(done.Transformation.F(), c.ShiftY) << label;
    // The main picture where the transformation now puts it, the collage picture at its place.
    EXPECT_EQ(done.Bitmap.Pixel(c.ShiftX, c.ShiftY), kGrey) << label;
    EXPECT_EQ(done.Bitmap.Pixel(c.ShiftX + 199, c.ShiftY + 99), kGrey) << label;
    if (!c.Skipped) {
      const int right = c.ShiftX + 179 + static_cast<int>(c.OffsetX * 100);
      const int bottom = c.ShiftY + 79 + static_cast<int>(c.OffsetY * 100);
      EXPECT_EQ(done.Bitmap.Pixel(right, bottom), kRed) << label;
      EXPECT_EQ(done.Bitmap.Pixel(right + 19, bottom + 19), kRed) << label;
    }
  }
}

TEST_F(CollageDrawingTest, AMissingFileLeavesItsPictureOutAndDrawsTheRest) {
  TPrintWizardPictureEffectUserCollage4Pic collage;
  const std::string file = SavePicture("pin.png", Uniform(20, 20, kRed));
  Pin(collage, 0, (folder_.Path() / "fehlt.png").string(), 0);
  Pin(collage, 1, file, 2);
  Pin(collage, 2, file, 6);
  Pin(collage, 3, file, 8);
  const TCollaged done = ApplyCollage(collage);
  EXPECT_FALSE(done.Skipped);
  EXPECT_EQ(done.Bitmap.Pixel(100, 0), kGrey);  // the missing one's corner
  EXPECT_EQ(done.Bitmap.Pixel(179, 79), kRed);
  EXPECT_EQ(ChangedArea(done.Bitmap, kGrey), (TRect{100, 0, 199, 99}));
}

TEST_F(CollageDrawingTest, APictureShowsTheSameFileAndTurnOnEveryRendering) {
  const std::string files = SavePicture("rot.png", Uniform(30, 20, kRed)) + "\r\n\r\n" +
                            SavePicture("gruen.png", Uniform(30, 20, Color32(0, 255, 0))) + "\r\n" +
                            SavePicture("blau.png", Uniform(30, 20, Color32(0, 0, 255)));
  const std::string photo = SavePicture("photo.png", Uniform(80, 60, kGrey));
  TPrintPageElementPicture element;
  element.PictureProperties().SetUseSlideShowPicture(false);
  element.SetFileName(photo);
  element.SetBounds({0.25, 0.25, 0.75, 0.75});
  auto collage = std::make_unique<TPrintWizardPictureEffectUserCollage1Pic>();
  TCollagePic& pin = collage->CollageProperties().Pictures().Items(0);
  pin.SetFileNames(files);
  pin.SetPlacement(4);
  pin.SetWidth(1);
  pin.SetHeight(1);
  pin.SetAngleRange(80);
  element.PictureProperties().Effects().Add(std::unique_ptr<TObject>(std::move(collage)));
  const auto render = [&](uint32_t threadSeed) {
    // Whatever the thread's generator holds, the picture draws from its own.
    SeedDrawingRandom(threadSeed);
    TBitmap32 page = Uniform(200, 200, kColor32White);
    RenderLikeTheEngine(element, page);
    return page;
  };
  const TBitmap32 first = render(1);
  EXPECT_EQ(render(2), first);
  // The seed decides: another one picks another file or turn.
  const uint32_t seed = pin.Seed();
  pin.SetSeed(seed + 1);
  EXPECT_NE(render(1), first);
  pin.SetSeed(seed);
  EXPECT_EQ(render(3), first);
}

}  // namespace
}  // namespace nimbra
