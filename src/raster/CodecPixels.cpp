#include "raster/CodecPixels.h"

#include <algorithm>

namespace nimbra {

void MakeOpaqueIfInvisible(TBitmap32& bitmap) {
  TColor32* const begin = bitmap.Bits();
  TColor32* const end = begin + bitmap.Width() * static_cast<int64_t>(bitmap.Height());
  if (begin == end || std::any_of(begin, end, [](TColor32 c) { return AlphaComponent(c) != 0; })) {
    return;
  }
  for (TColor32* p = begin; p != end; ++p) *p |= 0xFF000000u;
}

void Unpremultiply(TColor32* pixels, int64_t count) {
  for (TColor32* p = pixels; p != pixels + count; ++p) {
    const uint32_t a = AlphaComponent(*p);
    if (a == 255 || a == 0) continue;
    const auto plain = [a](uint32_t c) {
      return static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a));
    };
    *p = Color32(plain(RedComponent(*p)), plain(GreenComponent(*p)), plain(BlueComponent(*p)),
                 static_cast<uint8_t>(a));
  }
}

}  // namespace nimbra
