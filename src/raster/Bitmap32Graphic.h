// The picture class of every format registered with a reader: LoadFromStream reads the header and
// the pixels with the format's reader, so that code holding a loaded picture (LoadGraphic's
// callers) can take its pixels without conversion.
#pragma once

#include "raster/Bitmap32.h"
#include "raster/DecodeHint.h"
#include "raster/PictureFormats.h"
#include "raster/PictureReader.h"

namespace nimbra {

class TBitmap32Graphic : public TGraphic {
 public:
  explicit TBitmap32Graphic(TPictureReaderOpener openReader) : openReader_(openReader) {}

  // Decodes the stream with the hint; on failure the exception passes on and the bitmap stays as
  // it was.
  void LoadFromStream(TStream& stream) override;
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }

  const TBitmap32& Bitmap() const { return bitmap_; }
  // Non-const so that a caller may move the pixels out instead of copying them.
  TBitmap32& Bitmap() { return bitmap_; }

  // Set before LoadFromStream: the smallest size the caller will use (see TPictureReader::Decode).
  void SetDecodeHint(const TDecodeHint& hint) { decodeHint_ = hint; }
  const TDecodeHint& DecodeHint() const { return decodeHint_; }

 private:
  TPictureReaderOpener openReader_;
  TBitmap32 bitmap_;
  TDecodeHint decodeHint_;
};

}  // namespace nimbra
