// The drop shadow: a soft silhouette of the picture, offset by a distance in a direction, drawn
// under it after the picture was scaled and rotated. The bitmap grows to hold the shadow.
#pragma once

#include <cstdint>

#include "elements/PrintWizardPictureEffect.h"

namespace nimbra {

class TPrintWizardPictureEffectShadowProperties : public TPrintWizardPictureEffectProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectShadowProperties() = default;

  // Angle, Distance, Blur, Transparency in one sub-chunk.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  // Centimetres.
  double Distance() const { return distance_; }
  void SetDistance(double centimetres) { distance_ = centimetres; }
  // Degrees; y grows downward, so 45 puts the shadow to the lower right.
  double Angle() const { return angle_; }
  void SetAngle(double degrees) { angle_ = degrees; }
  // Centimetres of soft edge.
  double Blur() const { return blur_; }
  void SetBlur(double centimetres) { blur_ = centimetres; }
  uint8_t Transparency() const { return transparency_; }
  void SetTransparency(uint8_t transparency) { transparency_ = transparency; }

 private:
  double distance_ = 0.2;
  double angle_ = 45;
  double blur_ = 0.1;
  uint8_t transparency_ = 76;
};

class TPrintWizardPictureEffectShadow : public TPrintWizardPictureEffect {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectShadow();

  static std::string ClassCaption() { return "Schatteneffekt"; }
  static std::string ClassDescription() { return "stellt einen Schatten unter einem Bild dar"; }

  // Grows the bitmap by the shadow's offset and twice its soft edge, draws the shadow and the
  // picture over it, and moves the transformation with the picture. A shadow whose bitmaps would
  // exceed the size any picture may have is skipped (Skipped()).
  void Apply(TBitmap32& bitmap, const TPixelRect& rect, double dpi,
             TAffineTransformation* transformation, double sx, double sy) override;

  TPrintWizardPictureEffectShadowProperties& ShadowProperties() const;
};

}  // namespace nimbra
