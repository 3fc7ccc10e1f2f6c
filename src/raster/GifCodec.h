// The GIF reader (giflib): the first frame on the logical screen, with its transparent colour.
// The screen outside the frame stays transparent. The picture is held whole, so one beyond
// kMaxWholePicturePixels is refused.
#pragma once

#include <memory>

#include "raster/PictureReader.h"

namespace nimbra {

std::unique_ptr<TPictureReader> OpenGifReader(TStream& stream);

}  // namespace nimbra
