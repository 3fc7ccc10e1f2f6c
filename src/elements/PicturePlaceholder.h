// What the design view shows for a picture element without a picture: a white box with a black
// frame and a black cross, so the designer sees where the photo will go.
#pragma once

#include "raster/Bitmap32.h"

namespace nimbra {

// An opaque white width × height box with a one-pixel black outline and both diagonals in black,
// each diagonal flanked by white lines that keep it visible over anything it is later drawn on.
TBitmap32 PicturePlaceholder(int width, int height);

}  // namespace nimbra
