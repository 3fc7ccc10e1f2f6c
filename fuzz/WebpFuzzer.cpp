// libFuzzer target for the WebP reader: the first byte chooses a decode hint (0: none; n: a hint
// of n × n pixels, which makes the decoder scale while decoding), the rest is the file. The
// promises are those of PictureFuzzPromises.h.
#include "PictureFuzzPromises.h"
#include "raster/WebpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const nimbra::TDecodeHint hint{data[0], data[0]};
  nimbra::fuzz::DecodeAndCheck(
      nimbra::OpenWebpReader, [&](const nimbra::TPictureSize&) { return hint; }, data + 1,
      size - 1);
  return 0;
}
