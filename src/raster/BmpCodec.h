// The BMP reader, written here because the format is small: 1, 4, 8, 16, 24 and 32 bits per
// pixel; uncompressed, run-length encoded (8 and 4 bits) and with bit-field masks; rows stored
// bottom-up or top-down; Windows headers of every version and the OS/2 headers. The picture is
// held whole, so one beyond kMaxWholePicturePixels is refused.
#pragma once

#include <memory>

#include "raster/PictureReader.h"

namespace nimbra {

std::unique_ptr<TPictureReader> OpenBmpReader(TStream& stream);

}  // namespace nimbra
