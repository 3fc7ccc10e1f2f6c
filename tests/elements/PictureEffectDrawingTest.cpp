// What the effects do to pixels: colourising, and the shadow on its own and under a picture
// element drawn onto a page.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "DrawingTestSupport.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintWizardPictureEffectColorize.h"
#include "elements/PrintWizardPictureEffectShadow.h"
#include "framework/ErrorCounter.h"
#include "raster/Blend.h"
#include "raster/Transform.h"

namespace nimbra {
namespace {

using test::ChangedArea;
using test::RenderLikeTheEngine;
using test::Uniform;

class PictureEffectDrawingTest : public test::TDrawingTest {};

constexpr TColor32 kRed = Color32(255, 0, 0);
constexpr TColor32 kGreen = Color32(0, 255, 0);
constexpr TColor32 kGrey = Color32(128, 128, 128);
constexpr TColor32 kPhoto = Color32(200, 100, 50);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST_F(PictureEffectDrawingTest, ColorizeReplacesOrTurnsHueAndSaturation) {
  struct TCase {
    bool Replace;
    int32_t Hue, Saturation;
    TColor32 Before, After;
  };
  const std::vector<TCase> cases{
      {true, 120, 255, kGrey, Color32(0, 128, 0)},
      // A replacing hue of 0 is grey, 360 and 1 tint red; saturation 0 is grey whatever the hue.
      {true, 0, 255, kGrey, kGrey},
      {true, 360, 255, kGrey, Color32(128, 0, 0)},
      {true, 1, 255, kGrey, Color32(128, 3, 0)},
      {true, 120, 0, kRed, Color32(255, 255, 255)},
      // Turning: red to green, blue round to red (not grey), no turn keeps red; alpha stays.
      {false, 120, 0, ColorWithAlpha(kRed, 77), ColorWithAlpha(kGreen, 77)},
      {false, 120, 0, Color32(0, 0, 255), kRed},
      {false, 0, 0, kRed, kRed},
      // Stored values of any size still give colours: hues go round, saturations are limited.
      {true, 840, 1000, kGrey, Color32(0, 128, 0)},
      {false, -240, INT32_MAX, Color32(200, 100, 100), Color32(0, 200, 0)},
      {false, INT32_MIN, -INT32_MAX, kRed, Color32(255, 255, 255)},
  };
  for (const TCase& c : cases) {
    TPrintWizardPictureEffectColorize effect;
    effect.ColorizeProperties().SetReplaceColor(c.Replace);
    effect.ColorizeProperties().SetHue(c.Hue);
    effect.ColorizeProperties().SetSaturation(c.Saturation);
    TBitmap32 bitmap = Uniform(3, 2, c.Before);
    effect.Apply(bitmap, {0, 0, 3, 2}, 96, nullptr, 1, 1);
    EXPECT_EQ(bitmap, Uniform(3, 2, c.After)) << c.Replace << " " << c.Hue << " " << c.Saturation;
  }
}

// The photo with a shadow of the settings applied; the transformation starts as the identity.
struct TShadowed {
  TBitmap32 Bitmap;
  TAffineTransformation Transformation;
  bool Skipped = false;
};

TShadowed ApplyShadow(double angle, double distance, double blur, double dpi, bool preview,
                      uint8_t transparency = 76, TBitmap32 photo = Uniform(20, 10, kPhoto)) {
  TPrintWizardPictureEffectShadow effect;
  auto& bag = effect.ShadowProperties();
  bag.SetAngle(angle);
  bag.SetDistance(distance);
  bag.SetBlur(blur);
  bag.SetTransparency(transparency);
  effect.SetPreview(preview);
  TShadowed s;
  s.Bitmap = std::move(photo);
  effect.Apply(s.Bitmap, {0, 0, s.Bitmap.Width(), s.Bitmap.Height()}, dpi, &s.Transformation, 1, 1);
  s.Skipped = effect.Skipped();
  return s;
}

TEST_F(PictureEffectDrawingTest, ShadowGrowsTheBitmapAndMovesThePictureOrIsSkipped) {
  struct TCase {
    double Angle, Distance, Blur, Dpi;
    bool Preview, Skipped;
    int Width, Height, Left, Top;  // the grown bitmap; the photo and the transformation's shift
  };
  const std::vector<TCase> cases{
      // Defaults at 96 dpi: dx = dy = 5, k = 4, 13 pixels more each way, the photo at (4, 4).
      {45, 0.2, 0.1, 96, false, false, 33, 23, 4, 4},
      {45, 0.2, 0.1, 96, true, false, 33, 23, 4, 4},
      // To the left: dx = −8, the photo |dx| + k from the left edge; up: dy = −8.
      {180, 0.2, 0.1, 96, false, false, 36, 18, 12, 4},
      {270, 0.2, 0.1, 96, false, false, 28, 26, 4, 12},
      // A blur of a metre at 300 dpi would need 47264² pixels; skipped like every other length
      // too large for any picture.
      {45, 0.2, 100, 300, false, true, 20, 10, 0, 0},
      {45, kInf, 0.1, 96, false, true, 20, 10, 0, 0},
      {45, 0.2, 1e300, 96, false, true, 20, 10, 0, 0},
      // Not a number counts as 0, a negative blur as none.
      {kNaN, 0.2, 0.1, 96, false, false, 28, 18, 4, 4},
      {45, kNaN, kNaN, 96, false, false, 20, 10, 0, 0},
      {45, 0.2, -3, 96, false, false, 25, 15, 0, 0},
      {45, 0.2, 0.1, kNaN, false, false, 20, 10, 0, 0},
  };
  for (const TCase& c : cases) {
    const TShadowed s = ApplyShadow(c.Angle, c.Distance, c.Blur, c.Dpi, c.Preview);
    const std::string name = std::to_string(c.Angle) + " " + std::to_string(c.Distance) + " " +
                             std::to_string(c.Blur) + " " + std::to_string(c.Dpi);
    EXPECT_EQ(s.Skipped, c.Skipped) << name;
    EXPECT_EQ(s.Bitmap.Width(), c.Width) << name;
    EXPECT_EQ(s.Bitmap.Height(), c.Height) << name;
    ASSERT_EQ(s.Bitmap.Pixel(c.Left, c.Top), kPhoto) << name;
    EXPECT_EQ(s.Bitmap.Pixel(c.Left + 19, c.Top + 9), kPhoto) << name;
    EXPECT_NE(c.Left == 0 ? 0 : s.Bitmap.Pixel(c.Left - 1, c.Top), kPhoto) << name;
    EXPECT_NE(c.Top == 0 ? 0 : s.Bitmap.Pixel(c.Left, c.Top - 1), kPhoto) << name;
    EXPECT_EQ(s.Transformation.E(), c.Left) << name;
    EXPECT_EQ(s.Transformation.F(), c.Top) << name;
  }
}

TEST_F(PictureEffectDrawingTest, ShadowIsHardWithoutBlurAndTranslucentWithOne) {
  // Blur 0: an opaque black silhouette whatever the transparency.
  TBitmap32 expected(25, 15);
  FillRect(expected, {5, 5, 25, 15}, kColor32Black);
  FillRect(expected, {0, 0, 20, 10}, kPhoto);
  EXPECT_EQ(ApplyShadow(45, 0.2, 0, 96, false, 200).Bitmap, expected);
  // Blurred, a 60 × 40 photo's shadow 27 pixels away is black and as opaque as the transparency
  // allows in its core, and fades towards its edge.
  const TShadowed soft = ApplyShadow(45, 1, 0.1, 96, false, 76, Uniform(60, 40, kPhoto));
  EXPECT_EQ(soft.Bitmap.Pixel(75, 50), Color32(0, 0, 0, 255 - 76));
  EXPECT_LT(AlphaComponent(soft.Bitmap.Pixel(92, 50)), (255 - 76) / 2);
}

TEST_F(PictureEffectDrawingTest, ShadowOnAPageLeavesThePictureAndDarkensBelowRight) {
  constexpr TColor32 kDarkPage = Color32(30, 50, 80);
  const std::string file = SavePicture("photo.png", Uniform(40, 30, kPhoto));
  // The photo in the middle of a dark page, with a shadow of the blur or without one.
  const auto render = [&](const double* blur, TErrorCounter* errors = nullptr) {
    TPrintPageElementPicture element;
    element.PictureProperties().SetUseSlideShowPicture(false);
    element.SetFileName(file);
    element.SetBounds({0.25, 0.25, 0.75, 0.75});
    element.SetErrorCounter(errors);
    if (blur != nullptr) {
      auto shadow = std::make_unique<TPrintWizardPictureEffectShadow>();
      shadow->ShadowProperties().SetBlur(*blur);
      element.PictureProperties().Effects().Add(std::unique_ptr<TObject>(std::move(shadow)));
    }
    TBitmap32 page = Uniform(200, 200, kDarkPage);
    RenderLikeTheEngine(element, page);
    return page;
  };
  const TBitmap32 plain = render(nullptr);
  const TRect photo = ChangedArea(plain, kDarkPage);
  ASSERT_EQ(photo, (TRect{50, 62, 150, 137}));
  const double blur = 0.1;
  const TBitmap32 shadowed = render(&blur);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      const TColor32 pixel = shadowed.Pixel(x, y);
      if (photo.Contains(x, y) || x < photo.Left || y < photo.Top) {
        ASSERT_EQ(pixel, plain.Pixel(x, y)) << x << "," << y;
      } else {
        // Only ever darker, also at the soft edge: no light halo on a dark page.
        ASSERT_LE(RedComponent(pixel), RedComponent(kDarkPage)) << x << "," << y;
        ASSERT_LE(GreenComponent(pixel), GreenComponent(kDarkPage)) << x << "," << y;
        ASSERT_LE(BlueComponent(pixel), BlueComponent(kDarkPage)) << x << "," << y;
      }
    }
  }
  EXPECT_LT(BlueComponent(shadowed.Pixel(152, 100)), 60);
  EXPECT_LT(BlueComponent(shadowed.Pixel(100, 139)), 60);

  // A shadow too large for any bitmap is left out and counted; the picture is drawn as ever.
  TErrorCounter errors;
  const double huge = 1e5;
  EXPECT_EQ(render(&huge, &errors), plain);
  ASSERT_EQ(errors.WarningCount(), 1);
  EXPECT_EQ(errors.Warnings().Items(0).Text,
            "Ein Bildeffekt für \"" + file + "\" wurde ausgelassen: das Bild würde zu groß werden.");
}

}  // namespace
}  // namespace nimbra
