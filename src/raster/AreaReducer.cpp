#include "raster/AreaReducer.h"

#include <algorithm>
#include <stdexcept>

namespace nimbra {

namespace {

constexpr int kChannels = 4;
// The target's channels carry the weights of both axes: kWeightOne squared.
constexpr int kResultShift = 24;
constexpr uint32_t kResultHalf = uint32_t{1} << (kResultShift - 1);

// The length along the other axis that keeps the picture's proportions, rounded, at least need.
int64_t ProportionalLength(int64_t length, int64_t binding, int64_t bindingSource, int64_t need) {
  const int64_t scaled = (length * binding + bindingSource / 2) / bindingSource;
  return std::clamp(std::max(scaled, need), int64_t{1}, length);
}

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
  if (targetSize <= 0 || targetSize > sourceSize) {
    throw std::invalid_argument("area reduction to an empty or larger size");
  }
  // Positions are counted in 1/targetSize of a source pixel: source pixel j spans
  // [j·target, (j+1)·target), target pixel i spans [i·source, (i+1)·source).
  const int64_t source = sourceSize;
  const int64_t target = targetSize;
  TAxis axis;
  axis.First.resize(static_cast<size_t>(targetSize));
  axis.Last.resize(static_cast<size_t>(targetSize));
  for (int64_t i = 0; i < target; ++i) {
    axis.First[i] = static_cast<int>(i * source / target);
    axis.Last[i] = static_cast<int>(((i + 1) * source - 1) / target);
    axis.Taps = std::max(axis.Taps, axis.Last[i] - axis.First[i] + 1);
  }
  axis.Weights.assign(static_cast<size_t>(target * axis.Taps), 0);
  // Each weight is the difference of the rounded shares covered up to either end of the source
  // pixel, so the weights never go negative and always add up to exactly kWeightOne.
  const auto share = [source](int64_t covered) {
    return static_cast<uint32_t>((covered * kWeightOne + source / 2) / source);
  };
  for (int64_t i = 0; i < target; ++i) {
    const int64_t start = i * source;
    const int64_t end = start + source;
    for (int64_t j = axis.First[i]; j <= axis.Last[i]; ++j) {
      const int64_t from = std::max(j * target, start) - start;
      const int64_t to = std::min((j + 1) * target, end) - start;
      axis.Weights[i * axis.Taps + (j - axis.First[i])] = share(to) - share(from);
    }
  }
  return axis;
}

TAreaReducer::TAreaReducer(int sourceWidth, int sourceHeight, TBitmap32& target)
    : sourceWidth_(sourceWidth),
      sourceHeight_(sourceHeight),
      target_(target),
      columns_(AxisFor(sourceWidth, target.Width())),
      rows_(AxisFor(sourceHeight, target.Height())) {
  // Room past the last column for the taps of the last target column, which weigh nothing.
  const size_t sums = static_cast<size_t>(sourceWidth + columns_.Taps) * kChannels;
  sums_[0].assign(sums, 0);
  sums_[1].assign(sums, 0);
}

void TAreaReducer::AddRow(const TColor32* row) {
  if (Finished()) throw std::logic_error("area reduction: more rows than the picture has");
  const int sourceRow = nextSourceRow_++;
  const auto* bytes = reinterpret_cast<const uint8_t*>(row);
  const size_t count = static_cast<size_t>(sourceWidth_) * kChannels;
  for (int t = nextTargetRow_; t < target_.Height() && rows_.First[t] <= sourceRow; ++t) {
    const uint32_t weight = rows_.Weights[t * rows_.Taps + (sourceRow - rows_.First[t])];
    uint32_t* sums = sums_[t & 1].data();
    // The first source row of a target row starts its sums afresh.
    if (sourceRow == rows_.First[t]) {
      for (size_t k = 0; k < count; ++k) sums[k] = bytes[k] * weight;
    } else {
      for (size_t k = 0; k < count; ++k) sums[k] += bytes[k] * weight;
    }
  }
  while (nextTargetRow_ < target_.Height() && rows_.Last[nextTargetRow_] == sourceRow) {
    WriteTargetRow(nextTargetRow_, sums_[nextTargetRow_ & 1]);
    ++nextTargetRow_;
  }
}

namespace {

// One target row from the weighted row sums. kTaps is the axis's tap count where it is known at
// compile time (the common reductions by less than two), 0 otherwise. The sums stay within 32 bits:
// 255 × kWeightOne² plus the rounding half is just below 2³².
template <int kTaps>
void SumColumns(const uint32_t* sums, const TAreaReducer::TAxis& columns, int width, uint8_t* out) {
  const int taps = kTaps > 0 ? kTaps : columns.Taps;
  for (int x = 0; x < width; ++x) {
    const uint32_t* in = sums + static_cast<size_t>(columns.First[x]) * kChannels;
    const uint32_t* weights = columns.Weights.data() + static_cast<size_t>(x) * columns.Taps;
    uint32_t channel[kChannels] = {kResultHalf, kResultHalf, kResultHalf, kResultHalf};
    for (int k = 0; k < taps; ++k) {
      for (int c = 0; c < kChannels; ++c) channel[c] += in[k * kChannels + c] * weights[k];
    }
    for (int c = 0; c < kChannels; ++c) {
      out[x * kChannels + c] = static_cast<uint8_t>(channel[c] >> kResultShift);
    }
  }
}

}  // namespace

void TAreaReducer::WriteTargetRow(int targetRow, const std::vector<uint32_t>& sums) {
  auto* out = reinterpret_cast<uint8_t*>(target_.ScanLine(targetRow));
  switch (columns_.Taps) {
    case 2:
      SumColumns<2>(sums.data(), columns_, target_.Width(), out);
      break;
    case 3:
      SumColumns<3>(sums.data(), columns_, target_.Width(), out);
      break;
    default:
      SumColumns<0>(sums.data(), columns_, target_.Width(), out);
  }
}

}  // namespace nimbra
