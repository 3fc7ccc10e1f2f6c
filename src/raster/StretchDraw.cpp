#include "raster/StretchDraw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace nimbra {

namespace {

struct Contribution {
  int source;
  double weight;
};

// For every target index, the source indices its box covers and how much of each: the box of
// target i is [i, i + 1) × sourceLength / targetLength, weights summing to 1.
std::vector<std::vector<Contribution>> BoxWeights(int sourceLength, int targetLength) {
  std::vector<std::vector<Contribution>> weights(static_cast<size_t>(targetLength));
  const double scale = double(sourceLength) / double(targetLength);
  for (int i = 0; i < targetLength; ++i) {
    const double from = i * scale;
    const double to = (i + 1) * scale;
    const int first = std::clamp(static_cast<int>(std::floor(from)), 0, sourceLength - 1);
    const int last = std::clamp(static_cast<int>(std::ceil(to)) - 1, first, sourceLength - 1);
    for (int s = first; s <= last; ++s) {
      const double overlap = std::min<double>(to, s + 1) - std::max<double>(from, s);
      if (overlap > 0) weights[static_cast<size_t>(i)].push_back({s, overlap / scale});
    }
  }
  return weights;
}

// Alpha and the three colours multiplied by alpha, so that averaging them stays linear.
using Premultiplied = std::array<double, 4>;

Premultiplied Premultiply(TColor32 c) {
  const double alpha = AlphaComponent(c);
  return {alpha, RedComponent(c) * alpha, GreenComponent(c) * alpha, BlueComponent(c) * alpha};
}

uint8_t ToByte(double value) {
  return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

TColor32 Unpremultiply(const Premultiplied& p) {
  if (p[0] <= 0) return kColor32Transparent;
  return Color32(ToByte(p[1] / p[0]), ToByte(p[2] / p[0]), ToByte(p[3] / p[0]), ToByte(p[0]));
}

}  // namespace

void StretchDrawOpaque(const TBitmap32& source, TBitmap32& target) {
  if (source.Empty() || target.Empty()) return;
  const int targetWidth = target.Width();
  const auto columns = BoxWeights(source.Width(), targetWidth);
  const auto rows = BoxWeights(source.Height(), target.Height());

  // 1. Horizontal pass: every source row shrinks or grows to the target width.
  std::vector<Premultiplied> across(size_t(source.Height()) * size_t(targetWidth));
  for (int y = 0; y < source.Height(); ++y) {
    const TColor32* line = source.ScanLine(y);
    for (int x = 0; x < targetWidth; ++x) {
      Premultiplied sum{};
      for (const Contribution& c : columns[size_t(x)]) {
        const Premultiplied p = Premultiply(line[c.source]);
        for (size_t k = 0; k < 4; ++k) sum[k] += p[k] * c.weight;
      }
      across[size_t(y) * size_t(targetWidth) + size_t(x)] = sum;
    }
  }
  // 2. Vertical pass over the intermediate rows.
  for (int y = 0; y < target.Height(); ++y) {
    TColor32* line = target.ScanLine(y);
    for (int x = 0; x < targetWidth; ++x) {
      Premultiplied sum{};
      for (const Contribution& c : rows[size_t(y)]) {
        const Premultiplied& p = across[size_t(c.source) * size_t(targetWidth) + size_t(x)];
        for (size_t k = 0; k < 4; ++k) sum[k] += p[k] * c.weight;
      }
      line[x] = Unpremultiply(sum);
    }
  }
}

}  // namespace nimbra
