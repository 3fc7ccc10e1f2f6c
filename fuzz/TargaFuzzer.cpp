// libFuzzer target for the Targa reader, which is written by hand: arbitrary bytes decode into a
// bitmap the file could describe, or raise ECodecError (see PictureFuzzPromises.h).
#include "PictureFuzzPromises.h"
#include "raster/TargaCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nimbra::fuzz::DecodeAndCheck(nimbra::OpenTargaReader, nimbra::fuzz::NoHint, data, size);
  return 0;
}
