// Where a picture reader puts the rows it decodes, in the order it decodes them: straight into
// the bitmap when the picture is kept at its decoded size, else through an area reducer that
// writes a bitmap just covering the decode hint. A picture is so never held larger than its use.
// Readers that store pictures turned or mirrored reduce them as stored and turn the small result.
#pragma once

#include <optional>
#include <vector>

#include "raster/AreaReducer.h"
#include "raster/Bitmap32.h"
#include "raster/DecodeHint.h"

namespace nimbra {

// The size a width × height picture (as stored) is kept at for the hint, which counts in the
// upright picture; swapsAxes: the stored picture is turned by a quarter afterwards, so that the
// hint's width applies to the stored height. The hint's KeepFactor multiplies its minimum.
TReducedSize KeptSize(int width, int height, const TDecodeHint& hint, bool swapsAxes);

class TRowTarget {
 public:
  // A width × height picture (as stored) kept at KeptSize. opaque: every row is opaque (the
  // format or the picture has no alpha), so the reducer need not look at it.
  TRowTarget(int width, int height, const TDecodeHint& hint, bool swapsAxes, bool opaque = false);
  // Kept at a size of the caller's choice, no larger than width × height.
  TRowTarget(int width, int height, const TReducedSize& kept, bool opaque = false);
  // The reducer writes into this object's own bitmap.
  TRowTarget(const TRowTarget&) = delete;
  TRowTarget& operator=(const TRowTarget&) = delete;

  // Where the row of the given index (rows come in order) is to be written, width pixels.
  TColor32* Row(int y) { return reducer_ ? row_.data() : bitmap_.ScanLine(y); }
  // The row last handed out by Row is complete.
  void RowDone();
  // Takes a row from a buffer of the reader's own.
  void AddRow(int y, const TColor32* pixels);
  // The kept picture, every row written.
  TBitmap32 Take() { return std::move(bitmap_); }

 private:
  // Every row of the bitmap is written before anyone reads it, so it needs no clearing first.
  TBitmap32 bitmap_;
  std::vector<TColor32> row_;
  std::optional<TAreaReducer> reducer_;
  bool opaque_;
};

}  // namespace nimbra
