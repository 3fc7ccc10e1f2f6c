// What the effects do to pixels: colourising.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "DrawingTestSupport.h"
#include "elements/PrintWizardPictureEffectColorize.h"

namespace nimbra {
namespace {

using test::Uniform;

class PictureEffectDrawingTest : public test::TDrawingTest {};

constexpr TColor32 kRed = Color32(255, 0, 0);
constexpr TColor32 kGreen = Color32(0, 255, 0);
constexpr TColor32 kBlue = Color32(0, 0, 255);
constexpr TColor32 kGrey = Color32(128, 128, 128);

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

}  // namespace
}  // namespace nimbra
