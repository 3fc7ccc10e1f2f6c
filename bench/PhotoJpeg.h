// A photo-like JPEG for the benchmarks: gradients under fine grain, so that it compresses like a
// photo rather than like a flat picture.
#pragma once

#include <string>

namespace nimbra::bench {

std::string PhotoJpegBytes(int width, int height, int quality);

}  // namespace nimbra::bench
