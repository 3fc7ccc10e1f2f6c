#include "raster/RowTarget.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace nimbra {

TReducedSize KeptSize(int width, int height, const TDecodeHint& hint, bool swapsAxes) {
  const double factor = std::max(hint.KeepFactor, 1.0);
  const auto kept = [factor](int need) {
    return static_cast<int>(std::min(std::ceil(need * factor), double{INT32_MAX}));
  };
  return AreaReducedSize(width, height,
                         kept(swapsAxes ? hint.MinimumHeight : hint.MinimumWidth),
                         kept(swapsAxes ? hint.MinimumWidth : hint.MinimumHeight));
}

TRowTarget::TRowTarget(int width, int height, const TDecodeHint& hint, bool swapsAxes, bool opaque)
    : TRowTarget(width, height, KeptSize(width, height, hint, swapsAxes), opaque) {}

TRowTarget::TRowTarget(int width, int height, const TReducedSize& kept, bool opaque)
    : opaque_(opaque) {
  bitmap_.SetSizeForOverwrite(kept.Width, kept.Height);
  if (kept.Width != width || kept.Height != height) {
    row_.resize(static_cast<size_t>(width));
    reducer_.emplace(width, height, bitmap_);
  }
}

void TRowTarget::RowDone() {
  if (!reducer_) return;
  if (opaque_) {
    reducer_->AddOpaqueRow(row_.data());
  } else {
    reducer_->AddRow(row_.data());
  }
}

void TRowTarget::AddRow(int y, const TColor32* pixels) {
  if (!reducer_) {
    std::copy_n(pixels, bitmap_.Width(), bitmap_.ScanLine(y));
  } else if (opaque_) {
    reducer_->AddOpaqueRow(pixels);
  } else {
    reducer_->AddRow(pixels);
  }
}

}  // namespace nimbra
