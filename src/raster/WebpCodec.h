// The WebP reader (libwebp): lossy and lossless stills, with or without alpha. Photos are
// returned upright when their EXIF chunk names an orientation. With a decode hint the decoder
// scales while it decodes, to the smallest size with the picture's proportions that covers the
// hint, so the full-size picture is never held as a bitmap. Animations are refused.
#pragma once

#include <memory>

#include "raster/PictureReader.h"

namespace nimbra {

std::unique_ptr<TPictureReader> OpenWebpReader(TStream& stream);

}  // namespace nimbra
