// Text in tests is drawn with one font file of the repository, loaded explicitly, so that what
// the tests see does not depend on the fonts a machine has installed. Linking this gives the test
// program the fonts for its whole run, and a look at where drawing left its marks.
#pragma once

#include <string>

#include "raster/Bitmap32.h"

namespace nimbra::test {

// The family of the test font ("Liberation Sans"); fonts are usable once a test runs.
const std::string& TestFontFace();

// The part of the bitmap where pixels differ from colour, or an empty rectangle.
TRect ChangedArea(const TBitmap32& bitmap, TColor32 colour);

}  // namespace nimbra::test
