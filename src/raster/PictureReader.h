// One picture read from one open stream in two steps. ReadHeader reads the header and tells the
// size the picture is shown at; Decode then reads on from where the header ended, with a hint the
// caller may have worked out from that size. A file is so opened once and its header read once.
#pragma once

#include <memory>

#include "raster/Bitmap32.h"
#include "raster/DecodeHint.h"
#include "raster/PictureSize.h"

namespace nimbra {

class TStream;

class TPictureReader {
 public:
  // Reads from the stream's position when the reader is made; the stream must outlive the reader.
  explicit TPictureReader(TStream& stream) : stream_(stream) {}
  virtual ~TPictureReader() = default;
  TPictureReader(const TPictureReader&) = delete;
  TPictureReader& operator=(const TPictureReader&) = delete;

  // The size the picture is shown at, turned upright where the file says so; read once, later
  // calls answer the same. Raises ECodecError for every picture Decode refuses before it decodes
  // pixels (sizes beyond the limits, more pixels than the file could hold, layouts the reader
  // does not know), and again on every call after a refusal.
  TPictureSize ReadHeader();

  // The picture, after its header when that has not been read yet. Readers that can decode at a
  // reduced size (JPEG and JPEG 2000 in steps, WebP scaled by its decoder, HEIF from a thumbnail,
  // PNG, TIFF, Targa and HEIF by averaging rows as they come) yield a smaller bitmap with the
  // picture's proportions where the hint allows, though never one below the hint where the
  // picture itself is larger (but see Jpeg2000Codec.h); the others ignore it. Once per reader:
  // a second call raises ECodecError. Raises on data it cannot decode.
  TBitmap32 Decode(const TDecodeHint& hint = {});

 protected:
  TStream& Stream() const { return stream_; }

  // The format's two steps; DecodePixels runs only after ReadShownSize succeeded, once.
  virtual TPictureSize ReadShownSize() = 0;
  virtual TBitmap32 DecodePixels(const TDecodeHint& hint) = 0;

 private:
  enum class TStep { Fresh, HeaderRead, Refused, Decoded };

  TStream& stream_;
  TStep step_ = TStep::Fresh;
  TPictureSize shownSize_;
};

// Makes the reader of one format over a stream that stands at a picture of the format.
using TPictureReaderOpener = std::unique_ptr<TPictureReader> (*)(TStream& stream);

}  // namespace nimbra
