// The rows a resampling filter reads, premultiplied. When the picture shrinks by much more than
// the filter's own reach is meant for, the rows come from the picture first reduced by exact area
// averaging to PreReducedLength on each axis, made as the filter asks for them: the filter then
// has a few taps per pixel whatever the ratio, and its work follows the output's size.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "raster/AreaReducer.h"
#include "raster/Bitmap32.h"

namespace nimbra {

// The length a filter sees for a source length resampled onto targetLength: the source's own up
// to three times the target, beyond that twice the target.
int PreReducedLength(int sourceLength, int64_t targetLength);

class TResampleRows {
 public:
  // The part from of source, seen at reducedWidth × reducedHeight (each PreReducedLength of its
  // axis); the filter reads its columns firstColumn … lastColumn and its rows firstRow … lastRow,
  // counted in that size.
  TResampleRows(const TBitmap32& source, const TRect& from, int reducedWidth, int reducedHeight,
                int firstColumn, int lastColumn, int firstRow, int lastRow);
  TResampleRows(const TResampleRows&) = delete;
  TResampleRows& operator=(const TResampleRows&) = delete;

  // Row r from column firstColumn on, premultiplied; valid until the next call. Without
  // reduction any row may be asked for; reduced rows must be asked for in increasing order (else
  // std::logic_error), which a filter whose windows only move down does.
  const TColor32* Row(int r);

 private:
  void TakeReducedRow(int row, const TColor32* pixels);

  const TBitmap32& source_;
  TRect from_;
  int firstColumn_;
  int firstRow_;
  std::vector<TColor32> row_;
  // Present when either axis is reduced.
  std::optional<TAreaReducer> reducer_;
  int reducerLeft_ = 0;
  int reducerTop_ = 0;
  int sourceRowsFed_ = 0;
  int lastReducedRow_ = -1;
};

}  // namespace nimbra
