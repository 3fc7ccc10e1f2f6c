// Reduces a picture row by row as a decoder hands its rows over, so that a photo far larger than
// its use never has to be held whole. Each target pixel is the average of the source area it
// covers (partly covered pixels count by their share), which keeps fine detail from turning into
// noise the way point sampling would.
#pragma once

#include <cstdint>
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
  // Reduces a sourceWidth × sourceHeight picture into target, which must already have its size,
  // positive and no larger than the source in either dimension (else std::invalid_argument).
  TAreaReducer(int sourceWidth, int sourceHeight, TBitmap32& target);

  // Takes the next of the source's rows, top to bottom (sourceWidth pixels). A target row is
  // written as soon as the last source row it covers has arrived. Raises std::logic_error for a
  // row past the last.
  void AddRow(const TColor32* row);
  // True once every source row has arrived and so every target row is written.
  bool Finished() const { return nextSourceRow_ == sourceHeight_; }

  // How the source pixels of one axis fall into the target's: target i is the weighted sum of
  // source pixels First[i] … Last[i], with weights Weights[i * Taps + k] for source First[i] + k
  // that add up to kWeightOne.
  struct TAxis {
    std::vector<int> First;
    std::vector<int> Last;
    std::vector<uint32_t> Weights;
    int Taps = 0;
  };
  static constexpr uint32_t kWeightOne = 1u << 12;
  static TAxis AxisFor(int sourceSize, int targetSize);

 private:
  void WriteTargetRow(int targetRow, const std::vector<uint32_t>& sums);

  int sourceWidth_;
  int sourceHeight_;
  TBitmap32& target_;
  TAxis columns_;
  TAxis rows_;
  // Channel sums of the source rows weighted for a target row; a source row reaches two target
  // rows at most (each target row covers at least one source row), so two are enough.
  std::vector<uint32_t> sums_[2];
  int nextSourceRow_ = 0;
  int nextTargetRow_ = 0;
};

}  // namespace nimbra
