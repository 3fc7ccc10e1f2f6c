// Reduces a picture row by row as a decoder hands its rows over, so that a photo far larger than
// its use never has to be held whole. Each target pixel is the average of the source area it
// covers (partly covered pixels count by their share), which keeps fine detail from turning into
// noise the way point sampling would. Rows that are not opaque are averaged premultiplied, so
// that the colour of transparent pixels never bleeds into their neighbours.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "raster/Bitmap32.h"

namespace nimbra {

struct TReducedSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TReducedSize&) const = default;
};

// The smallest size with the proportions of a width × height picture that still covers
// needWidth × needHeight (a need of 0 or less leaves that dimension free). The picture's own size
// when it is not larger than the need in the binding dimension, or when both are free.
TReducedSize AreaReducedSize(int width, int height, int needWidth, int needHeight);

class TAreaReducer {
 public:
  // How the source pixels of one axis fall into the target's: target i is the weighted sum of
  // source pixels Start + First[i] … Start + Last[i], with weights Weights[i * Taps + k] for
  // source Start + First[i] + k that add up to kWeightOne.
  struct TAxis {
    int Start = 0;
    std::vector<int> First;
    std::vector<int> Last;
    std::vector<uint32_t> Weights;
    int Taps = 0;
  };
  static constexpr uint32_t kWeightOne = 1u << 12;
  // The whole axis, or the part of it that makes targets firstTarget … firstTarget + count − 1
  // (target i of that part is target firstTarget + i of the whole). std::invalid_argument for an
  // empty or larger target, or a part outside it.
  static TAxis AxisFor(int sourceSize, int targetSize);
  static TAxis AxisFor(int sourceSize, int targetSize, int firstTarget, int count);

  // Reduces a sourceWidth × sourceHeight picture into target, which must already have its size,
  // positive and no larger than the source in either dimension (else std::invalid_argument).
  // The target receives straight pixels.
  TAreaReducer(int sourceWidth, int sourceHeight, TBitmap32& target);
  // Reduces the source pixels the axes cover (their Start is the source's first row and column)
  // and hands each target row, premultiplied, to sink with its index in rows. The pixels are
  // valid only during the call.
  using TRowSink = std::function<void(int targetRow, const TColor32* pixels)>;
  TAreaReducer(TAxis columns, TAxis rows, TRowSink sink);

  // Takes the next of the source's rows, top to bottom (sourceWidth pixels). A target row is
  // written as soon as the last source row it covers has arrived. Raises std::logic_error for a
  // row past the last.
  void AddRow(const TColor32* row);
  // The same for a row known to be opaque (a reader whose format has no alpha), which saves
  // looking at its alpha.
  void AddOpaqueRow(const TColor32* row) { Accumulate(row, false); }
  // True once every source row has arrived and so every target row is written.
  bool Finished() const { return nextSourceRow_ == sourceHeight_; }
  // How many target rows have been written.
  int RowsWritten() const { return nextTargetRow_; }

 private:
  void Accumulate(const TColor32* row, bool translucent);
  void WriteTargetRow(int targetRow, const std::vector<uint32_t>& sums, bool translucent);

  TAxis columns_;
  TAxis rows_;
  int sourceWidth_;
  int sourceHeight_;
  TBitmap32* target_ = nullptr;
  TRowSink sink_;
  // Channel sums of the source rows weighted for a target row; a source row reaches two target
  // rows at most (each target row covers at least one source row), so two are enough. Beside
  // each, whether a row that went into it was not opaque (and so was premultiplied).
  std::vector<uint32_t> sums_[2];
  bool translucent_[2] = {false, false};
  std::vector<TColor32> premultiplied_;
  std::vector<TColor32> sinkRow_;
  int nextSourceRow_ = 0;
  int nextTargetRow_ = 0;
};

}  // namespace nimbra
