// What every picture reader promises for arbitrary bytes, checked by the picture fuzz targets: its
// header step tells the size the picture decodes at when no hint asks for less, and decoding yields
// a bitmap no larger than the file could describe; either step may raise ECodecError. Any other
// exception, a crash, or a sanitizer report is a bug.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "raster/CodecError.h"
#include "raster/CodecLimits.h"
#include "raster/HeifCodec.h"
#include "raster/PictureFile.h"
#include "raster/PictureReader.h"
#include "raster/WebpCodec.h"
#include "storage/MemoryStream.h"

namespace nimbra::fuzz {

// No reader believes more than this many pixels per byte of its file (beyond the pixels every
// file may have). The loosest bound is PNG's: deflate expands a byte to at most 1032, and a
// 1-bit row holds 8 pixels a byte.
constexpr int64_t kMaxFuzzPixelsPerByte = 8 * 1032;

// Lossless WebP and HEIF (AV1 above all) describe a picture of one colour of any size in a few
// bytes; their readers hold no more than a whole picture's limit instead.
inline bool DescribesAnySizeInFewBytes(TPictureReaderOpener open) {
  return open == OpenWebpReader || open == OpenHeifReader;
}

inline void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

// Reads the header with a fresh reader of the format, then decodes with the hint hintFor gives
// for the size the header tells, as the picture element does; the bitmap, or an empty one when
// the reader refused the bytes.
inline TBitmap32 DecodeAndCheck(TPictureReaderOpener open, const TDecodeHintFor& hintFor,
                                const uint8_t* data, size_t size) {
  TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::unique_ptr<TPictureReader> reader = open(stream);
  TPictureSize shown;
  TDecodeHint hint;
  TBitmap32 bitmap;
  try {
    shown = reader->ReadHeader();
    hint = hintFor(shown);
    bitmap = reader->Decode(hint);
  } catch (const ECodecError&) {
    return {};
  }
  const int64_t pixels = int64_t{bitmap.Width()} * bitmap.Height();
  Expect(bitmap.Width() > 0 && bitmap.Height() > 0);
  Expect(pixels <= kMaxPicturePixels);
  Expect(pixels <= kPixelsAlwaysAllowed ||
         pixels <= static_cast<int64_t>(size) * kMaxFuzzPixelsPerByte ||
         (DescribesAnySizeInFewBytes(open) && pixels <= kMaxWholePicturePixels));
  // JPEG 2000 pictures far beyond this decode at a reduced resolution even without a hint.
  if (hint.Empty() && int64_t{shown.Width} * shown.Height <= kPixelsAlwaysAllowed) {
    Expect(shown == TPictureSize{bitmap.Width(), bitmap.Height()});
  }
  return bitmap;
}

// Decodes at full size.
inline TDecodeHint NoHint(const TPictureSize&) {
  return {};
}

}  // namespace nimbra::fuzz
