#include "raster/ExifOrientation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace nimbra {

namespace {

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kTypeShort = 3;
constexpr size_t kExifHeaderSize = 6;  // "Exif\0\0"
constexpr size_t kIfdEntrySize = 12;

class TTiffBytes {
 public:
  TTiffBytes(const uint8_t* data, size_t length, bool bigEndian)
      : data_(data), length_(length), bigEndian_(bigEndian) {}

  bool Has(size_t offset, size_t count) const {
    return offset <= length_ && count <= length_ - offset;
  }
  uint16_t U16(size_t offset) const {
    const uint16_t a = data_[offset];
    const uint16_t b = data_[offset + 1];
    return static_cast<uint16_t>(bigEndian_ ? (a << 8) | b : (b << 8) | a);
  }
  uint32_t U32(size_t offset) const {
    const uint32_t a = U16(offset);
    const uint32_t b = U16(offset + 2);
    return bigEndian_ ? (a << 16) | b : (b << 16) | a;
  }

 private:
  const uint8_t* data_;
  size_t length_;
  bool bigEndian_;
};

// Where the upright picture's pixel (x, y) lies among the stored pixels, as an index
// base + x × xStep + y × yStep into the stored rows; w and h are the stored width and height.
struct TStoredWalk {
  int64_t base;
  int64_t xStep;
  int64_t yStep;
};

TStoredWalk TransposedWalk(int orientation, int64_t w, int64_t h) {
  switch (orientation) {
    case 5:
      return {0, w, 1};  // stored (y, x)
    case 6:
      return {(h - 1) * w, -w, 1};  // stored (y, h-1-x)
    case 7:
      return {(h - 1) * w + w - 1, -w, -1};  // stored (w-1-y, h-1-x)
    default:
      return {w - 1, w, -1};  // 8: stored (w-1-y, x)
  }
}

void MirrorRows(TBitmap32& bitmap) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    TColor32* row = bitmap.ScanLine(y);
    std::reverse(row, row + bitmap.Width());
  }
}

void MirrorColumns(TBitmap32& bitmap) {
  for (int top = 0, bottom = bitmap.Height() - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(bitmap.ScanLine(top), bitmap.ScanLine(top) + bitmap.Width(),
                     bitmap.ScanLine(bottom));
  }
}

}  // namespace

int ExifOrientation(const uint8_t* app1, size_t length) {
  if (app1 == nullptr || length < kExifHeaderSize + 8 ||
      std::memcmp(app1, "Exif\0\0", kExifHeaderSize) != 0) {
    return kOrientationAsStored;
  }
  return TiffOrientation(app1 + kExifHeaderSize, length - kExifHeaderSize);
}

int TiffOrientation(const uint8_t* tiff, size_t tiffLength) {
  if (tiff == nullptr || tiffLength < 8) return kOrientationAsStored;
  bool bigEndian = false;
  if (std::memcmp(tiff, "MM\0\x2A", 4) == 0) {
    bigEndian = true;
  } else if (std::memcmp(tiff, "II\x2A\0", 4) != 0) {
    return kOrientationAsStored;
  }
  const TTiffBytes bytes(tiff, tiffLength, bigEndian);
  const size_t ifd = bytes.U32(4);
  if (!bytes.Has(ifd, 2)) return kOrientationAsStored;
  const size_t count = bytes.U16(ifd);
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = ifd + 2 + i * kIfdEntrySize;
    if (!bytes.Has(entry, kIfdEntrySize)) break;
    if (bytes.U16(entry) != kOrientationTag) continue;
    if (bytes.U16(entry + 2) != kTypeShort || bytes.U32(entry + 4) < 1) break;
    // A single short sits in the first two bytes of the value field.
    const int orientation = bytes.U16(entry + 8);
    return orientation >= 1 && orientation <= 8 ? orientation : kOrientationAsStored;
  }
  return kOrientationAsStored;
}

void ApplyExifOrientation(TBitmap32& bitmap, int orientation) {
  switch (orientation) {
    case 2:
      MirrorRows(bitmap);
      return;
    case 3:
      MirrorRows(bitmap);
      MirrorColumns(bitmap);
      return;
    case 4:
      MirrorColumns(bitmap);
      return;
    case 5:
    case 6:
    case 7:
    case 8:
      break;
    default:
      return;
  }
  const int w = bitmap.Width();
  const int h = bitmap.Height();
  TBitmap32 upright(h, w);
  const TColor32* stored = bitmap.Bits();
  const TStoredWalk walk = TransposedWalk(orientation, w, h);
  for (int y = 0; y < w; ++y) {
    TColor32* row = upright.ScanLine(y);
    const TColor32* source = stored + walk.base + y * walk.yStep;
    for (int x = 0; x < h; ++x) row[x] = source[x * walk.xStep];
  }
  bitmap = std::move(upright);
}

}  // namespace nimbra
