// The JPEG 2000 reader (OpenJPEG): JP2 files and bare J2K code streams, recognised by their
// first bytes whatever the extension says. It works whether or not a vendor library is loaded.
#pragma once

#include "raster/Bitmap32Graphic.h"

namespace nimbra {

class TJpeg2000Graphic : public TBitmap32Graphic {
 public:
  TPictureSize ReadShownSize(TStream& stream) override;

 protected:
  void Decode(TStream& stream, TBitmap32& bitmap) override;
};

}  // namespace nimbra
