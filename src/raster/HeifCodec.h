// The HEIF reader (libheif with its decoder plug-ins): HEVC stills (HEIC, as phones save them)
// and AV1 ones (AVIF). The primary picture is read turned, mirrored and cropped as the file's own
// transforms say. An EXIF orientation beside it is not applied as well: HEIF writers store the
// turn as a transform and copy the camera's EXIF block unchanged, so honouring both would turn a
// photo twice. With a decode hint a thumbnail stored with the picture is decoded instead when it
// has the picture's proportions and covers the hint; what remains above the hint is averaged
// away row by row.
#pragma once

#include <memory>

#include "raster/PictureReader.h"

namespace nimbra {

std::unique_ptr<TPictureReader> OpenHeifReader(TStream& stream);

}  // namespace nimbra
