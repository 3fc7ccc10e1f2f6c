// Colourising: every pixel's hue is replaced or turned and its saturation replaced or shifted,
// after the picture was scaled and rotated.
#pragma once

#include <cstdint>

#include "elements/PrintWizardPictureEffect.h"

namespace nimbra {

class TPrintWizardPictureEffectColorizeProperties : public TPrintWizardPictureEffectProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectColorizeProperties() = default;

  // ReplaceColor, Hue, Saturation in one sub-chunk.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  // Set: hue and saturation replace the pixel's; clear: they are added to it.
  bool ReplaceColor() const { return replaceColor_; }
  void SetReplaceColor(bool replace) { replaceColor_ = replace; }
  // Degrees.
  int32_t Hue() const { return hue_; }
  void SetHue(int32_t degrees) { hue_ = degrees; }
  int32_t Saturation() const { return saturation_; }
  void SetSaturation(int32_t saturation) { saturation_ = saturation; }

 private:
  bool replaceColor_ = false;
  int32_t hue_ = 0;
  int32_t saturation_ = 0;
};

class TPrintWizardPictureEffectColorize : public TPrintWizardPictureEffect {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectColorize();

  static std::string ClassCaption() { return "Kolorieren"; }
  static std::string ClassDescription() { return "koloriert ein Bild"; }

  // Recolours every pixel of the bitmap through integer hue, saturation and value; alpha stays.
  void Apply(TBitmap32& bitmap, const TPixelRect& rect, double dpi,
             TAffineTransformation* transformation, double sx, double sy) override;

  TPrintWizardPictureEffectColorizeProperties& ColorizeProperties() const;
};

}  // namespace nimbra
