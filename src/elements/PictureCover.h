// Covering a box with a photo instead of fitting it inside: the part of the photo with the box's
// proportions is what gets fitted, so it fills the box exactly. The part is centred: what is cut
// off comes equally from both ends of the side that runs over, since a photo's subject mostly sits
// near its middle and its edges matter least.
#pragma once

#include "raster/Bitmap32.h"
#include "raster/PictureSize.h"
#include "templates/PageGeometry.h"

namespace nimbra {

// The centred part of a width × height picture with the proportions of the box; the whole picture
// when either has no area.
TPixelRect CoverPart(int width, int height, int boxWidth, int boxHeight);

// A photo that covers its box before a blurred copy of itself may lose at most this share of its
// area; one that would lose more is fitted whole, the copy filling the rest of the box.
inline constexpr double kMostCutBeforeBackdrop = 0.25;

// Whether covering the box cuts off at most that share of a width × height picture.
bool CutsLittle(int width, int height, int boxWidth, int boxHeight);

// The picture cut down to its CoverPart; shape becomes the box's proportions, which the part has.
void CutToCover(TBitmap32& picture, TPictureSize& shape, int boxWidth, int boxHeight);

// The size a width × height photo must be decoded at for its CoverPart to be at least
// partWidth × partHeight.
TPictureSize CoveringDecodeSize(int width, int height, int boxWidth, int boxHeight, int partWidth,
                                int partHeight);

}  // namespace nimbra
