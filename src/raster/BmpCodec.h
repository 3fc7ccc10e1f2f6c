// The BMP reader, written here because the format is small: 1, 4, 8, 16, 24 and 32 bits per
// pixel; uncompressed, run-length encoded (8 and 4 bits) and with bit-field masks; rows stored
// bottom-up or top-down; Windows headers of every version and the OS/2 headers. The picture is
// held whole, so one beyond kMaxWholePicturePixels is refused.
#pragma once

#include "raster/Bitmap32Graphic.h"

namespace nimbra {

class TBmpGraphic : public TBitmap32Graphic {
 public:
  TPictureSize ReadShownSize(TStream& stream) override;

 protected:
  void Decode(TStream& stream, TBitmap32& bitmap) override;
};

}  // namespace nimbra
