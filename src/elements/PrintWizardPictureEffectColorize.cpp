#include "elements/PrintWizardPictureEffectColorize.h"

#include <algorithm>
#include <cstdint>

#include "framework/FieldMap.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectColorizeProperties,
                     TPrintWizardPictureEffectProperties)
NIMBRA_DEFINE_PLUGIN(TPrintWizardPictureEffectColorize, TPrintWizardPictureEffect)

// ---- TPrintWizardPictureEffectColorizeProperties ----

void TPrintWizardPictureEffectColorizeProperties::MapFields(TFieldMap& map) {
  TPrintWizardPictureEffectProperties::MapFields(map);
  map.SubChunk([&] {
    map.Boolean("replaceColor", replaceColor_);
    map.Integer("hue", hue_);
    map.Integer("saturation", saturation_);
  });
}

std::string TPrintWizardPictureEffectColorizeProperties::EditorFrameClassNames() const {
  // This frame's name is spelled "PropertyEditorFrame", unlike its siblings'.
  return AppendEditorFrameClassName(TPrintWizardPictureEffectProperties::EditorFrameClassNames(),
                                    "TPrintWizardPictureEffectColorizePropertyEditorFrame");
}

namespace {

// Hue in degrees (1 … 360; 0 only where a replacing hue asks for grey), saturation and value
// 0 … 255.
struct THsv {
  int32_t H = 0;
  int32_t S = 0;
  int32_t V = 0;
};

// 1. integer hue, saturation and value; a hue below 1 is taken round once
THsv ToHsv(TColor32 colour) {
  const int32_t r = RedComponent(colour);
  const int32_t g = GreenComponent(colour);
  const int32_t b = BlueComponent(colour);
  THsv hsv;
  hsv.V = std::max({r, g, b});
  const int32_t spread = hsv.V - std::min({r, g, b});
  hsv.S = hsv.V == 0 ? 0 : spread * 255 / hsv.V;
  if (hsv.S != 0) {
    if (hsv.V == r) {
      hsv.H = (g - b) * 60 / spread;
    } else if (hsv.V == g) {
      hsv.H = (b - r) * 60 / spread + 120;
    } else {
      hsv.H = (r - g) * 60 / spread + 240;
    }
  }
  if (hsv.H < 1) hsv.H += 360;
  return hsv;
}

// 2. A replacing hue of 0 means grey and 360 red, so hues within 0 … 360 are kept as given;
// others, and every turned hue, are brought into 0 … 359. A turn that lands on 0 is red: only a
// replacing hue may ask for grey. Saturations are limited to 0 … 255 in both modes, so stored
// values of any size give colours in range.
THsv Colorized(THsv hsv, const TPrintWizardPictureEffectColorizeProperties& bag) {
  const auto circle = [](int64_t degrees) {
    return static_cast<int32_t>((degrees % 360 + 360) % 360);
  };
  if (bag.ReplaceColor()) {
    hsv.H = bag.Hue() >= 0 && bag.Hue() <= 360 ? bag.Hue() : circle(bag.Hue());
    hsv.S = std::clamp<int32_t>(bag.Saturation(), 0, 255);
  } else {
    hsv.H = circle(int64_t{hsv.H} + bag.Hue() % 360);
    if (hsv.H == 0) hsv.H = 360;
    hsv.S = static_cast<int32_t>(std::clamp<int64_t>(int64_t{hsv.S} + bag.Saturation(), 0, 255));
  }
  return hsv;
}

// 3. back to red, green and blue; hue, saturation or value 0 is grey, hue 360 counts as 0
TColor32 FromHsv(const THsv& hsv, uint8_t alpha) {
  const int32_t v = hsv.V;
  if (hsv.H == 0 || hsv.S == 0 || v == 0) {
    return Color32(uint8_t(v), uint8_t(v), uint8_t(v), alpha);
  }
  const int32_t h = hsv.H == 360 ? 0 : hsv.H;
  const int32_t f = h % 60;
  const auto p = static_cast<uint8_t>(v - hsv.S * v / 255);
  const auto q = static_cast<uint8_t>(v - hsv.S * v * f / 15300);
  const auto t = static_cast<uint8_t>(v - hsv.S * v * (60 - f) / 15300);
  const auto w = static_cast<uint8_t>(v);
  switch (h / 60) {
    case 0:
      return Color32(w, t, p, alpha);
    case 1:
      return Color32(q, w, p, alpha);
    case 2:
      return Color32(p, w, t, alpha);
    case 3:
      return Color32(p, q, w, alpha);
    case 4:
      return Color32(t, p, w, alpha);
    default:
      return Color32(w, p, q, alpha);
  }
}

}  // namespace

// ---- TPrintWizardPictureEffectColorize ----

TPrintWizardPictureEffectColorize::TPrintWizardPictureEffectColorize()
    : TPrintWizardPictureEffect(&TPrintWizardPictureEffectColorizeProperties::StaticClass(),
                                kEffectStageAfterGeometry) {}

void TPrintWizardPictureEffectColorize::Apply(TBitmap32& bitmap, const TPixelRect&, double,
                                              TAffineTransformation*, double, double) {
  const TPrintWizardPictureEffectColorizeProperties& bag = ColorizeProperties();
  TColor32* pixel = bitmap.Bits();
  TColor32* const end = pixel + bitmap.Width() * int64_t{bitmap.Height()};
  for (; pixel != end; ++pixel) {
    *pixel = FromHsv(Colorized(ToHsv(*pixel), bag), AlphaComponent(*pixel));
  }
}

TPrintWizardPictureEffectColorizeProperties& TPrintWizardPictureEffectColorize::ColorizeProperties()
    const {
  return static_cast<TPrintWizardPictureEffectColorizeProperties&>(*Properties());
}

}  // namespace nimbra
