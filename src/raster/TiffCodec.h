// The TIFF reader (libtiff): the first picture of the file through libtiff's RGBA reading, which
// covers every photometric interpretation and compression libtiff knows, a strip or a row of tiles
// at a time, averaged down to the decode hint as it comes. The orientation tag is applied like a
// photo's EXIF orientation.
#pragma once

#include "raster/Bitmap32Graphic.h"

namespace nimbra {

class TTiffGraphic : public TBitmap32Graphic {
 public:
  TPictureSize ReadShownSize(TStream& stream) override;

 protected:
  void Decode(TStream& stream, TBitmap32& bitmap) override;
};

}  // namespace nimbra
