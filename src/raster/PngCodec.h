// The PNG reader (libpng): every colour type and bit depth, palettes with transparency, 16-bit
// samples rounded to 8 bits, interlaced pictures. With a decode hint, rows are averaged down to
// it as they are read.
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
