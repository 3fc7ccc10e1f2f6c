#include "elements/PrintWizardPictureEffectShadow.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "framework/FieldMap.h"
#include "raster/Blend.h"
#include "raster/CodecLimits.h"
#include "raster/Resample.h"
#include "raster/StretchDraw.h"
#include "raster/Transform.h"
#include "templates/PageGeometry.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectShadowProperties, TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectShadow, TPrintWizardPictureEffect)

// ---- TPrintWizardPictureEffectShadowProperties ----

void TPrintWizardPictureEffectShadowProperties::MapFields(TFieldMap& map) {
  TPrintWizardPictureEffectProperties::MapFields(map);
  map.SubChunk([&] {
    map.Double("angle", angle_);
    map.Double("distance", distance_);
    map.Double("blur", blur_);
    map.Byte("transparency", transparency_);
  });
}

std::string TPrintWizardPictureEffectShadowProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPrintWizardPictureEffectProperties::EditorFrameClassNames(),
                                    "TPrintWizardPictureEffectShadowPropertiesEditorFrame");
}

// ---- TPrintWizardPictureEffectShadow ----

namespace {

// The shadow's offset from the picture and the width of its soft edge, in pixels.
struct TShadowOffsets {
  int64_t Dx = 0;
  int64_t Dy = 0;
  int64_t K = 0;
};

// 1. Stored lengths may be anything a double holds; rounding takes NaN to 0 and clamps the rest
// to 32 bits, and the size check that follows refuses what that cannot hold. A negative blur has
// no soft edge to draw and counts as none.
TShadowOffsets ShadowOffsets(const TPrintWizardPictureEffectShadowProperties& bag, double dpi) {
  const double r = bag.Angle() * std::numbers::pi / 180;
  const double perCentimetre = dpi / 2.54;
  return {RoundHalfToEven(perCentimetre * std::cos(r) * bag.Distance()),
          RoundHalfToEven(perCentimetre * std::sin(r) * bag.Distance()),
          std::max(0, RoundHalfToEven(perCentimetre * bag.Blur()))};
}

// Every pixel becomes black with its own alpha. (Grey 255 − a at alpha a, as once drawn, lit up
// the soft edge: on a dark page the shadow wore a light halo.)
void MakeSilhouette(TBitmap32& bitmap) {
  TColor32* pixel = bitmap.Bits();
  TColor32* const end = pixel + bitmap.Width() * int64_t{bitmap.Height()};
  for (; pixel != end; ++pixel) *pixel = ColorWithAlpha(kColor32Black, AlphaComponent(*pixel));
}

// 3. The picture's silhouette, softened by reducing it k times and stretching it back. The
// preview has no soft edge, so only the final rendering resamples, always with the spline.
void MakeShadowMask(TBitmap32& shadow, int64_t k, uint8_t transparency, bool preview) {
  if (preview || k <= 0) {
    MakeSilhouette(shadow);
    return;
  }
  const double kd = static_cast<double>(k);
  TBitmap32 reduced =
      Resampled(shadow, std::max(1, RoundHalfToEven(shadow.Width() / kd)),
                std::max(1, RoundHalfToEven(shadow.Height() / kd)), TResamplingFilter::Spline);
  MakeSilhouette(reduced);
  shadow.Clear(kColor32Transparent);
  StretchDraw(shadow, shadow.BoundsRect(), reduced, TResamplingFilter::Spline, TDrawMode::Blend,
              static_cast<uint8_t>(255 - transparency));
}

}  // namespace

TPrintWizardPictureEffectShadow::TPrintWizardPictureEffectShadow()
    : TPrintWizardPictureEffect(&TPrintWizardPictureEffectShadowProperties::StaticClass(),
                                kEffectStageAfterGeometry) {}

void TPrintWizardPictureEffectShadow::Apply(TBitmap32& bitmap, const TPixelRect&, double dpi,
                                            TAffineTransformation* transformation, double, double) {
  SetSkipped(false);
  if (bitmap.Empty()) return;
  const TPrintWizardPictureEffectShadowProperties& bag = ShadowProperties();
  // 1.
  const auto [dx, dy, k] = ShadowOffsets(bag, dpi);
  const int64_t shadowWidth = bitmap.Width() + 4 * k;
  const int64_t shadowHeight = bitmap.Height() + 4 * k;
  const int64_t grownWidth = bitmap.Width() + std::abs(dx) + 2 * k;
  const int64_t grownHeight = bitmap.Height() + std::abs(dy) + 2 * k;
  // The shadow works in bitmaps no larger than the whole-picture decoders accept.
  if (!WithinWholePictureLimits(shadowWidth, shadowHeight) ||
      !WithinWholePictureLimits(grownWidth, grownHeight)) {
    SetSkipped(true);
    return;
  }
  // From here every size and position fits in int.
  const int edge = static_cast<int>(k);
  // 2. the picture, opaque, in a transparent white bitmap with room for twice the soft edge
  TBitmap32 shadow(static_cast<int>(shadowWidth), static_cast<int>(shadowHeight));
  shadow.Clear(kColor32TransparentWhite);
  DrawBitmap(shadow, 2 * edge, 2 * edge, bitmap, TDrawMode::Opaque);
  // 3.
  MakeShadowMask(shadow, k, bag.Transparency(), Preview());
  // 4. the grown bitmap gets the shadow, the soft edge's outer half cut off
  const TBitmap32 picture = std::move(bitmap);
  bitmap.SetSize(static_cast<int>(grownWidth), static_cast<int>(grownHeight));
  DrawBitmap(bitmap, static_cast<int>(std::max<int64_t>(0, dx)),
             static_cast<int>(std::max<int64_t>(0, dy)), shadow,
             {edge, edge, shadow.Width(), shadow.Height()}, TDrawMode::Opaque);
  // 5. the picture moves by the room left of and above it
  const int left = edge + static_cast<int>(std::max<int64_t>(0, -dx));
  const int top = edge + static_cast<int>(std::max<int64_t>(0, -dy));
  if (transformation != nullptr) transformation->Translate(left, top);
  // 6.
  DrawBitmap(bitmap, left, top, picture, Preview() ? TDrawMode::Blend : TDrawMode::Merge);
}

TPrintWizardPictureEffectShadowProperties& TPrintWizardPictureEffectShadow::ShadowProperties()
    const {
  // The constructor created the bag of this class.
  return static_cast<TPrintWizardPictureEffectShadowProperties&>(*Properties());
}

}  // namespace nimbra
