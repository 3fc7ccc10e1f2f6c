// The JPEG reader (libjpeg-turbo). Photos are returned upright when their EXIF block names an
// orientation. With a decode hint they are decoded at 1/2, 1/4 or 1/8 of their size where that
// still covers the hint, and what remains above it is averaged away row by row while decoding:
// the result has the picture's proportions and just covers the hint. Pictures in several scans
// (progressive ones) must be held whole as coefficients and are refused beyond 160 MiB of them.
#pragma once

#include <memory>

#include "raster/DecodeHint.h"
#include "raster/PictureReader.h"

namespace nimbra {

std::unique_ptr<TPictureReader> OpenJpegReader(TStream& stream);

// The DCT scaling for a picture of width × height (as stored) whose decoded result must still
// cover the hint: 8, 4 or 2 for the largest reduction whose result is at least the hinted size in
// both dimensions, else 1 (full size; also without a hint). A reduction is applied by libjpeg as
// ceil(size / denominator). swapsAxes: the picture is turned by 90° afterwards, so the hint's
// width applies to the stored height. Other scales (3/8, 5/8 ...) are never chosen: they decode
// more slowly than the full size.
int JpegScaleDenominator(int width, int height, const TDecodeHint& hint, bool swapsAxes);

}  // namespace nimbra
