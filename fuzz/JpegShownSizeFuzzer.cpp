// libFuzzer target for reading a JPEG's header alone, which tells a picture element how large to
// decode a photo and make-show whether a file is a picture: arbitrary bytes raise ECodecError or
// give a size the frame header declares (both sides 1 … 65535) whose fitted hint lies within the
// box, and the read never goes past the data.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "elements/PictureDecodeSize.h"
#include "raster/CodecError.h"
#include "raster/JpegCodec.h"
#include "storage/MemoryStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nimbra::TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  nimbra::TPictureSize shown;
  try {
    shown = nimbra::OpenJpegReader(stream)->ReadHeader();
  } catch (const nimbra::ECodecError&) {
    return 0;
  }
  if (shown.Width < 1 || shown.Width > 65535 || shown.Height < 1 || shown.Height > 65535) {
    std::abort();
  }
  const nimbra::TDecodeHint hint = nimbra::FittedDecodeHint(shown, 640, 480, 2);
  if (hint.MinimumWidth < 2 || hint.MinimumWidth > 1280 || hint.MinimumHeight < 2 ||
      hint.MinimumHeight > 960) {
    std::abort();
  }
  return 0;
}
