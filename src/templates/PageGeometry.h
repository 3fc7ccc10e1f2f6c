// Where things lie on a page. Elements keep their rectangles as fractions of the page (0 the left
// or top edge, 1 the right or bottom edge), so one template serves every output size; drawing maps
// them onto the pixel rectangle of the page at hand. Halves round to even, so that a page of odd
// width splits the same way on every machine.
#pragma once

#include <cstdint>

#include "slideshow/PicturePlacement.h"
#include "storage/CSFStreamWinTypes.h"

namespace nimbra {

// The nearest whole number, halves to the even neighbour (500.5 → 500, 501.5 → 502). Values beyond
// the 32-bit range are clamped to it and NaN becomes 0, so stored nonsense never turns into
// undefined behaviour.
int32_t RoundHalfToEven(double value);

// The pixel rectangle of a fraction rectangle on the page rectangle: Left' = round(W × Left) + X
// and so on, W and H the page's width and height, (X, Y) its origin.
TPixelRect FractionToPixels(const TDoubleRect& fractions, const TPixelRect& page);

// The reverse: pixel offsets from the page's origin divided by its width and height (0 for a page
// without width or height).
TDoubleRect PixelsToFraction(const TPixelRect& pixels, const TPixelRect& page);

// A length in centimetres at a resolution in dots per inch, in whole pixels (halves to even).
int32_t CentimetresToPixels(double centimetres, double dotsPerInch);

}  // namespace nimbra
