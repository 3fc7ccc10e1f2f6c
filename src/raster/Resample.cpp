#include "raster/Resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "raster/Blend.h"
#include "raster/ResampleRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nimbra {

namespace {

// Weights are fixed-point with 14 fractional bits: sums of 8-bit channels times weights (negative
// lobes included) stay far inside 32 bits.
constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
constexpr int32_t kWeightHalf = 1 << (kWeightBits - 1);

double Sinc(double x) {
  if (x == 0.0) return 1.0;
  const double px = std::numbers::pi * x;
  return std::sin(px) / px;
}

// The cubic family of Mitchell and Netravali; B = 1, C = 0 is the B-spline.
double Cubic(double x, double b, double c) {
  const double ax = std::fabs(x);
  if (ax < 1) {
    return ((12 - 9 * b - 6 * c) * ax * ax * ax + (-18 + 12 * b + 6 * c) * ax * ax + (6 - 2 * b)) /
           6;
  }
  if (ax < 2) {
    return ((-b - 6 * c) * ax * ax * ax + (6 * b + 30 * c) * ax * ax + (-12 * b - 48 * c) * ax +
            (8 * b + 24 * c)) /
           6;
  }
  return 0;
}

// Half the width of a kernel at scale 1.
double Support(TResamplingFilter filter) {
  switch (filter) {
    case TResamplingFilter::Lanczos:
      return 3;
    case TResamplingFilter::Spline:
    case TResamplingFilter::Mitchell:
      return 2;
    case TResamplingFilter::Linear:
    case TResamplingFilter::Cosine:
      return 1;
    case TResamplingFilter::Nearest:
    case TResamplingFilter::Box:
      break;
  }
  return 0.5;
}

double Kernel(TResamplingFilter filter, double x) {
  const double ax = std::fabs(x);
  switch (filter) {
    case TResamplingFilter::Linear:
      return ax < 1 ? 1 - ax : 0;
    case TResamplingFilter::Cosine:
      return ax < 1 ? (1 + std::cos(std::numbers::pi * ax)) / 2 : 0;
    case TResamplingFilter::Spline:
      return Cubic(ax, 1, 0);
    case TResamplingFilter::Lanczos:
      return ax < 3 ? Sinc(ax) * Sinc(ax / 3) : 0;
    case TResamplingFilter::Mitchell:
      return Cubic(ax, 1.0 / 3, 1.0 / 3);
    case TResamplingFilter::Nearest:
    case TResamplingFilter::Box:
      break;
  }
  return ax < 0.5 ? 1 : 0;
}

// The taps of one axis: for each target index, the first source index (relative to the source
// range), how many follow, and their weights (stride entries per target index, summing to
// kWeightOne). Indices never leave the source range: taps beyond an edge are folded onto it.
struct TAxisTaps {
  std::vector<int> first;
  std::vector<int> count;
  std::vector<int16_t> weights;
  int stride = 0;
  int lowest = 0;   // smallest source index used
  int highest = 0;  // largest source index used
};

// Normalises the raw weights to fixed point; the rounding residue goes to the largest weight so
// that the sum is exact and a uniform picture stays uniform.
std::vector<int16_t> Quantise(const std::vector<double>& raw) {
  double sum = 0;
  for (double w : raw) sum += w;
  std::vector<int16_t> q(raw.size(), 0);
  if (!(std::fabs(sum) > 1e-12)) return q;
  int total = 0;
  size_t largest = 0;
  for (size_t j = 0; j < raw.size(); ++j) {
    q[j] = static_cast<int16_t>(
        std::clamp<long>(std::lround(raw[j] / sum * kWeightOne), -kWeightOne, kWeightOne));
    total += q[j];
    if (q[j] > q[largest]) largest = j;
  }
  q[largest] = static_cast<int16_t>(q[largest] + (kWeightOne - total));
  return q;
}

TAxisTaps BuildTaps(int sourceLength, int64_t targetLength, int64_t firstTarget, int targets,
                    TResamplingFilter filter) {
  const double ratio = double(sourceLength) / double(targetLength);
  const bool box = filter == TResamplingFilter::Box || filter == TResamplingFilter::Nearest;
  // A shrinking kernel widens by the reduction; the box always spans the target pixel's area.
  const double scale = box ? ratio : std::max(1.0, ratio);
  const double reach = box ? ratio / 2 : Support(filter) * scale;
  const int last = sourceLength - 1;

  std::vector<std::vector<int16_t>> perTarget(static_cast<size_t>(targets));
  TAxisTaps taps;
  taps.first.resize(size_t(targets));
  taps.count.resize(size_t(targets));
  taps.lowest = last;
  taps.highest = 0;
  std::vector<double> raw;
  for (int t = 0; t < targets; ++t) {
    const double centre = (double(firstTarget + t) + 0.5) * ratio;
    const int64_t from = static_cast<int64_t>(std::floor(centre - reach - 0.5));
    const int64_t to = static_cast<int64_t>(std::ceil(centre + reach - 0.5));
    const int low = static_cast<int>(std::clamp<int64_t>(from, 0, last));
    const int high = static_cast<int>(std::clamp<int64_t>(to, 0, last));
    raw.assign(size_t(high - low + 1), 0.0);
    for (int64_t j = from; j <= to; ++j) {
      double w;
      if (box) {
        w = std::min<double>(double(j + 1), centre + reach) -
            std::max<double>(double(j), centre - reach);
        w = std::max(w, 0.0);
      } else {
        w = Kernel(filter, (double(j) + 0.5 - centre) / scale);
      }
      raw[size_t(std::clamp<int64_t>(j, 0, last) - low)] += w;
    }
    std::vector<int16_t> q = Quantise(raw);
    // Zero weights at either end cost work and add nothing.
    size_t begin = 0;
    size_t end = q.size();
    while (begin < end && q[begin] == 0) ++begin;
    while (end > begin && q[end - 1] == 0) --end;
    if (begin == end) {  // only for a kernel whose weights cancel: take the pixel under the centre
      const int nearest =
          static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(std::floor(centre)), 0, last));
      q.assign(1, static_cast<int16_t>(kWeightOne));
      begin = 0;
      end = 1;
      taps.first[size_t(t)] = nearest;
    } else {
      taps.first[size_t(t)] = low + static_cast<int>(begin);
    }
    perTarget[size_t(t)].assign(q.begin() + static_cast<std::ptrdiff_t>(begin),
                                q.begin() + static_cast<std::ptrdiff_t>(end));
    taps.count[size_t(t)] = static_cast<int>(end - begin);
  }
  // Trimming can leave a window starting after the next one's start; it takes back zero weights
  // down to there, so that windows only ever move down and rows are first read in order.
  for (int t = targets - 2; t >= 0; --t) {
    const int back = taps.first[size_t(t)] - taps.first[size_t(t) + 1];
    if (back <= 0) continue;
    perTarget[size_t(t)].insert(perTarget[size_t(t)].begin(), size_t(back), int16_t{0});
    taps.first[size_t(t)] -= back;
    taps.count[size_t(t)] += back;
  }
  for (int t = 0; t < targets; ++t) {
    taps.stride = std::max(taps.stride, taps.count[size_t(t)]);
    taps.lowest = std::min(taps.lowest, taps.first[size_t(t)]);
    taps.highest = std::max(taps.highest, taps.first[size_t(t)] + taps.count[size_t(t)] - 1);
  }
  // Even, so that an odd count of weights is followed by a zero one: the vertical pass takes them
  // in pairs.
  taps.stride += taps.stride % 2;
  taps.weights.assign(size_t(targets) * size_t(taps.stride), 0);
  for (int t = 0; t < targets; ++t) {
    std::copy(perTarget[size_t(t)].begin(), perTarget[size_t(t)].end(),
              taps.weights.begin() + static_cast<std::ptrdiff_t>(size_t(t) * size_t(taps.stride)));
  }
  return taps;
}

inline uint32_t Load32(const uint8_t* p) {
  uint32_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

// The loops below come twice: with SSE2 (every x86-64 processor has it), two taps at a time
// through 16-bit multiply-adds, and in plain C++. Both compute the same integers.
#if defined(__SSE2__)

inline __m128i WeightPair(int16_t first, int16_t second) {
  return _mm_set1_epi32(int32_t(uint16_t(first)) | int32_t(uint32_t(uint16_t(second)) << 16));
}

// Premultiplied pixels above their alpha mean nothing; ringing kernels can overshoot there. Each
// channel is limited to its pixel's alpha, which is its own limit.
inline __m128i LimitToAlpha(__m128i pixels) {
  __m128i alpha = _mm_srli_epi32(pixels, 24);
  alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 8));
  alpha = _mm_or_si128(alpha, _mm_slli_epi32(alpha, 16));
  return _mm_min_epu8(pixels, alpha);
}

// Four accumulated channels (in memory order) to a pixel, each sum >> kWeightBits clamped to a
// byte.
inline TColor32 Pack(__m128i sums) {
  const __m128i shifted = _mm_srai_epi32(sums, kWeightBits);
  const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(shifted, shifted), _mm_setzero_si128());
  return static_cast<TColor32>(_mm_cvtsi128_si32(LimitToAlpha(bytes)));
}

// One output pixel of the horizontal pass: the taps' pixels weighted, channel by channel.
inline TColor32 ConvolvePixel(const uint8_t* p, const int16_t* w, int n) {
  const __m128i zero = _mm_setzero_si128();
  __m128i sums = _mm_set1_epi32(kWeightHalf);
  int j = 0;
  for (; j + 1 < n; j += 2, p += 8) {
    const __m128i first = _mm_cvtsi32_si128(static_cast<int>(Load32(p)));
    const __m128i second = _mm_cvtsi32_si128(static_cast<int>(Load32(p + 4)));
    // b0 b1 g0 g1 r0 r1 a0 a1 as 16-bit numbers: one multiply-add gives four channel sums.
    const __m128i pairs = _mm_unpacklo_epi8(_mm_unpacklo_epi8(first, second), zero);
    sums = _mm_add_epi32(sums, _mm_madd_epi16(pairs, WeightPair(w[j], w[j + 1])));
  }
  if (j < n) {
    const __m128i last = _mm_cvtsi32_si128(static_cast<int>(Load32(p)));
    const __m128i pairs = _mm_unpacklo_epi8(_mm_unpacklo_epi8(last, zero), zero);
    sums = _mm_add_epi32(sums, _mm_madd_epi16(pairs, WeightPair(w[j], 0)));
  }
  return Pack(sums);
}

// One target row of the vertical pass: the rows' pixels weighted, channel by channel, four pixels
// at a time with their sums kept in registers, two rows per multiply-add. An odd count has a
// readable row and a zero weight after its last.
void ConvolveColumns(const uint8_t* const* rows, const int16_t* weights, int count, int width,
                     TColor32* out) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i half = _mm_set1_epi32(kWeightHalf);
  const int pairs = (count + 1) / 2;
  // The weights of rows 2p and 2p + 1, side by side as the multiply-add pairs them.
  const auto pairWeights = [weights](int p) {
    return _mm_set1_epi32(
        static_cast<int32_t>(Load32(reinterpret_cast<const uint8_t*>(weights + 2 * p))));
  };
  int x = 0;
  for (; x + 4 <= width; x += 4) {
    const size_t k = size_t(x) * 4;
    __m128i sums[4] = {half, half, half, half};
    for (int p = 0; p < pairs; ++p) {
      const __m128i rowA = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * p] + k));
      const __m128i rowB = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[2 * p + 1] + k));
      const __m128i w = pairWeights(p);
      // a0 b0 a1 b1 … as 16-bit numbers: one multiply-add gives a pixel's four channel sums.
      const __m128i low = _mm_unpacklo_epi8(rowA, rowB);
      const __m128i high = _mm_unpackhi_epi8(rowA, rowB);
      sums[0] = _mm_add_epi32(sums[0], _mm_madd_epi16(_mm_unpacklo_epi8(low, zero), w));
      sums[1] = _mm_add_epi32(sums[1], _mm_madd_epi16(_mm_unpackhi_epi8(low, zero), w));
      sums[2] = _mm_add_epi32(sums[2], _mm_madd_epi16(_mm_unpacklo_epi8(high, zero), w));
      sums[3] = _mm_add_epi32(sums[3], _mm_madd_epi16(_mm_unpackhi_epi8(high, zero), w));
    }
    const __m128i first =
        _mm_packs_epi32(_mm_srai_epi32(sums[0], kWeightBits), _mm_srai_epi32(sums[1], kWeightBits));
    const __m128i last =
        _mm_packs_epi32(_mm_srai_epi32(sums[2], kWeightBits), _mm_srai_epi32(sums[3], kWeightBits));
    const __m128i pixels = _mm_packus_epi16(first, last);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), LimitToAlpha(pixels));
  }
  for (; x < width; ++x) {
    __m128i sums = half;
    for (int p = 0; p < pairs; ++p) {
      const __m128i a = _mm_cvtsi32_si128(static_cast<int>(Load32(rows[2 * p] + 4 * size_t(x))));
      const __m128i b =
          _mm_cvtsi32_si128(static_cast<int>(Load32(rows[2 * p + 1] + 4 * size_t(x))));
      const __m128i pair = _mm_unpacklo_epi8(_mm_unpacklo_epi8(a, b), zero);
      sums = _mm_add_epi32(sums, _mm_madd_epi16(pair, pairWeights(p)));
    }
    out[x] = Pack(sums);
  }
}

#else

inline TColor32 LimitToAlpha(TColor32 c) {
  const uint32_t a = c >> 24;
  if (a == 255) return c;
  const uint32_t r = std::min((c >> 16) & 0xFF, a);
  const uint32_t g = std::min((c >> 8) & 0xFF, a);
  const uint32_t b = std::min(c & 0xFF, a);
  return (a << 24) | (r << 16) | (g << 8) | b;
}

inline uint8_t ToByte(int32_t sum) {
  return static_cast<uint8_t>(std::clamp(sum >> kWeightBits, 0, 255));
}

inline TColor32 PackSums(const int32_t* sums) {
  const uint8_t bytes[4] = {ToByte(sums[0]), ToByte(sums[1]), ToByte(sums[2]), ToByte(sums[3])};
  return LimitToAlpha(Load32(bytes));
}

inline TColor32 ConvolvePixel(const uint8_t* p, const int16_t* w, int n) {
  int32_t sums[4] = {kWeightHalf, kWeightHalf, kWeightHalf, kWeightHalf};
  for (int j = 0; j < n; ++j, p += 4) {
    for (int k = 0; k < 4; ++k) sums[k] += w[j] * p[k];
  }
  return PackSums(sums);
}

void ConvolveColumns(const uint8_t* const* rows, const int16_t* weights, int count, int width,
                     TColor32* out) {
  for (int x = 0; x < width; ++x) {
    int32_t sums[4] = {kWeightHalf, kWeightHalf, kWeightHalf, kWeightHalf};
    for (int j = 0; j < count; ++j) {
      const uint8_t* p = rows[j] + 4 * size_t(x);
      for (int k = 0; k < 4; ++k) sums[k] += weights[j] * p[k];
    }
    out[x] = PackSums(sums);
  }
}

#endif

// One source row through the horizontal taps. pixels starts at source index taps.lowest.
void ConvolveRow(const TColor32* pixels, const TAxisTaps& taps, TColor32* out, int targets) {
  for (int t = 0; t < targets; ++t) {
    const auto* p =
        reinterpret_cast<const uint8_t*>(pixels + (taps.first[size_t(t)] - taps.lowest));
    out[t] = ConvolvePixel(p, taps.weights.data() + size_t(t) * size_t(taps.stride),
                           taps.count[size_t(t)]);
  }
}

}  // namespace

TResamplingFilter ResamplingFilterFromNumber(int number) {
  if (number < 0 || number > 6) return TResamplingFilter::Nearest;
  return static_cast<TResamplingFilter>(number);
}

void ResampleNearest(const TBitmap32& source, const TRect& sourceRect, const TRect& targetRect,
                     const TRect& area, const TResampledRowSink& sink) {
  const TRect from = IntersectRect(sourceRect, source.BoundsRect());
  const TRect out = IntersectRect(area, targetRect);
  if (from.IsEmpty() || out.IsEmpty()) return;
  const int64_t targetWidth = int64_t{targetRect.Right} - targetRect.Left;
  const int64_t targetHeight = int64_t{targetRect.Bottom} - targetRect.Top;
  // The source index under the centre of target index i: floor((i + 0.5) × n / m), exactly.
  const auto index = [](int64_t i, int64_t n, int64_t m) {
    return static_cast<int>(std::min((2 * i + 1) * n / (2 * m), n - 1));
  };
  std::vector<int> columns(static_cast<size_t>(out.Width()));
  for (int x = out.Left; x < out.Right; ++x) {
    columns[size_t(x - out.Left)] =
        from.Left + index(int64_t{x} - targetRect.Left, from.Width(), targetWidth);
  }
  std::vector<TColor32> row(static_cast<size_t>(out.Width()));
  for (int y = out.Top; y < out.Bottom; ++y) {
    const TColor32* line =
        source.ScanLine(from.Top + index(int64_t{y} - targetRect.Top, from.Height(), targetHeight));
    for (size_t i = 0; i < row.size(); ++i) row[i] = line[columns[i]];
    sink(y, row.data());
  }
}

void ResampleConvolved(const TBitmap32& source, const TRect& sourceRect, const TRect& targetRect,
                       const TRect& area, TResamplingFilter filter, const TResampledRowSink& sink) {
  const TRect from = IntersectRect(sourceRect, source.BoundsRect());
  const TRect out = IntersectRect(area, targetRect);
  if (from.IsEmpty() || out.IsEmpty()) return;
  const int64_t targetWidth = int64_t{targetRect.Right} - targetRect.Left;
  const int64_t targetHeight = int64_t{targetRect.Bottom} - targetRect.Top;
  const int reducedWidth = PreReducedLength(from.Width(), targetWidth);
  const int reducedHeight = PreReducedLength(from.Height(), targetHeight);
  const TAxisTaps columns = BuildTaps(reducedWidth, targetWidth,
                                      int64_t{out.Left} - targetRect.Left, out.Width(), filter);
  const TAxisTaps rows = BuildTaps(reducedHeight, targetHeight, int64_t{out.Top} - targetRect.Top,
                                   out.Height(), filter);
  TResampleRows input(source, from, reducedWidth, reducedHeight, columns.lowest, columns.highest,
                      rows.lowest, rows.highest);

  const int width = out.Width();
  // Horizontal results of the source rows the current target row needs. Each window of rows fits
  // (a window is at most stride rows), and windows only move down, so every row is filtered once.
  const int ringSize = rows.stride;
  std::vector<TColor32> ring(size_t(ringSize) * size_t(width));
  std::vector<int> ringRow(static_cast<size_t>(ringSize), -1);
  // The window's rows; an odd count is less than the (even) stride and leaves room for the pair.
  std::vector<const uint8_t*> window(static_cast<size_t>(ringSize));
  std::vector<TColor32> result(static_cast<size_t>(width));

  for (int t = 0; t < out.Height(); ++t) {
    const int first = rows.first[size_t(t)];
    const int count = rows.count[size_t(t)];
    // 1. Horizontal pass over the window's (possibly reduced) source rows not yet in the ring.
    for (int j = 0; j < count; ++j) {
      const int r = first + j;
      const size_t slot = size_t(r % ringSize);
      TColor32* line = ring.data() + slot * size_t(width);
      if (ringRow[slot] != r) {
        ConvolveRow(input.Row(r), columns, line, width);
        ringRow[slot] = r;
      }
      window[size_t(j)] = reinterpret_cast<const uint8_t*>(line);
    }
    if (count % 2 != 0) window[size_t(count)] = window[size_t(count) - 1];
    // 2. Vertical pass across the window.
    ConvolveColumns(window.data(), rows.weights.data() + size_t(t) * size_t(rows.stride), count,
                    width, result.data());
    sink(out.Top + t, result.data());
  }
}

TBitmap32 Resampled(const TBitmap32& source, int width, int height, TResamplingFilter filter) {
  TBitmap32 target;
  if (source.Empty() || width <= 0 || height <= 0) return target;
  target.SetSize(width, height);
  const TRect all = target.BoundsRect();
  if (filter == TResamplingFilter::Nearest) {
    ResampleNearest(source, source.BoundsRect(), all, all, [&](int y, const TColor32* pixels) {
      std::memcpy(target.ScanLine(y), pixels, size_t(width) * sizeof(TColor32));
    });
  } else {
    ResampleConvolved(source, source.BoundsRect(), all, all, filter,
                      [&](int y, const TColor32* pixels) {
                        UnpremultiplyRow(target.ScanLine(y), pixels, width);
                      });
  }
  return target;
}

}  // namespace nimbra
