#include "raster/ResampleRows.h"

#include <algorithm>
#include <utility>

#include "raster/Blend.h"
#include "storage/Check.h"

namespace nimbra {

namespace {

// Up to this ratio the filter's own widened kernel is cheap enough and nothing changes for
// ordinary drawing (photos reach the filter at most about twice their box); beyond it the area
// average leaves the filter a ratio of kPreReducedScale, where its kernel still smooths properly.
constexpr int64_t kPreReduceAbove = 3;
constexpr int64_t kPreReducedScale = 2;

}  // namespace

int PreReducedLength(int sourceLength, int64_t targetLength) {
  if (targetLength <= 0 || sourceLength <= kPreReduceAbove * targetLength) return sourceLength;
  return static_cast<int>(kPreReducedScale * targetLength);
}

TResampleRows::TResampleRows(const TBitmap32& source, const TRect& from, int reducedWidth,
                             int reducedHeight, int firstColumn, int lastColumn, int firstRow,
                             int lastRow)
    : source_(source), from_(from), firstColumn_(firstColumn), firstRow_(firstRow) {
  const int span = lastColumn - firstColumn + 1;
  row_.resize(static_cast<size_t>(span));
  if (reducedWidth == from.Width() && reducedHeight == from.Height()) return;
  TAreaReducer::TAxis columns =
      TAreaReducer::AxisFor(from.Width(), reducedWidth, firstColumn, span);
  TAreaReducer::TAxis rows =
      TAreaReducer::AxisFor(from.Height(), reducedHeight, firstRow, lastRow - firstRow + 1);
  reducerLeft_ = from.Left + columns.Start;
  reducerTop_ = from.Top + rows.Start;
  reducer_.emplace(std::move(columns), std::move(rows),
                   [this](int row, const TColor32* pixels) { TakeReducedRow(row, pixels); });
}

void TResampleRows::TakeReducedRow(int row, const TColor32* pixels) {
  std::copy_n(pixels, row_.size(), row_.begin());
  lastReducedRow_ = firstRow_ + row;
}

const TColor32* TResampleRows::Row(int r) {
  if (!reducer_) {
    const TColor32* line = source_.ScanLine(from_.Top + r) + from_.Left + firstColumn_;
    const int span = static_cast<int>(row_.size());
    if (RowIsOpaque(line, span)) return line;
    PremultiplyRow(row_.data(), line, span);
    return row_.data();
  }
  NIMBRA_CHECK(r >= lastReducedRow_, "reduced rows asked for out of order");
  while (lastReducedRow_ < r) {
    reducer_->AddRow(source_.ScanLine(reducerTop_ + sourceRowsFed_++) + reducerLeft_);
  }
  return row_.data();
}

}  // namespace nimbra
