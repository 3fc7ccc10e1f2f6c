// Small pixel conversions the picture readers share.
#pragma once

#include <bit>
#include <cstdint>

#include "raster/Bitmap32.h"

namespace nimbra {

// The libraries are handed a bitmap row as bytes B, G, R, A, which is a row of 0xAARRGGBB values
// only on a little-endian machine.
static_assert(std::endian::native == std::endian::little,
              "the codecs rely on 0xAARRGGBB pixels lying in memory as B, G, R, A");

// Widens a value of `bits` bits (1 to 8) to 0..255 so that the largest value becomes 255.
constexpr uint8_t ScaleTo8Bits(uint32_t value, int bits) {
  const uint32_t max = (uint32_t{1} << bits) - 1;
  return static_cast<uint8_t>((value * 255 + max / 2) / max);
}

// Writers that store an alpha channel they did not mean (all zero) would otherwise yield an
// invisible photo: a picture whose every pixel is fully transparent becomes opaque instead.
void MakeOpaqueIfInvisible(TBitmap32& bitmap);

// Turns count premultiplied pixels (colour already multiplied by alpha) into plain ones.
void Unpremultiply(TColor32* pixels, int64_t count);

}  // namespace nimbra
