// libFuzzer target for the Bmp reader, which is written by hand: arbitrary bytes decode into a
// bitmap the file could describe, or raise ECodecError (see PictureFuzzPromises.h).
#include "PictureFuzzPromises.h"
#include "raster/BmpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nimbra::fuzz::DecodeAndCheck(nimbra::OpenBmpReader, nimbra::fuzz::NoHint, data, size);
  return 0;
}
