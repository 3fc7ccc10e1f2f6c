#include "raster/DrawLine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace nimbra {

namespace {

// Products of two 32-bit spans need more than 64 bits.
__extension__ using TWide = __int128;

inline void Plot(TBitmap32& target, int x, int y, TColor32 colour, TDrawMode mode) {
  TColor32& pixel = target.ScanLine(y)[x];
  pixel = mode == TDrawMode::Opaque ? colour : BlendColors(colour, pixel);
}

// Calls plot(k, x, y) for every pixel k of the line that lies inside the target. Pixel k is k
// steps along the longer axis; its offset on the shorter one is k × (its span) / n, rounded with
// halves away from the start. Only the steps whose longer-axis coordinate is inside the target
// are visited, so lines far outside cost nothing.
template <typename Plotter>
int64_t WalkLine(const TBitmap32& target, int x1, int y1, int x2, int y2, Plotter plot) {
  const int64_t dx = int64_t{x2} - x1;
  const int64_t dy = int64_t{y2} - y1;
  const bool alongX = std::llabs(dx) >= std::llabs(dy);
  const int64_t n = std::max(std::llabs(dx), std::llabs(dy));
  if (n == 0 || target.Empty()) return n;
  const int64_t major0 = alongX ? x1 : y1;
  const int64_t minor0 = alongX ? y1 : x1;
  const int64_t majorStep = (alongX ? dx : dy) > 0 ? 1 : -1;
  const int64_t minorSpan = alongX ? dy : dx;
  const int64_t majorLimit = alongX ? target.Width() : target.Height();
  const int64_t minorLimit = alongX ? target.Height() : target.Width();
  // Steps k with 0 <= major0 + k × majorStep < majorLimit.
  int64_t kFrom = majorStep > 0 ? -major0 : major0 - (majorLimit - 1);
  int64_t kTo = majorStep > 0 ? majorLimit - 1 - major0 : major0;
  kFrom = std::max<int64_t>(kFrom, 0);
  kTo = std::min<int64_t>(kTo, n - 1);
  const TWide span = minorSpan < 0 ? -TWide{minorSpan} : TWide{minorSpan};
  for (int64_t k = kFrom; k <= kTo; ++k) {
    const auto offset = static_cast<int64_t>((2 * TWide{k} * span + n) / (2 * TWide{n}));
    const int64_t minor = minor0 + (minorSpan < 0 ? -offset : offset);
    if (minor < 0 || minor >= minorLimit) continue;
    const int64_t major = major0 + k * majorStep;
    const int x = static_cast<int>(alongX ? major : minor);
    const int y = static_cast<int>(alongX ? minor : major);
    plot(k, x, y);
  }
  return n;
}

}  // namespace

void DrawLine(TBitmap32& target, int x1, int y1, int x2, int y2, TColor32 colour, TDrawMode mode) {
  if (mode == TDrawMode::Blend && (colour >> 24) == 0) return;
  WalkLine(target, x1, y1, x2, y2,
           [&](int64_t, int x, int y) { Plot(target, x, y, colour, mode); });
}

TColor32 TLinePattern::ColorAt(double position) const {
  if (Colors.empty()) return kColor32Transparent;
  const double count = double(Colors.size());
  double p = std::isfinite(position) ? std::fmod(position, count) : 0.0;
  if (p < 0) p += count;
  const auto index = std::min(static_cast<size_t>(p), Colors.size() - 1);
  if (!Interpolate) return Colors[index];
  return MixColors(Colors[index], Colors[(index + 1) % Colors.size()], p - double(index));
}

double DrawPatternedLine(TBitmap32& target, int x1, int y1, int x2, int y2,
                         const TLinePattern& pattern, double start, TDrawMode mode) {
  const int64_t pixels = WalkLine(target, x1, y1, x2, y2, [&](int64_t k, int x, int y) {
    Plot(target, x, y, pattern.ColorAt(start + double(k) * pattern.Step), mode);
  });
  return start + double(pixels) * pattern.Step;
}

void FrameRect(TBitmap32& target, const TRect& rect, TColor32 colour, TDrawMode mode) {
  if (rect.IsEmpty()) return;
  const int lastRow = rect.Bottom - 1;
  const int lastColumn = rect.Right - 1;
  FillRect(target, {rect.Left, rect.Top, rect.Right, rect.Top + 1}, colour, mode);
  if (lastRow > rect.Top) {
    FillRect(target, {rect.Left, lastRow, rect.Right, rect.Bottom}, colour, mode);
  }
  // The sides between the top and bottom rows, so that no corner is drawn twice.
  FillRect(target, {rect.Left, rect.Top + 1, rect.Left + 1, lastRow}, colour, mode);
  if (lastColumn > rect.Left) {
    FillRect(target, {lastColumn, rect.Top + 1, rect.Right, lastRow}, colour, mode);
  }
}

}  // namespace nimbra
