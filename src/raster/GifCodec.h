// The GIF reader (giflib): the first frame on the logical screen, with its transparent colour.
// The screen outside the frame stays transparent. The picture is held whole, so one beyond
// kMaxWholePicturePixels is refused.
#pragma once

#include "raster/Bitmap32Graphic.h"

namespace nimbra {

class TGifGraphic : public TBitmap32Graphic {
 public:
  TPictureSize ReadShownSize(TStream& stream) override;

 protected:
  void Decode(TStream& stream, TBitmap32& bitmap) override;
};

}  // namespace nimbra
