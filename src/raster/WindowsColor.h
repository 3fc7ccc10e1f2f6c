// Colours as documents store them: 0x00BBGGRR, or a system colour (the top bit set and the
// index of a user-interface colour in the low byte), which stands for the colour that part of
// the interface had when the page was designed.
#pragma once

#include <cstdint>

#include "raster/Bitmap32.h"

namespace nimbra {

// The opaque colour a stored colour stands for. System colours take the usual values of the
// platform's standard scheme (window text black, window white, highlight blue ...); an index
// without a colour gives black.
TColor32 WindowsColorToColor32(int32_t color);

}  // namespace nimbra
