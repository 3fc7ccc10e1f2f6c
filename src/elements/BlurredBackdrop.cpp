#include "elements/BlurredBackdrop.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "elements/PictureCover.h"
#include "raster/StretchDraw.h"

namespace nimbra {

namespace {

// The backdrop's longer side; the blur's radius is measured against it, so the softness is the
// same share of the box at any size.
constexpr int kBackdropSide = 96;
constexpr int kBlurRadius = 3;
// Three box blurs come close to a Gaussian one.
constexpr int kBlurPasses = 3;

// One box blur along a line of count pixels, step apart, edges repeated.
void BlurLine(TColor32* first, int count, int step, std::vector<TColor32>& line) {
  line.assign(count, 0);
  for (int i = 0; i < count; ++i) line[i] = first[int64_t{i} * step];
  const int width = 2 * kBlurRadius + 1;
  for (int i = 0; i < count; ++i) {
    uint32_t sums[3] = {0, 0, 0};
    for (int k = -kBlurRadius; k <= kBlurRadius; ++k) {
      const TColor32 colour = line[std::clamp(i + k, 0, count - 1)];
      for (int c = 0; c < 3; ++c) sums[c] += (colour >> (16 - 8 * c)) & 0xFF;
    }
    TColor32 out = 0xFF000000u;
    for (int c = 0; c < 3; ++c) out |= ((sums[c] + width / 2) / width) << (16 - 8 * c);
    first[int64_t{i} * step] = out;
  }
}

void Darken(TBitmap32& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    TColor32* row = bitmap.ScanLine(y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      TColor32 out = 0xFF000000u;
      for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t channel = (row[x] >> shift) & 0xFF;
        out |= ((channel * kBackdropBrightness + 127) / 255) << shift;
      }
      row[x] = out;
    }
  }
}

}  // namespace

TBitmap32 BlurredBackdrop(const TBitmap32& picture, int boxWidth, int boxHeight) {
  if (picture.Empty() || boxWidth <= 0 || boxHeight <= 0) return {};
  // 1. the part of the photo that covers the box, reduced to the backdrop's size
  const TPixelRect part = CoverPart(picture.Width(), picture.Height(), boxWidth, boxHeight);
  const double scale = double(kBackdropSide) / std::max(boxWidth, boxHeight);
  const int width = std::clamp(static_cast<int>(boxWidth * scale + 0.5), 1, kBackdropSide);
  const int height = std::clamp(static_cast<int>(boxHeight * scale + 0.5), 1, kBackdropSide);
  TBitmap32 backdrop(width, height);
  StretchDraw(backdrop, backdrop.BoundsRect(), picture,
              {part.Left, part.Top, part.Right, part.Bottom}, TResamplingFilter::Lanczos,
              TDrawMode::Opaque);
  // 2. blurred along both axes; the blur makes every pixel opaque
  std::vector<TColor32> line;
  for (int pass = 0; pass < kBlurPasses; ++pass) {
    for (int y = 0; y < height; ++y) BlurLine(backdrop.ScanLine(y), width, 1, line);
    for (int x = 0; x < width; ++x) BlurLine(backdrop.ScanLine(0) + x, height, width, line);
  }
  // 3. darkened
  Darken(backdrop);
  return backdrop;
}

}  // namespace nimbra
