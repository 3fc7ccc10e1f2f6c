// What the effects do to pixels: colourising, and the shadow on its own and under a picture
// element drawn onto a page.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
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
constexpr TColor32 kBlue = Color32(0, 0, 255);
constexpr TColor32 kGrey = Color32(128, 128, 128);
constexpr TColor32 kPage = Color32(30, 50, 80);
constexpr TColor32 kPhoto = Color32(200, 100, 50);

// The shadow's settings; the defaults unless a test says otherwise.
struct TShadow {
  double Angle = 45, Distance = 0.2, Blur = 0.1;
  uint8_t Transparency = 76;
};

// A photo (20 × 10 unless given) with a shadow applied at the resolution; the transformation
// starts as the identity.
struct TShadowed {
  TBitmap32 Bitmap;
  TAffineTransformation Transformation;
  bool Skipped = false;
};

TShadowed ApplyShadow(const TShadow& settings, double dpi = 96, bool preview = false,
                      int width = 20, int height = 10) {
  TPrintWizardPictureEffectShadow effect;
  auto& bag = effect.ShadowProperties();
  bag.SetAngle(settings.Angle);
  bag.SetDistance(settings.Distance);
  bag.SetBlur(settings.Blur);
  bag.SetTransparency(settings.Transparency);
  effect.SetPreview(preview);
  TShadowed result;
  result.Bitmap = Uniform(width, height, kPhoto);
  effect.Apply(result.Bitmap, {0, 0, width, height}, dpi, &result.Transformation, 1, 1);
  result.Skipped = effect.Skipped();
  return result;
}

// Where the photo sits in the bitmap: the bounds of its exact colour.
TRect PhotoArea(const TBitmap32& bitmap) {
  TRect area{bitmap.Width(), bitmap.Height(), 0, 0};
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (bitmap.Pixel(x, y) != kPhoto) continue;
      area = {std::min(area.Left, x), std::min(area.Top, y), std::max(area.Right, x + 1),
              std::max(area.Bottom, y + 1)};
    }
  }
  return area;
}

TEST_F(PictureEffectDrawingTest, ColorizeReplacesOrTurnsHueAndSaturation) {
  struct TCase {
    bool Replace;
    int32_t Hue, Saturation;
    TColor32 Before, After;
  };
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  const std::vector<TCase> cases{
      {true, 120, 255, kGrey, Color32(0, 128, 0)},
      // A replacing hue of 0 is grey; 360 and 1 tint red; saturation 0 is grey whatever the hue.
      {true, 0, 255, kGrey, kGrey},
      {true, 360, 255, kGrey, Color32(128, 0, 0)},
      {true, 1, 255, kGrey, Color32(128, 3, 0)},
      {true, 120, 0, kRed, Color32(255, 255, 255)},
      // Turning: red to green, blue round to red (not grey), no turn keeps red.
      {false, 120, 0, kRed, kGreen},
      {false, 120, 0, kBlue, kRed},
      {false, 0, 0, kRed, kRed},
      {false, 0, 0, kGrey, kGrey},
      // Alpha stays.
      {false, 120, 0, ColorWithAlpha(kRed, 77), ColorWithAlpha(kGreen, 77)},
      // Stored values of any size still give colours: hues go round, saturations are limited.
      {true, 840, 1000, kGrey, Color32(0, 128, 0)},
      {false, -240, kMax, Color32(200, 100, 100), Color32(0, 200, 0)},
      {false, std::numeric_limits<int32_t>::min(), -kMax, kRed, Color32(255, 255, 255)},
  };
  for (const TCase& c : cases) {
    TPrintWizardPictureEffectColorize effect;
    effect.ColorizeProperties().SetReplaceColor(c.Replace);
    effect.ColorizeProperties().SetHue(c.Hue);
    effect.ColorizeProperties().SetSaturation(c.Saturation);
    TBitmap32 bitmap = Uniform(3, 2, c.Before);
    effect.Apply(bitmap, {0, 0, 3, 2}, 96, nullptr, 1, 1);
    EXPECT_EQ(bitmap, Uniform(3, 2, c.After))
        << c.Replace << " " << c.Hue << " " << c.Saturation << " " << std::hex << c.Before
        << " -> " << bitmap.Pixel(0, 0);
  }
}

TEST_F(PictureEffectDrawingTest, ShadowGrowsTheBitmapAndMovesThePictureAwayFromIt) {
  struct TCase {
    TShadow Settings;
    bool Preview;
    int Width, Height;  // of the grown bitmap
    int Left, Top;      // of the photo, and the transformation's shift
    int ShadowX, ShadowY, ClearX, ClearY;
  };
  const std::vector<TCase> cases{
      // Defaults at 96 dpi: dx = dy = 5, k = 4, 13 pixels more each way, the photo at (4, 4);
      // the shadow lies below right, nothing above left.
      {{}, false, 33, 23, 4, 4, 26, 16, 1, 1},
      {{}, true, 33, 23, 4, 4, 26, 16, 1, 1},
      // To the left: dx = −8, dy = 0, the photo |dx| + k = 12 from the left edge.
      {{180}, false, 36, 18, 12, 4, 6, 9, 34, 9},
      // Up: dx = 0, dy = −8.
      {{270}, false, 28, 26, 4, 12, 14, 6, 14, 24},
  };
  for (const TCase& c : cases) {
    const TShadowed s = ApplyShadow(c.Settings, 96, c.Preview);
    const std::string name = std::to_string(c.Settings.Angle) + (c.Preview ? " preview" : "");
    EXPECT_FALSE(s.Skipped) << name;
    EXPECT_EQ(s.Bitmap.Width(), c.Width) << name;
    EXPECT_EQ(s.Bitmap.Height(), c.Height) << name;
    EXPECT_EQ(PhotoArea(s.Bitmap), (TRect{c.Left, c.Top, c.Left + 20, c.Top + 10})) << name;
    EXPECT_EQ(s.Transformation.E(), c.Left) << name;
    EXPECT_EQ(s.Transformation.F(), c.Top) << name;
    const TColor32 shadow = s.Bitmap.Pixel(c.ShadowX, c.ShadowY);
    // Grey (black where the blur leaves it opaque), never the photo's colour.
    EXPECT_GT(AlphaComponent(shadow), 0) << name;
    EXPECT_EQ(RedComponent(shadow), BlueComponent(shadow)) << name;
    EXPECT_EQ(GreenComponent(shadow), BlueComponent(shadow)) << name;
    EXPECT_EQ(AlphaComponent(s.Bitmap.Pixel(c.ClearX, c.ClearY)), 0) << name;
  }
}

TEST_F(PictureEffectDrawingTest, ShadowIsSoftAndTranslucentOnlyWithABlur) {
  // Blur 0: a hard, opaque black silhouette whatever the transparency.
  const TShadowed hard = ApplyShadow({45, 0.2, 0, 200});
  TBitmap32 expected(25, 15);
  FillRect(expected, {5, 5, 25, 15}, kColor32Black);
  FillRect(expected, {0, 0, 20, 10}, kPhoto);
  EXPECT_EQ(hard.Bitmap, expected);

  // With a blur, a 60 × 40 photo's shadow 27 pixels away is black, as opaque as the
  // transparency allows in its core, and fades out towards its edge.
  const TShadowed soft = ApplyShadow({45, 1, 0.1}, 96, false, 60, 40);
  ASSERT_EQ(PhotoArea(soft.Bitmap), (TRect{4, 4, 64, 44}));
  EXPECT_EQ(soft.Bitmap.Pixel(75, 50), Color32(0, 0, 0, 255 - 76));
  EXPECT_LT(AlphaComponent(soft.Bitmap.Pixel(92, 50)), (255 - 76) / 2);
  const TShadowed invisible = ApplyShadow({45, 1, 0.1, 255}, 96, false, 60, 40);
  EXPECT_EQ(AlphaComponent(invisible.Bitmap.Pixel(75, 50)), 0);
}

TEST_F(PictureEffectDrawingTest, ShadowSettingsOfAnySizeDrawOrAreSkipped) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  struct TCase {
    TShadow Settings;
    double Dpi;
    bool Skipped;
    int Width, Height;
  };
  const std::vector<TCase> cases{
      // A blur of a metre at 300 dpi would need a bitmap of 47264² pixels.
      {{45, 0.2, 100}, 300, true, 20, 10},
      {{45, 1e300, 0.1}, 96, true, 20, 10},
      {{45, kInf, 0.1}, 96, true, 20, 10},
      {{45, 0.2, kInf}, 96, true, 20, 10},
      {{45, 0.2, 1e6}, 96, true, 20, 10},
      // Not a number counts as 0; a negative blur as none.
      {{kNaN, 0.2, 0.1}, 96, false, 28, 18},
      {{kInf, 0.2, 0.1}, 96, false, 28, 18},
      {{45, kNaN, kNaN}, 96, false, 20, 10},
      {{45, 0.2, -3}, 96, false, 25, 15},
      {{45, 0.2, 0.1}, kNaN, false, 20, 10},
      // A negative resolution turns the offset round and leaves no soft edge.
      {{45, 0.2, 0.1}, -96, false, 25, 15},
  };
  for (const TCase& c : cases) {
    const TShadowed s = ApplyShadow(c.Settings, c.Dpi);
    const std::string name = std::to_string(c.Settings.Angle) + " " +
                             std::to_string(c.Settings.Distance) + " " +
                             std::to_string(c.Settings.Blur) + " " + std::to_string(c.Dpi);
    EXPECT_EQ(s.Skipped, c.Skipped) << name;
    EXPECT_EQ(s.Bitmap.Width(), c.Width) << name;
    EXPECT_EQ(s.Bitmap.Height(), c.Height) << name;
    EXPECT_EQ(PhotoArea(s.Bitmap).Width(), 20) << name;
    EXPECT_EQ(PhotoArea(s.Bitmap).Height(), 10) << name;
  }
}

class ShadowOnPageTest : public PictureEffectDrawingTest {
 protected:
  // The photo in the middle of a white 200 × 200 page, drawn as the engine draws it, with a
  // shadow of the blur given or without one. (The shadow's faint edge is light grey, so on a dark
  // page it lightens.)
  TBitmap32 Render(const std::string& file, const double* blur, TErrorCounter* errors = nullptr) {
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
    TBitmap32 page = Uniform(200, 200, kColor32White);
    RenderLikeTheEngine(element, page);
    return page;
  }
};

TEST_F(ShadowOnPageTest, PictureStaysWhereItWasAndTheShadowFallsBelowRight) {
  const std::string file = SavePicture("photo.png", Uniform(40, 30, kPhoto));
  const TBitmap32 plain = Render(file, nullptr);
  const TRect photo = ChangedArea(plain, kColor32White);
  ASSERT_EQ(photo, (TRect{50, 62, 150, 137}));
  const double blur = 0.1;
  const TBitmap32 shadowed = Render(file, &blur);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      const TColor32 pixel = shadowed.Pixel(x, y);
      if (photo.Contains(x, y) || x < photo.Left || y < photo.Top) {
        ASSERT_EQ(pixel, plain.Pixel(x, y)) << x << "," << y;
      } else {
        // Grey over the page, nothing of the photo's colour.
        ASSERT_EQ(RedComponent(pixel), BlueComponent(pixel)) << x << "," << y;
        ASSERT_EQ(GreenComponent(pixel), BlueComponent(pixel)) << x << "," << y;
      }
    }
  }
  EXPECT_LT(BlueComponent(shadowed.Pixel(152, 100)), 200);
  EXPECT_LT(BlueComponent(shadowed.Pixel(100, 139)), 200);

  // A shadow too large for any bitmap is left out and counted; the picture is drawn as ever.
  TErrorCounter errors;
  const double huge = 1e5;
  EXPECT_EQ(Render(file, &huge, &errors), plain);
  ASSERT_EQ(errors.WarningCount(), 1);
  EXPECT_EQ(errors.Warnings().Items(0).Text,
            "Ein Bildeffekt für \"" + file + "\" wurde ausgelassen: das Bild würde zu groß.");
}

}  // namespace
}  // namespace nimbra
