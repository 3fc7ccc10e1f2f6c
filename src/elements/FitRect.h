// Fitting a picture's size into a box while keeping its aspect, as pictures, collages and circles
// are placed.
#pragma once

#include <cstdint>

#include "templates/PageGeometry.h"

namespace nimbra {

// The largest rectangle with the source's aspect inside the box, at the box's top-left corner.
// Sizes are truncated and never below 1; an empty source yields the box itself.
TPixelRect FitRect(int32_t sourceWidth, int32_t sourceHeight, const TPixelRect& box);
// The same rectangle centred in the box (offsets halved with truncation toward zero).
TPixelRect FitRectCentered(int32_t sourceWidth, int32_t sourceHeight, const TPixelRect& box);

}  // namespace nimbra
