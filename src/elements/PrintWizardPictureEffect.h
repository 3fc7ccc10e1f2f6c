// A picture effect: a plug-in with a property bag that works on a picture element's bitmap, either
// before the picture is scaled and rotated into its box (stage 0) or after (stage 1). Lengths in
// effect bags are centimetres, turned into pixels at the resolution the element hands over.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/InterfacedPlugin.h"
#include "framework/Properties.h"
#include "raster/Bitmap32.h"
#include "templates/PageGeometry.h"

namespace nimbra {

// The picture's affine transformation (source pixels to output pixels); the drawing code defines
// it with the raster library's transforms.
class TAffineTransformation;

inline constexpr uint8_t kEffectStageBeforeGeometry = 0;
inline constexpr uint8_t kEffectStageAfterGeometry = 1;

// The base bag of effects: no fields, writes nothing.
class TPrintWizardPictureEffectProperties : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectProperties() = default;
};

class TPrintWizardPictureEffect : public TInterfacedPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // An effect without bag class; it applies at stage 0.
  TPrintWizardPictureEffect();
  ~TPrintWizardPictureEffect() override;

  // Works on the bitmap. rect is the main picture's area in the bitmap; transformation is the
  // picture's (stage 1 only, may be none); sx and sy are working-picture pixels per output pixel.
  // Does nothing in the base.
  virtual void Apply(TBitmap32& bitmap, const TPixelRect& rect, double dpi,
                     TAffineTransformation* transformation, double sx, double sy);
  // The bag class the effect was constructed with, or none.
  virtual const TMetaClass* PropertiesClass() const { return propertiesClass_; }

  // The bag, or none for an effect without one.
  TProperties* Properties() const { return properties_.get(); }
  template <typename T>
  T* PropertiesAs() const {
    return dynamic_cast<T*>(properties_.get());
  }
  uint8_t Stage() const { return stage_; }
  bool Preview() const { return preview_; }
  void SetPreview(bool preview) { preview_ = preview; }
  // True when the last Apply left the picture as it was because the effect would have needed a
  // bitmap beyond the size any picture may have; the element reports it.
  bool Skipped() const { return skipped_; }

  // The bag's fields, inside a sub-chunk the caller opened; true without a bag.
  bool WriteProperties(TCSFStream& stream) const;
  bool ReadProperties(TCSFStream& stream);

 protected:
  // Creates the bag from propertiesClass (none for no bag); raises std::logic_error when that is
  // no bag class.
  TPrintWizardPictureEffect(const TMetaClass* propertiesClass, uint8_t stage);
  void SetSkipped(bool skipped) { skipped_ = skipped; }

 private:
  const TMetaClass* propertiesClass_ = nullptr;
  std::unique_ptr<TProperties> properties_;
  uint8_t stage_ = kEffectStageBeforeGeometry;
  bool preview_ = false;
  bool skipped_ = false;
};

}  // namespace nimbra
