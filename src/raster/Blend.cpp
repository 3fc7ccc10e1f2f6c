#include "raster/Blend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nimbra {

namespace {

// Alphas are carried as products of two bytes (source alpha × master alpha), so one rounding at
// the end is all the arithmetic loses; 65025 = 255 × 255 stands for "fully opaque".
constexpr uint32_t kFull = 255 * 255;
constexpr uint32_t kHalfFull = kFull / 2;

constexpr uint32_t Channel(TColor32 c, int shift) {
  return (c >> shift) & 0xFF;
}

constexpr TColor32 Pack(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

// Source over an opaque target: colour = (s × A + d × (kFull − A)) / kFull. The source colour
// enters as s × A, passed in already multiplied (sa*), so straight and premultiplied sources share
// this step.
inline TColor32 OverOpaque(uint32_t saR, uint32_t saG, uint32_t saB, uint32_t alpha, TColor32 d) {
  const uint32_t rest = kFull - alpha;
  return Pack(255, (saR + Channel(d, 16) * rest + kHalfFull) / kFull,
              (saG + Channel(d, 8) * rest + kHalfFull) / kFull,
              (saB + Channel(d, 0) * rest + kHalfFull) / kFull);
}

// Source over a translucent target, in 64 bits: the products reach 255 × 255 × 65025.
TColor32 OverTranslucent(uint32_t saR, uint32_t saG, uint32_t saB, uint32_t alpha, TColor32 d) {
  const uint64_t da = Channel(d, 24);
  const uint64_t rest = da * (kFull - alpha);  // target weight, in the same units as alpha × 255
  const uint64_t total = uint64_t{alpha} * 255 + rest;
  const auto mix = [&](uint32_t sa, int shift) {
    const uint64_t value = (uint64_t{sa} * 255 + Channel(d, shift) * rest + total / 2) / total;
    return static_cast<uint32_t>(std::min<uint64_t>(value, 255));
  };
  return Pack(static_cast<uint32_t>((total + kHalfFull) / kFull), mix(saR, 16), mix(saG, 8),
              mix(saB, 0));
}

inline TColor32 BlendStraight(TColor32 s, TColor32 d, uint32_t master) {
  const uint32_t alpha = Channel(s, 24) * master;
  if (alpha == 0) return d;
  if (alpha == kFull) return s;
  const uint32_t da = Channel(d, 24);
  if (da == 0) return ColorWithAlpha(s, static_cast<uint8_t>((alpha + 127) / 255));
  const uint32_t r = Channel(s, 16) * alpha;
  const uint32_t g = Channel(s, 8) * alpha;
  const uint32_t b = Channel(s, 0) * alpha;
  return da == 255 ? OverOpaque(r, g, b, alpha, d) : OverTranslucent(r, g, b, alpha, d);
}

// 2^24 × 255 / a, rounded: unpremultiplying becomes a multiplication.
const std::array<uint64_t, 256>& Reciprocals() {
  static const std::array<uint64_t, 256> table = [] {
    std::array<uint64_t, 256> t{};
    for (uint64_t a = 1; a < 256; ++a) t[a] = ((uint64_t{255} << 24) + a / 2) / a;
    return t;
  }();
  return table;
}

inline uint32_t UnpremultiplyChannel(uint32_t value, uint64_t reciprocal) {
  return static_cast<uint32_t>(
      std::min<uint64_t>((value * reciprocal + (uint64_t{1} << 23)) >> 24, 255));
}

inline TColor32 UnpremultiplyWith(TColor32 p, const std::array<uint64_t, 256>& reciprocals) {
  const uint32_t a = Channel(p, 24);
  if (a == 255) return p;
  if (a == 0) return kColor32Transparent;
  const uint64_t r = reciprocals[a];
  return Pack(a, UnpremultiplyChannel(Channel(p, 16), r), UnpremultiplyChannel(Channel(p, 8), r),
              UnpremultiplyChannel(Channel(p, 0), r));
}

inline TColor32 BlendPremultiplied(TColor32 p, TColor32 d, uint32_t master,
                                   const std::array<uint64_t, 256>& reciprocals) {
  const uint32_t alpha = Channel(p, 24) * master;
  if (alpha == 0) return d;
  if (alpha == kFull) return p;
  const uint32_t da = Channel(d, 24);
  if (da == 0) {
    return ColorWithAlpha(UnpremultiplyWith(p, reciprocals),
                          static_cast<uint8_t>((alpha + 127) / 255));
  }
  // A premultiplied channel p stands for s × a / 255, so s × A = p × master × 255.
  const uint32_t scale = master * 255;
  const uint32_t r = Channel(p, 16) * scale;
  const uint32_t g = Channel(p, 8) * scale;
  const uint32_t b = Channel(p, 0) * scale;
  return da == 255 ? OverOpaque(r, g, b, alpha, d) : OverTranslucent(r, g, b, alpha, d);
}

// Where a source rectangle of the given size lands at (x, y) on a target, clipped to it; 64-bit
// so that placements near the integer limits cannot overflow.
struct TClippedPlacement {
  int targetX = 0;
  int targetY = 0;
  int sourceX = 0;
  int sourceY = 0;
  int width = 0;
  int height = 0;
};

bool ClipPlacement(int64_t x, int64_t y, const TRect& source, const TRect& targetBounds,
                   TClippedPlacement& out) {
  const int64_t left = std::max<int64_t>(x, targetBounds.Left);
  const int64_t top = std::max<int64_t>(y, targetBounds.Top);
  const int64_t right = std::min<int64_t>(x + source.Width(), targetBounds.Right);
  const int64_t bottom = std::min<int64_t>(y + source.Height(), targetBounds.Bottom);
  if (right <= left || bottom <= top) return false;
  out.targetX = static_cast<int>(left);
  out.targetY = static_cast<int>(top);
  out.sourceX = static_cast<int>(source.Left + (left - x));
  out.sourceY = static_cast<int>(source.Top + (top - y));
  out.width = static_cast<int>(right - left);
  out.height = static_cast<int>(bottom - top);
  return true;
}

}  // namespace

TColor32 BlendColors(TColor32 foreground, TColor32 background, uint8_t masterAlpha) {
  return BlendStraight(foreground, background, masterAlpha);
}

TColor32 MergeColors(TColor32 foreground, TColor32 background, uint8_t masterAlpha) {
  const uint32_t fa = Channel(foreground, 24);
  // 1.-2. the whole foreground, or none of it
  if (fa == 255 && masterAlpha == 255) return foreground;
  if ((fa == 255 && masterAlpha == 0) || fa == 0) return background;
  // 3. a foreground that covers fully after all, or nothing beneath it
  const uint32_t c = masterAlpha * fa / 255;
  const uint32_t ba = Channel(background, 24);
  if (c == 255 || ba == 0) return ColorWithAlpha(foreground, static_cast<uint8_t>(c));
  // 4. c < 255 and ba > 0 keep g within 1 … 255
  const uint32_t g = c + ba - ba * c / 255;
  const int32_t reciprocal = static_cast<int32_t>(0x10000 / g);
  const auto merge = [&](int shift) {
    const auto f = static_cast<int32_t>(Channel(foreground, shift));
    const auto b = static_cast<int32_t>(Channel(background, shift) * ba >> 8);
    // b + ((f − b) × c >> 8) lies between f and b, so it is never negative.
    const int32_t mixed = b + ((f - b) * static_cast<int32_t>(c) >> 8);
    return static_cast<uint32_t>(reciprocal * mixed >> 8);
  };
  return Pack(g, merge(16), merge(8), merge(0));
}

TColor32 MixColors(TColor32 first, TColor32 second, double fraction) {
  const double f = std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0);
  const double a1 = Channel(first, 24);
  const double a2 = Channel(second, 24);
  const double alpha = a1 + (a2 - a1) * f;
  if (alpha <= 0) return kColor32Transparent;
  const auto mix = [&](int shift) {
    const double value =
        (Channel(first, shift) * a1 * (1 - f) + Channel(second, shift) * a2 * f) / alpha;
    return static_cast<uint32_t>(std::clamp(std::lround(value), 0L, 255L));
  };
  return Pack(static_cast<uint32_t>(std::lround(alpha)), mix(16), mix(8), mix(0));
}

TColor32 Premultiply(TColor32 colour) {
  PremultiplyRow(&colour, &colour, 1);
  return colour;
}

TColor32 Unpremultiply(TColor32 premultiplied) {
  return UnpremultiplyWith(premultiplied, Reciprocals());
}

void PremultiplyRow(TColor32* target, const TColor32* source, int count) {
  for (int i = 0; i < count; ++i) {
    const TColor32 c = source[i];
    const uint32_t a = c >> 24;
    if (a == 255) {
      target[i] = c;
    } else if (a == 0) {
      target[i] = 0;
    } else {
      // Red and blue side by side in 16-bit lanes, green alone; x × a / 255 rounded exactly as
      // (t + (t >> 8)) >> 8 with t = x × a + 128. No lane can carry into the next.
      uint32_t rb = (c & 0xFF00FF) * a + 0x800080;
      rb = ((rb + ((rb >> 8) & 0xFF00FF)) >> 8) & 0xFF00FF;
      uint32_t g = ((c >> 8) & 0xFF) * a + 0x80;
      g = ((g + (g >> 8)) >> 8) & 0xFF;
      target[i] = (a << 24) | rb | (g << 8);
    }
  }
}

void BlendRow(TColor32* target, const TColor32* source, int count, uint8_t masterAlpha) {
  if (masterAlpha == 0) return;
  // A row of a photo covers what lies beneath: a copy, found faster than pixel by pixel.
  if (masterAlpha == 255 && RowIsOpaque(source, count)) {
    std::memcpy(target, source, size_t(count) * sizeof(TColor32));
    return;
  }
  for (int i = 0; i < count; ++i) target[i] = BlendStraight(source[i], target[i], masterAlpha);
}

void MergeRow(TColor32* target, const TColor32* source, int count, uint8_t masterAlpha) {
  for (int i = 0; i < count; ++i) target[i] = MergeColors(source[i], target[i], masterAlpha);
}

void BlendPremultipliedRow(TColor32* target, const TColor32* premultiplied, int count,
                           uint8_t masterAlpha) {
  if (masterAlpha == 0) return;
  const auto& reciprocals = Reciprocals();
  for (int i = 0; i < count; ++i) {
    target[i] = BlendPremultiplied(premultiplied[i], target[i], masterAlpha, reciprocals);
  }
}

void UnpremultiplyRow(TColor32* target, const TColor32* premultiplied, int count) {
  // Opaque pixels are their own straight colour. (The area reducer unpremultiplies in place.)
  if (RowIsOpaque(premultiplied, count)) {
    if (target != premultiplied) {
      std::memcpy(target, premultiplied, size_t(count) * sizeof(TColor32));
    }
    return;
  }
  const auto& reciprocals = Reciprocals();
  for (int i = 0; i < count; ++i) target[i] = UnpremultiplyWith(premultiplied[i], reciprocals);
}

void UnpremultiplyCoveredRow(TColor32* target, const TColor32* premultiplied, int count) {
  const auto& reciprocals = Reciprocals();
  for (int i = 0; i < count; ++i) {
    if (premultiplied[i] >> 24) target[i] = UnpremultiplyWith(premultiplied[i], reciprocals);
  }
}

bool RowIsOpaque(const TColor32* row, int count) {
  TColor32 all = 0xFF000000;
  int i = 0;
#if defined(__SSE2__)
  // Asked of every row a picture draws: sixteen pixels at a time, and a row of a translucent
  // picture is usually told at its first block.
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000));
  for (; i + 16 <= count; i += 16) {
    const auto* block = reinterpret_cast<const __m128i*>(row + i);
    const __m128i both = _mm_and_si128(
        _mm_and_si128(_mm_loadu_si128(block), _mm_loadu_si128(block + 1)),
        _mm_and_si128(_mm_loadu_si128(block + 2), _mm_loadu_si128(block + 3)));
    const __m128i alphas = _mm_and_si128(both, opaque);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alphas, opaque)) != 0xFFFF) return false;
  }
#endif
  for (; i < count; ++i) all &= row[i];
  return all == 0xFF000000;
}

void DrawBitmap(TBitmap32& target, int x, int y, const TBitmap32& source, TDrawMode mode,
                uint8_t masterAlpha) {
  DrawBitmap(target, x, y, source, source.BoundsRect(), mode, masterAlpha);
}

void DrawBitmap(TBitmap32& target, int x, int y, const TBitmap32& source, const TRect& sourceRect,
                TDrawMode mode, uint8_t masterAlpha) {
  if (&target == &source) {
    // Drawing a bitmap onto itself reads what it writes; work from a copy.
    const TBitmap32 copy = source;
    DrawBitmap(target, x, y, copy, sourceRect, mode, masterAlpha);
    return;
  }
  const TRect part = IntersectRect(sourceRect, source.BoundsRect());
  if (part.IsEmpty()) return;
  // The clipped source part keeps its offset from the requested rectangle.
  const int64_t placeX = int64_t{x} + (part.Left - int64_t{sourceRect.Left});
  const int64_t placeY = int64_t{y} + (part.Top - int64_t{sourceRect.Top});
  TClippedPlacement p;
  if (!ClipPlacement(placeX, placeY, part, target.BoundsRect(), p)) return;
  for (int row = 0; row < p.height; ++row) {
    TColor32* to = target.ScanLine(p.targetY + row) + p.targetX;
    const TColor32* from = source.ScanLine(p.sourceY + row) + p.sourceX;
    if (mode == TDrawMode::Opaque) {
      std::memcpy(to, from, size_t(p.width) * sizeof(TColor32));
    } else if (mode == TDrawMode::Merge) {
      MergeRow(to, from, p.width, masterAlpha);
    } else {
      BlendRow(to, from, p.width, masterAlpha);
    }
  }
}

void FillRect(TBitmap32& target, const TRect& rect, TColor32 colour, TDrawMode mode) {
  const TRect area = IntersectRect(rect, target.BoundsRect());
  if (area.IsEmpty()) return;
  if (mode == TDrawMode::Opaque || (colour >> 24) == 255) {
    for (int y = area.Top; y < area.Bottom; ++y) {
      TColor32* line = target.ScanLine(y);
      std::fill(line + area.Left, line + area.Right, colour);
    }
    return;
  }
  if ((colour >> 24) == 0) return;
  for (int y = area.Top; y < area.Bottom; ++y) {
    TColor32* line = target.ScanLine(y);
    for (int x = area.Left; x < area.Right; ++x) line[x] = BlendStraight(colour, line[x], 255);
  }
}

}  // namespace nimbra
