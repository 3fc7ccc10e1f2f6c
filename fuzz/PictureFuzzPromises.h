// What every picture reader promises for arbitrary bytes, checked by the picture fuzz targets: it
// yields a bitmap no larger than the file could describe, or raises ECodecError; and reading the
// header alone accepts every picture that decodes, telling the size it decodes at when no hint
// asks for less. Any other exception, a crash, or a sanitizer report is a bug.
#pragma once

#include <cstddef>
#include <cstdint>

#include "raster/Bitmap32Graphic.h"
#include "raster/CodecError.h"
#include "raster/CodecLimits.h"
#include "storage/MemoryStream.h"

namespace nimbra::fuzz {

// No reader believes more than this many pixels per byte of its file (beyond the pixels every
// file may have). The loosest bound is PNG's: deflate expands a byte to at most 1032, and a
// 1-bit row holds 8 pixels a byte.
constexpr int64_t kMaxFuzzPixelsPerByte = 8 * 1032;

inline void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

inline void DecodeAndCheck(TBitmap32Graphic& reader, const uint8_t* data, size_t size) {
  TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    reader.LoadFromStream(stream);
  } catch (const ECodecError&) {
    Expect(reader.Bitmap().Empty());
    return;
  }
  const TBitmap32& bitmap = reader.Bitmap();
  const int64_t pixels = int64_t{bitmap.Width()} * bitmap.Height();
  Expect(bitmap.Width() > 0 && bitmap.Height() > 0);
  Expect(pixels <= kMaxPicturePixels);
  Expect(pixels <= kPixelsAlwaysAllowed ||
         pixels <= static_cast<int64_t>(size) * kMaxFuzzPixelsPerByte);

  TMemoryStream header(std::string_view(reinterpret_cast<const char*>(data), size));
  TPictureSize shown;
  try {
    shown = reader.ReadShownSize(header);
  } catch (const ECodecError&) {
    Expect(false);
  }
  // JPEG 2000 pictures far beyond this decode at a reduced resolution even without a hint.
  if (reader.DecodeHint().Empty() && int64_t{shown.Width} * shown.Height <= kPixelsAlwaysAllowed) {
    Expect(shown == TPictureSize{bitmap.Width(), bitmap.Height()});
  }
}

}  // namespace nimbra::fuzz
