#include "elements/PictureCover.h"

#include <algorithm>
#include <cmath>


namespace nimbra {

TPixelRect CoverPart(int width, int height, int boxWidth, int boxHeight) {
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return {0, 0, width, height};
  int partWidth = width;
  int partHeight = height;
  // Compared as products, so that a box of the picture's own proportions cuts nothing.
  if (int64_t{width} * boxHeight > int64_t{height} * boxWidth) {
    partWidth = static_cast<int>(
        std::clamp<int64_t>(std::llround(double(height) * boxWidth / boxHeight), 1, width));
  } else {
    partHeight = static_cast<int>(
        std::clamp<int64_t>(std::llround(double(width) * boxHeight / boxWidth), 1, height));
  }
  const int left = (width - partWidth) / 2;
  const int top = (height - partHeight) / 2;
  return {left, top, left + partWidth, top + partHeight};
}

bool CutsLittle(int width, int height, int boxWidth, int boxHeight) {
  if (width <= 0 || height <= 0) return false;
  const TPixelRect part = CoverPart(width, height, boxWidth, boxHeight);
  const double kept = double(part.Width()) * part.Height() / (double(width) * height);
  return kept >= 1 - kMostCutBeforeBackdrop;
}

void CutToCover(TBitmap32& picture, TPictureSize& shape, int boxWidth, int boxHeight) {
  const TPixelRect part = CoverPart(picture.Width(), picture.Height(), boxWidth, boxHeight);
  if (boxWidth <= 0 || boxHeight <= 0) return;
  shape = {boxWidth, boxHeight};
  picture.Crop({part.Left, part.Top, part.Right, part.Bottom});
}

TPictureSize CoveringDecodeSize(int width, int height, int boxWidth, int boxHeight, int partWidth,
                                int partHeight) {
  const TPixelRect part = CoverPart(width, height, boxWidth, boxHeight);
  if (part.Width() <= 0 || part.Height() <= 0) return {partWidth, partHeight};
  // The part keeps its share of the photo at any decoded size.
  const auto grown = [](int need, int whole, int cut) {
    return static_cast<int>(std::min(std::ceil(double(need) * whole / cut), 1.0e9));
  };
  return {grown(partWidth, width, part.Width()), grown(partHeight, height, part.Height())};
}

}  // namespace nimbra
