#include "raster/Bitmap32Graphic.h"

namespace nimbra {

void TBitmap32Graphic::LoadFromStream(TStream& stream) {
  TBitmap32 decoded;
  Decode(stream, decoded);
  bitmap_ = std::move(decoded);
}

}  // namespace nimbra
