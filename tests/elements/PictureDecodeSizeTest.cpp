// The decode size of a picture element's photo: the hint made from its shown proportions and the
// way it is drawn.
#include <gtest/gtest.h>

#include "elements/PictureDecodeSize.h"
#include "raster/JpegCodec.h"
#include "raster/RowTarget.h"

namespace nimbra {
namespace {

TEST(PictureDecodeSizeTest, HintIsTheFittedBoxTimesTheFactor) {
  // 4000 × 3000 fits a 400 × 100 box as 133 × 100.
  EXPECT_EQ(FittedDecodeHint({4000, 3000}, 400, 100, 2), (TDecodeHint{266, 200}));
  EXPECT_EQ(FittedDecodeHint({4000, 3000}, 400, 100, 1), (TDecodeHint{133, 100}));
  EXPECT_EQ(FittedDecodeHint({3000, 4000}, 400, 400, 2), (TDecodeHint{600, 800}));
}

TEST(PictureDecodeSizeTest, PhotosWithoutEffectsAreDecodedForTheSizeTheyAreDrawnAt) {
  struct TCase {
    const char* What;
    TPictureSize Size;
    TPictureDrawing Drawing;
    TDecodeHint Hint;
  };
  const auto drawing = [](int w, int h, bool rendering, bool effects) {
    TPictureDrawing d;
    d.BoxWidth = w;
    d.BoxHeight = h;
    d.Rendering = rendering;
    d.HasEffects = effects;
    return d;
  };
  TPictureDrawing stretched = drawing(400, 100, true, false);
  stretched.KeepAspect = false;
  TPictureDrawing turned = drawing(400, 100, true, false);
  turned.Angle = 30;
  TPictureDrawing random = drawing(200, 200, true, false);
  random.RandomRotation = true;
  TPictureDrawing quarter = drawing(400, 300, true, false);
  quarter.AutoRotate = true;
  const TCase cases[] = {
      {"design view: the fitted box", {4000, 3000}, drawing(400, 100, false, false), {133, 100}},
      {"effects: twice the fitted box", {4000, 3000}, drawing(400, 100, true, true), {266, 200}},
      {"drawn fitted", {4000, 3000}, drawing(400, 100, true, false), {133, 100, 1.4}},
      {"drawn stretched over the box", {4000, 3000}, stretched, {400, 100, 1.4}},
      // Turned by 30 degrees it is drawn smaller than unturned, and decoded as for unturned.
      {"turned", {4000, 3000}, turned, {133, 100, 1.4}},
      // Between −5 and 5 degrees a 200 × 100 photo is drawn largest unturned.
      {"turned at random", {200, 100}, random, {200, 100, 1.4}},
      // Turned by a quarter, the portrait fills the landscape box as 300 high and 400 wide,
      // rounded up and a pixel more.
      {"turned by a quarter", {3000, 4000}, quarter, {302, 402, 1.4}},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(DrawingDecodeHint(c.Size, c.Drawing), c.Hint) << c.What;
  }
}

TEST(PictureDecodeSizeTest, AFourPhotoPageDecodesItsPhotosAtHalfSize) {
  // A 6000 × 4000 photo in the 1863 × 1015 box of a four-photo page at 3840 × 2160 is drawn
  // 1522 × 1015: the half-size decode covers that and is reduced to two fifths more for the
  // resampling, where twice the fitted box needed the whole photo.
  TPictureDrawing box;
  box.BoxWidth = 1863;
  box.BoxHeight = 1015;
  const TDecodeHint hint = DrawingDecodeHint({6000, 4000}, box);
  EXPECT_EQ(JpegScaleDenominator(6000, 4000, hint, false), 2);
  EXPECT_EQ(KeptSize(3000, 2000, hint, false), (TReducedSize{2132, 1421}));
  box.HasEffects = true;
  EXPECT_EQ(JpegScaleDenominator(6000, 4000, DrawingDecodeHint({6000, 4000}, box), false), 1);
}

}  // namespace
}  // namespace nimbra
