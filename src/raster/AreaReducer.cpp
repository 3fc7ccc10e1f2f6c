#include "raster/AreaReducer.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "raster/Blend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace nimbra {

namespace {

constexpr int kChannels = 4;
// A row sum (at most 255 × kWeightOne) loses its lowest bits before the columns are summed, so that
// it fits a signed 16-bit multiply-add: 255 × 2^12 >> 5 = 32640.
constexpr int kColumnShift = 5;
// The target's channels carry the weights of both axes: kWeightOne squared, less kColumnShift.
constexpr int kResultShift = 24 - kColumnShift;
constexpr int32_t kResultHalf = int32_t{1} << (kResultShift - 1);

// The length along the other axis that keeps the picture's proportions, rounded, at least need.
int64_t ProportionalLength(int64_t length, int64_t binding, int64_t bindingSource, int64_t need) {
  const int64_t scaled = (length * binding + bindingSource / 2) / bindingSource;
  return std::clamp(std::max(scaled, need), int64_t{1}, length);
}

// The loops below come twice: with SSE2 (every x86-64 processor has it) and in plain C++. Both
// compute the same integers.
#if defined(__SSE2__)

// sums = (fresh ? 0 : sums) + bytes × weight, sixteen channels at a time: each byte is widened
// to a 32-bit lane (value, 0) whose multiply-add with (weight, 0) is its product.
void AddWeightedRow(const uint8_t* bytes, size_t count, uint32_t weight, bool fresh,
                    uint32_t* sums) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i weights = _mm_set1_epi32(static_cast<int32_t>(weight));
  size_t k = 0;
  for (; k + 16 <= count; k += 16) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k));
    const __m128i low = _mm_unpacklo_epi8(in, zero);
    const __m128i high = _mm_unpackhi_epi8(in, zero);
    const __m128i products[4] = {_mm_madd_epi16(_mm_unpacklo_epi16(low, zero), weights),
                                 _mm_madd_epi16(_mm_unpackhi_epi16(low, zero), weights),
                                 _mm_madd_epi16(_mm_unpacklo_epi16(high, zero), weights),
                                 _mm_madd_epi16(_mm_unpackhi_epi16(high, zero), weights)};
    auto* out = reinterpret_cast<__m128i*>(sums + k);
    for (int i = 0; i < 4; ++i) {
      const __m128i before = fresh ? zero : _mm_loadu_si128(out + i);
      _mm_storeu_si128(out + i, _mm_add_epi32(before, products[i]));
    }
  }
  for (; k < count; ++k) sums[k] = (fresh ? 0 : sums[k]) + bytes[k] * weight;
}

// One target row from the row sums, two columns of a target pixel at a time: their four channels
// interleaved as 16-bit numbers, one multiply-add gives the four channel sums.
void SumColumns(const uint32_t* sums, const TAreaReducer::TAxis& columns, int width,
                uint8_t* out) {
  const int taps = columns.Taps;
  for (int x = 0; x < width; ++x) {
    const uint32_t* in = sums + static_cast<size_t>(columns.First[x]) * kChannels;
    const uint32_t* weights = columns.Weights.data() + static_cast<size_t>(x) * taps;
    __m128i channels = _mm_set1_epi32(kResultHalf);
    int k = 0;
    for (; k < taps; k += 2) {
      const __m128i first = _mm_srli_epi32(
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k * kChannels)), kColumnShift);
      // Past the last tap a zero stands in for the second column.
      const __m128i second =
          k + 1 < taps ? _mm_srli_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(
                                            in + (k + 1) * kChannels)),
                                        kColumnShift)
                       : _mm_setzero_si128();
      const __m128i both = _mm_packs_epi32(first, second);
      const __m128i pairs = _mm_unpacklo_epi16(both, _mm_unpackhi_epi64(both, both));
      const uint32_t secondWeight = k + 1 < taps ? weights[k + 1] : 0;
      const __m128i weightPair =
          _mm_set1_epi32(static_cast<int32_t>(weights[k] | (secondWeight << 16)));
      channels = _mm_add_epi32(channels, _mm_madd_epi16(pairs, weightPair));
    }
    const __m128i shifted = _mm_srli_epi32(channels, kResultShift);
    const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(shifted, shifted), shifted);
    const auto pixel = static_cast<uint32_t>(_mm_cvtsi128_si32(bytes));
    std::copy_n(reinterpret_cast<const uint8_t*>(&pixel), kChannels, out + x * kChannels);
  }
}

#else

void AddWeightedRow(const uint8_t* bytes, size_t count, uint32_t weight, bool fresh,
                    uint32_t* sums) {
  for (size_t k = 0; k < count; ++k) sums[k] = (fresh ? 0 : sums[k]) + bytes[k] * weight;
}

void SumColumns(const uint32_t* sums, const TAreaReducer::TAxis& columns, int width,
                uint8_t* out) {
  const int taps = columns.Taps;
  for (int x = 0; x < width; ++x) {
    const uint32_t* in = sums + static_cast<size_t>(columns.First[x]) * kChannels;
    const uint32_t* weights = columns.Weights.data() + static_cast<size_t>(x) * taps;
    for (int c = 0; c < kChannels; ++c) {
      int32_t channel = kResultHalf;
      for (int k = 0; k < taps; ++k) {
        channel += static_cast<int32_t>((in[k * kChannels + c] >> kColumnShift) * weights[k]);
      }
      out[x * kChannels + c] = static_cast<uint8_t>(channel >> kResultShift);
    }
  }
}

#endif

}  // namespace

TReducedSize AreaReducedSize(int width, int height, int needWidth, int needHeight) {
  const int64_t needW = std::max(needWidth, 0);
  const int64_t needH = std::max(needHeight, 0);
  if (width <= 0 || height <= 0 || (needW == 0 && needH == 0)) return {width, height};
  // The dimension whose need asks for the larger share of the picture decides the scale.
  if (needW * height >= needH * width) {
    if (needW >= width) return {width, height};
    return {static_cast<int>(needW),
            static_cast<int>(ProportionalLength(height, needW, width, needH))};
  }
  if (needH >= height) return {width, height};
  return {static_cast<int>(ProportionalLength(width, needH, height, needW)),
          static_cast<int>(needH)};
}

TAreaReducer::TAxis TAreaReducer::AxisFor(int sourceSize, int targetSize) {
  return AxisFor(sourceSize, targetSize, 0, targetSize);
}

TAreaReducer::TAxis TAreaReducer::AxisFor(int sourceSize, int targetSize, int firstTarget,
                                          int count) {
  if (targetSize <= 0 || targetSize > sourceSize) {
    throw std::invalid_argument("area reduction to an empty or larger size");
  }
  if (firstTarget < 0 || count <= 0 || count > targetSize - firstTarget) {
    throw std::invalid_argument("area reduction of a part outside the target");
  }
  // Positions are counted in 1/targetSize of a source pixel: source pixel j spans
  // [j·target, (j+1)·target), target pixel i spans [i·source, (i+1)·source).
  const int64_t source = sourceSize;
  const int64_t target = targetSize;
  TAxis axis;
  axis.Start = static_cast<int>(firstTarget * source / target);
  axis.First.resize(static_cast<size_t>(count));
  axis.Last.resize(static_cast<size_t>(count));
  for (int64_t k = 0; k < count; ++k) {
    const int64_t i = firstTarget + k;
    axis.First[k] = static_cast<int>(i * source / target) - axis.Start;
    axis.Last[k] = static_cast<int>(((i + 1) * source - 1) / target) - axis.Start;
    axis.Taps = std::max(axis.Taps, axis.Last[k] - axis.First[k] + 1);
  }
  axis.Weights.assign(static_cast<size_t>(count) * static_cast<size_t>(axis.Taps), 0);
  // Each weight is the difference of the rounded shares covered up to either end of the source
  // pixel, so the weights never go negative and always add up to exactly kWeightOne.
  const auto share = [source](int64_t covered) {
    return static_cast<uint32_t>((covered * kWeightOne + source / 2) / source);
  };
  for (int64_t k = 0; k < count; ++k) {
    const int64_t start = (firstTarget + k) * source;
    const int64_t end = start + source;
    for (int64_t j = axis.First[k]; j <= axis.Last[k]; ++j) {
      const int64_t absolute = axis.Start + j;
      const int64_t from = std::max(absolute * target, start) - start;
      const int64_t to = std::min((absolute + 1) * target, end) - start;
      axis.Weights[k * axis.Taps + (j - axis.First[k])] = share(to) - share(from);
    }
  }
  return axis;
}

TAreaReducer::TAreaReducer(int sourceWidth, int sourceHeight, TBitmap32& target)
    : TAreaReducer(AxisFor(sourceWidth, target.Width()), AxisFor(sourceHeight, target.Height()),
                   nullptr) {
  target_ = &target;
}

TAreaReducer::TAreaReducer(TAxis columns, TAxis rows, TRowSink sink)
    : columns_(std::move(columns)),
      rows_(std::move(rows)),
      sourceWidth_(columns_.Last.back() + 1),
      sourceHeight_(rows_.Last.back() + 1),
      sink_(std::move(sink)) {
  // Room past the last column for the taps of the last target column, which weigh nothing.
  const size_t sums = static_cast<size_t>(sourceWidth_ + columns_.Taps) * kChannels;
  sums_[0].assign(sums, 0);
  sums_[1].assign(sums, 0);
  if (sink_) sinkRow_.resize(columns_.First.size());
}

void TAreaReducer::AddRow(const TColor32* row) {
  if (RowIsOpaque(row, sourceWidth_)) {
    Accumulate(row, false);
    return;
  }
  premultiplied_.resize(static_cast<size_t>(sourceWidth_));
  PremultiplyRow(premultiplied_.data(), row, sourceWidth_);
  Accumulate(premultiplied_.data(), true);
}

void TAreaReducer::Accumulate(const TColor32* row, bool translucent) {
  if (Finished()) throw std::logic_error("area reduction: more rows than the picture has");
  const int sourceRow = nextSourceRow_++;
  const auto* bytes = reinterpret_cast<const uint8_t*>(row);
  const size_t count = static_cast<size_t>(sourceWidth_) * kChannels;
  const int targetHeight = static_cast<int>(rows_.First.size());
  for (int t = nextTargetRow_; t < targetHeight && rows_.First[t] <= sourceRow; ++t) {
    const uint32_t weight = rows_.Weights[t * rows_.Taps + (sourceRow - rows_.First[t])];
    // The first source row of a target row starts its sums afresh.
    const bool fresh = sourceRow == rows_.First[t];
    AddWeightedRow(bytes, count, weight, fresh, sums_[t & 1].data());
    translucent_[t & 1] = translucent || (!fresh && translucent_[t & 1]);
  }
  while (nextTargetRow_ < targetHeight && rows_.Last[nextTargetRow_] == sourceRow) {
    const int slot = nextTargetRow_ & 1;
    WriteTargetRow(nextTargetRow_, sums_[slot], translucent_[slot]);
    ++nextTargetRow_;
  }
}

void TAreaReducer::WriteTargetRow(int targetRow, const std::vector<uint32_t>& sums,
                                  bool translucent) {
  const int width = static_cast<int>(columns_.First.size());
  TColor32* out = target_ != nullptr ? target_->ScanLine(targetRow) : sinkRow_.data();
  SumColumns(sums.data(), columns_, width, reinterpret_cast<uint8_t*>(out));
  if (target_ == nullptr) {
    sink_(targetRow, out);
  } else if (translucent) {
    UnpremultiplyRow(out, out, width);
  }
}

}  // namespace nimbra
