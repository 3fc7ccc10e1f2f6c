// libFuzzer target for the picture readers as LoadGraphic uses them. The first byte chooses the
// reader by extension (its index among the library's readers, modulo their number), the second a
// decode hint (0: none; n: a hint of n × n pixels, which makes JPEGs decode reduced), the rest is
// the picture file. The promises are those of PictureFuzzPromises.h.
#include <span>

#include "PictureFuzzPromises.h"
#include "raster/PictureFormatRegistration.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const std::span<const nimbra::TPictureReaderInfo> readers = nimbra::PictureReaders();
  const nimbra::TPictureReaderInfo& info = readers[data[0] % readers.size()];
  const nimbra::TDecodeHint hint{data[1], data[1]};
  nimbra::fuzz::DecodeAndCheck(
      info.Open, [&](const nimbra::TPictureSize&) { return hint; }, data + 2, size - 2);
  return 0;
}
