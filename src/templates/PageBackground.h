// The picture behind a page template's elements: where it comes from (the bitmap cache, or the
// file decoded once and cached) and how it covers the page (centred, stretched or tiled, at its
// own size or at a size in centimetres, with an opacity).
#pragma once

#include <memory>
#include <string>

#include "raster/Bitmap32.h"
#include "templates/PageGeometry.h"

namespace nimbra {

class TPrintWizardPageTemplateProperties;

// A background picture for one drawing, shared with the bitmap cache when there is one.
class TBackgroundPicture {
 public:
  // The picture of a resolved file name, from the cache, or else read through the file access
  // and stored in the cache for 30 seconds after its last use. Empty when it cannot be had.
  static TBackgroundPicture Obtain(const std::string& name);

  const TBitmap32* Pixels() const { return pixels_.get(); }

 private:
  std::shared_ptr<const TBitmap32> pixels_;
};

// Draws the picture onto the page rectangle as the bag's BackgroundMode, BackgroundWidth,
// BackgroundHeight, BackgroundAlpha and Resolution say; nothing for an unknown mode or a size
// that comes to no pixels.
void DrawBackgroundPicture(TBitmap32& bitmap, const TPixelRect& pageRect,
                           const TBitmap32& picture, const TPrintWizardPageTemplateProperties& bag);

}  // namespace nimbra
