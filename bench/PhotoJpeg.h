// A photo-like JPEG for the benchmarks: gradients under fine grain, so that it compresses like a
// photo rather than like a flat picture.
#pragma once

#include <string>

#include "raster/Bitmap32.h"

namespace nimbra::bench {

TBitmap32 PhotoBitmap(int width, int height);
std::string PhotoJpegBytes(int width, int height, int quality);

}  // namespace nimbra::bench
