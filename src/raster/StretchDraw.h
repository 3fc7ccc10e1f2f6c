// Drawing one bitmap stretched over the whole of another, replacing the target's pixels (opaque
// drawing: nothing of the target shows through).
#pragma once

#include "raster/Bitmap32.h"

namespace nimbra {

// Each target pixel becomes the area average of the source pixels it covers, weighted by their
// alpha so that transparent pixels lend no colour. Nothing happens when either bitmap is empty.
// A box filter is enough for the cache's thumbnails; the raster toolkit's resampling kernels
// replace it.
void StretchDrawOpaque(const TBitmap32& source, TBitmap32& target);

}  // namespace nimbra
