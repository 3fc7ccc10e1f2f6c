// The TIFF reader (libtiff): the first picture of the file through libtiff's RGBA reading, which
// covers every photometric interpretation and compression libtiff knows. The orientation tag is
// applied like a photo's EXIF orientation.
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
