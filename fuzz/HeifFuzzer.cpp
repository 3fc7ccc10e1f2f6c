// libFuzzer target for the HEIF reader (HEIC and AVIF): the first byte chooses a decode hint
// (0: none; n: a hint of n × n pixels, which lets the reader take a thumbnail), the rest is the
// file. The promises are those of PictureFuzzPromises.h.
#include "PictureFuzzPromises.h"
#include "raster/HeifCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const nimbra::TDecodeHint hint{data[0], data[0]};
  nimbra::fuzz::DecodeAndCheck(
      nimbra::OpenHeifReader, [&](const nimbra::TPictureSize&) { return hint; }, data + 1,
      size - 1);
  return 0;
}
