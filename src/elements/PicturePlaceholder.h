// What the design view shows for a picture element without a picture: a white box with a black
// frame and a black cross, so the designer sees where the photo will go, and for a photo that is
// missing its file name across the middle, so the designer sees which one is missing.
#pragma once

#include <string_view>

#include "raster/Bitmap32.h"

namespace nimbra {

// An opaque white width × height box with a one-pixel black outline and both diagonals in black,
// each diagonal flanked by white lines that keep it visible over anything it is later drawn on.
// With a file name (a path or a package name: only the name after its last folder is shown), the
// name is written in black on a white band across the middle, centred and cut where the box
// ends.
TBitmap32 PicturePlaceholder(int width, int height, std::string_view missingFile = {});

}  // namespace nimbra
