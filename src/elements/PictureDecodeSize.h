// How large a picture element needs its photo decoded. Rendering works on a copy at most twice the
// picture's fitted box, so a reader that can decode at a reduced size (JPEG) is asked for exactly
// that and no more. The fitted box depends on the photo's proportions, which its header tells
// without decoding it.
#pragma once

#include <optional>

#include "raster/DecodeHint.h"

namespace nimbra {

class TStream;

struct TPictureSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TPictureSize&) const = default;
};

// The size of a JPEG stream's picture as it is shown: the frame header's size, width and height
// swapped when the EXIF orientation turns the picture by a quarter. Reads only the segments before
// the frame header, from the stream's position. None when the data is no JPEG or ends, or a
// segment is malformed, before a frame header.
std::optional<TPictureSize> ReadJpegShownSize(TStream& stream);

// The hint for a picture of the shown size in a box of boxWidth × boxHeight: factor times the box
// the picture fits into (factor 2 for the working copy of final rendering, 1 for the design view).
TDecodeHint FittedDecodeHint(const TPictureSize& size, int boxWidth, int boxHeight, int factor);

}  // namespace nimbra
