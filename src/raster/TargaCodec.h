// The Targa reader, written here because the format is small: colour-mapped, true-colour and
// grey pictures (types 1, 2, 3), each also run-length encoded (types 9, 10, 11); 8, 15, 16, 24
// and 32 bits per pixel; colour maps of 15, 16, 24 or 32 bits; all four origins. Rows are read
// in the order they are stored, averaged down to the decode hint, and the result is turned.
#pragma once

#include <memory>

#include "raster/PictureReader.h"

namespace nimbra {

std::unique_ptr<TPictureReader> OpenTargaReader(TStream& stream);

}  // namespace nimbra
