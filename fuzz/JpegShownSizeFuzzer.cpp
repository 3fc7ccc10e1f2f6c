// libFuzzer target for the JPEG header walk that tells a picture element how large to decode a
// photo: arbitrary bytes give no size or a size the frame header declares (both sides 1 … 65535),
// and the walk never reads past the data.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "elements/PictureDecodeSize.h"
#include "storage/MemoryStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nimbra::TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto shown = nimbra::ReadJpegShownSize(stream);
  if (shown && (shown->Width < 1 || shown->Width > 65535 || shown->Height < 1 ||
                shown->Height > 65535)) {
    std::abort();
  }
  if (shown) {
    const nimbra::TDecodeHint hint = nimbra::FittedDecodeHint(*shown, 640, 480, 2);
    if (hint.MinimumWidth < 2 || hint.MinimumWidth > 1280 || hint.MinimumHeight < 2 ||
        hint.MinimumHeight > 960) {
      std::abort();
    }
  }
  return 0;
}
