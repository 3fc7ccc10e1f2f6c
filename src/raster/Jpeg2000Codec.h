// The JPEG 2000 reader (OpenJPEG): JP2 files and bare J2K code streams, recognised by their
// first bytes whatever the extension says. It works whether or not a vendor library is loaded.
// Resolution levels the decode hint does not need are left out. A picture that would take more
// memory or time than the reader's budgets at the resolution the hint asks for is decoded at a
// lower one within them (then smaller than the hint), and refused when even its lowest one is
// too large.
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
