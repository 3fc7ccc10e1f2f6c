#include "raster/StretchDraw.h"

#include <cstring>
#include <vector>

namespace nimbra {

void StretchDraw(TBitmap32& target, const TRect& targetRect, const TBitmap32& source,
                 TResamplingFilter filter, TDrawMode mode, uint8_t masterAlpha) {
  StretchDraw(target, targetRect, source, source.BoundsRect(), filter, mode, masterAlpha);
}

namespace {

// StretchDraw; with straight, a blend takes the convolved rows as the bitmap in between would
// hold them, straight colours, and blends those (StretchBlendStraight).
void Stretch(TBitmap32& target, const TRect& targetRect, const TBitmap32& source,
             const TRect& sourceRect, TResamplingFilter filter, TDrawMode mode,
             uint8_t masterAlpha, bool straight) {
  if (&target == &source) {
    // Reading what is being written would smear the picture; work from a copy.
    const TBitmap32 copy = source;
    Stretch(target, targetRect, copy, sourceRect, filter, mode, masterAlpha, straight);
    return;
  }
  const TRect from = IntersectRect(sourceRect, source.BoundsRect());
  const TRect area = IntersectRect(targetRect, target.BoundsRect());
  if (from.IsEmpty() || area.IsEmpty() || targetRect.IsEmpty()) return;
  if (mode == TDrawMode::Blend && masterAlpha == 0) return;
  if (int64_t{targetRect.Right} - targetRect.Left == from.Width() &&
      int64_t{targetRect.Bottom} - targetRect.Top == from.Height()) {
    DrawBitmap(target, targetRect.Left, targetRect.Top, source, from, mode, masterAlpha);
    return;
  }
  const int left = area.Left;
  const int width = area.Width();
  if (filter == TResamplingFilter::Nearest) {
    ResampleNearest(source, from, targetRect, area, [&](int y, const TColor32* pixels) {
      TColor32* line = target.ScanLine(y) + left;
      if (mode == TDrawMode::Opaque) {
        std::memcpy(line, pixels, size_t(width) * sizeof(TColor32));
      } else {
        BlendRow(line, pixels, width, masterAlpha);
      }
    });
    return;
  }
  std::vector<TColor32> straightRow(straight ? static_cast<size_t>(width) : 0);
  ResampleConvolved(source, from, targetRect, area, filter, [&](int y, const TColor32* pixels) {
    TColor32* line = target.ScanLine(y) + left;
    if (mode == TDrawMode::Opaque) {
      UnpremultiplyRow(line, pixels, width);
    } else if (straight) {
      UnpremultiplyRow(straightRow.data(), pixels, width);
      BlendRow(line, straightRow.data(), width, masterAlpha);
    } else {
      BlendPremultipliedRow(line, pixels, width, masterAlpha);
    }
  });
}

}  // namespace

void StretchDraw(TBitmap32& target, const TRect& targetRect, const TBitmap32& source,
                 const TRect& sourceRect, TResamplingFilter filter, TDrawMode mode,
                 uint8_t masterAlpha) {
  Stretch(target, targetRect, source, sourceRect, filter, mode, masterAlpha, false);
}

void StretchBlendStraight(TBitmap32& target, const TRect& targetRect, const TBitmap32& source,
                          TResamplingFilter filter, uint8_t masterAlpha) {
  Stretch(target, targetRect, source, source.BoundsRect(), filter, TDrawMode::Blend, masterAlpha,
          true);
}

void StretchDrawOpaque(const TBitmap32& source, TBitmap32& target) {
  StretchDraw(target, target.BoundsRect(), source, TResamplingFilter::Box, TDrawMode::Opaque);
}

}  // namespace nimbra
