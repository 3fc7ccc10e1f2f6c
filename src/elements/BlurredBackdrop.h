// The backdrop behind a fitted photo: the photo itself, covering the box, blurred so that it
// reads as light and colour rather than as a second picture, and darkened so that the photo in
// front stands out. It is made small and stretched over the box as it is drawn; blurred, nothing
// is lost by that, and a large box costs no more than a small one.
#pragma once

#include "raster/Bitmap32.h"

namespace nimbra {

// How much of its brightness the backdrop keeps, out of 255.
inline constexpr int kBackdropBrightness = 120;

// The backdrop of the picture for a boxWidth × boxHeight box, opaque and with the box's
// proportions; empty when the picture or the box has no area.
TBitmap32 BlurredBackdrop(const TBitmap32& picture, int boxWidth, int boxHeight);

}  // namespace nimbra
