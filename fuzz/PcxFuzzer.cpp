// libFuzzer target for the Pcx reader, which is written by hand: arbitrary bytes decode into a
// bitmap the file could describe, or raise ECodecError (see PictureFuzzPromises.h).
#include "PictureFuzzPromises.h"
#include "raster/PcxCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nimbra::fuzz::DecodeAndCheck(nimbra::OpenPcxReader, nimbra::fuzz::NoHint, data, size);
  return 0;
}
