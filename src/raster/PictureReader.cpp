#include "raster/PictureReader.h"

#include "raster/CodecError.h"

namespace nimbra {

TPictureSize TPictureReader::ReadHeader() {
  switch (step_) {
    case TStep::Fresh:
      // A refusal leaves the stream somewhere inside the header: nothing can read on from there.
      step_ = TStep::Refused;
      shownSize_ = ReadShownSize();
      step_ = TStep::HeaderRead;
      return shownSize_;
    case TStep::Refused:
      throw ECodecError("the picture's header was refused");
    default:
      return shownSize_;
  }
}

TBitmap32 TPictureReader::Decode(const TDecodeHint& hint) {
  ReadHeader();
  if (step_ == TStep::Decoded) throw ECodecError("the picture was decoded already");
  step_ = TStep::Decoded;
  return DecodePixels(hint);
}

}  // namespace nimbra
