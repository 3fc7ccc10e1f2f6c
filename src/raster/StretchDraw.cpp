#include "raster/StretchDraw.h"

#include <cstring>
#include <vector>

namespace nimbra {

void StretchDraw(TBitmap32& target, const TRect& targetRect, const TBitmap32& source,
                 TResamplingFilter filter, TDrawMode mode, uint8_t masterAlpha) {
  StretchDraw(target, targetRect, source, source.BoundsRect(), filter, mode, masterAlpha);
}

void StretchDraw(TBitmap32& target, const TRect& targetRect, const TBitmap32& source,
                 const TRect& sourceRect, TResamplingFilter filter, TDrawMode mode,
                 uint8_t masterAlpha) {
  if (&target == &source) {
    // Reading what is being written would smear the picture; work from a copy.
    const TBitmap32 copy = source;
    StretchDraw(target, targetRect, copy, sourceRect, filter, mode, masterAlpha);
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
  ResampleConvolved(source, from, targetRect, area, filter, [&](int y, const TColor32* pixels) {
    TColor32* line = target.ScanLine(y) + left;
    if (mode == TDrawMode::Opaque) {
      UnpremultiplyRow(line, pixels, width);
    } else {
      BlendPremultipliedRow(line, pixels, width, masterAlpha);
    }
  });
}

void StretchBlendStraight(TBitmap32& target, const TRect& targetRect, const TBitmap32& source,
                          TResamplingFilter filter, uint8_t masterAlpha) {
  const TRect from = source.BoundsRect();
  const TRect area = IntersectRect(targetRect, target.BoundsRect());
  if (from.IsEmpty() || area.IsEmpty() || targetRect.IsEmpty() || masterAlpha == 0) return;
  if (&target == &source) {
    const TBitmap32 copy = source;
    StretchBlendStraight(target, targetRect, copy, filter, masterAlpha);
    return;
  }
  // At its own size the stretched bitmap is the source itself.
  if (targetRect.Width() == from.Width() && targetRect.Height() == from.Height()) {
    DrawBitmap(target, targetRect.Left, targetRect.Top, source, from, TDrawMode::Blend,
               masterAlpha);
    return;
  }
  const int left = area.Left;
  const int width = area.Width();
  if (filter == TResamplingFilter::Nearest) {
    ResampleNearest(source, from, targetRect, area, [&](int y, const TColor32* pixels) {
      BlendRow(target.ScanLine(y) + left, pixels, width, masterAlpha);
    });
    return;
  }
  // The row the bitmap in between would have held: straight colours.
  std::vector<TColor32> straight(static_cast<size_t>(width));
  ResampleConvolved(source, from, targetRect, area, filter, [&](int y, const TColor32* pixels) {
    UnpremultiplyRow(straight.data(), pixels, width);
    BlendRow(target.ScanLine(y) + left, straight.data(), width, masterAlpha);
  });
}

void StretchDrawOpaque(const TBitmap32& source, TBitmap32& target) {
  StretchDraw(target, target.BoundsRect(), source, TResamplingFilter::Box, TDrawMode::Opaque);
}

}  // namespace nimbra
