#include "raster/Bitmap32Graphic.h"

namespace nimbra {

void TBitmap32Graphic::LoadFromStream(TStream& stream) {
  bitmap_ = openReader_(stream)->Decode(decodeHint_);
}

}  // namespace nimbra
