// The PNG reader (libpng): every colour type and bit depth, palettes with transparency, 16-bit
// samples rounded to 8 bits, interlaced pictures. With a decode hint, rows are averaged down to
// it as they are read.
#pragma once

#include <memory>

#include "raster/PictureReader.h"

namespace nimbra {

std::unique_ptr<TPictureReader> OpenPngReader(TStream& stream);

}  // namespace nimbra
