// The PCX reader, written here because the format is small: 1-bit black and white, 16 colours
// (four 1-bit planes or one 4-bit plane) from the header's palette, 256 colours from the palette
// at the end of the file, and 24-bit colour (three 8-bit planes, a fourth one being alpha); run
// length encoded or not. The picture is held whole, so one beyond kMaxWholePicturePixels is
// refused.
#pragma once

#include <memory>

#include "raster/PictureReader.h"

namespace nimbra {

std::unique_ptr<TPictureReader> OpenPcxReader(TStream& stream);

}  // namespace nimbra
