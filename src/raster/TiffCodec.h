// The TIFF reader (libtiff): the first picture of the file through libtiff's RGBA reading, which
// covers every photometric interpretation and compression libtiff knows, a strip or a row of tiles
// at a time, averaged down to the decode hint as it comes. The orientation tag is applied like a
// photo's EXIF orientation.
#pragma once

#include <memory>

#include "raster/PictureReader.h"

namespace nimbra {

std::unique_ptr<TPictureReader> OpenTiffReader(TStream& stream);

}  // namespace nimbra
