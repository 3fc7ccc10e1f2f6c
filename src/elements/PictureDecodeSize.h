// How large a picture element needs its photo decoded. Rendering works on a copy at most twice the
// picture's fitted box, so the readers are asked for exactly that and no more. The fitted box
// depends on the photo's proportions, which its header tells without decoding it
// (TPictureFile in raster/PictureFile.h).
#pragma once

#include "raster/DecodeHint.h"
#include "raster/PictureSize.h"

namespace nimbra {

// The hint for a picture of the shown size in a box of boxWidth × boxHeight: factor times the box
// the picture fits into (factor 2 for the working copy of final rendering, 1 for the design view).
TDecodeHint FittedDecodeHint(const TPictureSize& size, int boxWidth, int boxHeight, int factor);

}  // namespace nimbra
