// The PNG reader (libpng): every colour type and bit depth, palettes with transparency, 16-bit
// samples rounded to 8 bits, interlaced pictures.
#pragma once

#include "raster/Bitmap32Graphic.h"

namespace nimbra {

class TPngGraphic : public TBitmap32Graphic {
 public:
  TPictureSize ReadShownSize(TStream& stream) override;

 protected:
  void Decode(TStream& stream, TBitmap32& bitmap) override;
};

}  // namespace nimbra
