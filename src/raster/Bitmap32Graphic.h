// A picture that decodes into a 32-bit bitmap. Picture readers derive from it so that code holding
// a loaded picture (the bitmap cache, the page elements) can take its pixels without conversion.
#pragma once

#include "raster/Bitmap32.h"
#include "raster/DecodeHint.h"
#include "raster/PictureSize.h"
#include "storage/PictureFormats.h"

namespace nimbra {

class TBitmap32Graphic : public TGraphic {
 public:
  // Decodes the stream; on failure the exception passes on and the bitmap stays as it was.
  void LoadFromStream(TStream& stream) final;
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }

  const TBitmap32& Bitmap() const { return bitmap_; }
  // Non-const so that a caller may move the pixels out instead of copying them.
  TBitmap32& Bitmap() { return bitmap_; }

  // Reads only the picture's header, from the stream's position: the size the picture is shown
  // at (turned upright where the file says so). Raises ECodecError for every picture Decode
  // refuses before it decodes pixels (sizes beyond the limits, more pixels than the file could
  // hold, layouts the reader does not know); never decodes pixels.
  virtual TPictureSize ReadShownSize(TStream& stream) = 0;

  // Set before LoadFromStream: the smallest size the caller will use. Readers that can decode at
  // a reduced size (JPEG and JPEG 2000 in steps, PNG, TIFF and Targa by averaging rows as they
  // come) then yield a smaller bitmap with the picture's proportions, though never one below the
  // hint where the picture itself is larger (but see Jpeg2000Codec.h); the others ignore it.
  void SetDecodeHint(const TDecodeHint& hint) { decodeHint_ = hint; }
  const TDecodeHint& DecodeHint() const { return decodeHint_; }

 protected:
  // Reads one picture of the reader's format into bitmap; raises on data it cannot decode.
  virtual void Decode(TStream& stream, TBitmap32& bitmap) = 0;

 private:
  TBitmap32 bitmap_;
  TDecodeHint decodeHint_;
};

}  // namespace nimbra
