// How large a caller needs a decoded picture to be. A reader that can decode at a reduced size
// (JPEG through its DCT scaling) uses it to skip work whose result would be thrown away; the
// others decode at full size.
#pragma once

namespace nimbra {

struct TDecodeHint {
  // The smallest width and height, in pixels of the upright picture, the caller can use. A value
  // of 0 or less leaves that dimension free; with both free there is no hint and pictures are
  // decoded at full size.
  int MinimumWidth = 0;
  int MinimumHeight = 0;
  // How much of what a reader decodes beyond the minimum it keeps: a reader that reduces while it
  // decodes reduces to the smallest size with the picture's proportions that covers the minimum
  // times this. The minimum alone still chooses the reader's own reduced decode (a JPEG's DCT
  // scale): a caller that resamples the picture afterwards keeps more detail than it draws for its
  // filter. Values below 1 count as 1.
  double KeepFactor = 1;

  bool Empty() const { return MinimumWidth <= 0 && MinimumHeight <= 0; }
  bool operator==(const TDecodeHint&) const = default;
};

}  // namespace nimbra
