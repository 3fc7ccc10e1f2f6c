// The BMP writer of PictureWriters.h.
#include <bit>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "raster/CodecError.h"
#include "raster/PictureWriters.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kV4HeaderSize = 108;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kSrgbColourSpace = 0x73524742;  // "sRGB"
constexpr int32_t kPixelsPerMetre = 3780;          // 96 dots per inch

class TLittleEndianBytes {
 public:
  void U16(uint32_t v) { Add(v, 2); }
  void U32(uint32_t v) { Add(v, 4); }
  void Zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  void Add(uint32_t v, int count) {
    for (int i = 0; i < count; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  std::vector<uint8_t> bytes_;
};

// A row as BMP stores it: blue, green, red and, with alpha, alpha for each pixel. That is the
// pixels' own byte order in memory on a little-endian machine, so 32 bits are copied, and 24 bits
// are packed four pixels into three words.
void PackRow(const TColor32* pixels, int width, bool withAlpha, uint8_t* out) {
  if constexpr (std::endian::native == std::endian::little) {
    if (withAlpha) {
      std::memcpy(out, pixels, size_t(width) * 4);
      return;
    }
    int x = 0;
    for (; x + 4 <= width; x += 4, out += 12) {
      const uint32_t* p = pixels + x;
      const uint32_t words[3] = {(p[0] & 0xFFFFFF) | (p[1] << 24),
                                 ((p[1] >> 8) & 0xFFFF) | (p[2] << 16),
                                 ((p[2] >> 16) & 0xFF) | (p[3] << 8)};
      std::memcpy(out, words, sizeof words);
    }
    pixels += x;
    width -= x;
  }
  for (int x = 0; x < width; ++x) {
    *out++ = BlueComponent(pixels[x]);
    *out++ = GreenComponent(pixels[x]);
    *out++ = RedComponent(pixels[x]);
    if (withAlpha) *out++ = AlphaComponent(pixels[x]);
  }
}

}  // namespace

void SaveBmp(const TBitmap32& bitmap, TStream& stream, int bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32) {
    throw std::invalid_argument("BMP: only 24 and 32 bits per pixel are written");
  }
  if (bitmap.Empty()) throw ECodecError("BMP: nothing to write");
  const bool withAlpha = bitsPerPixel == 32;
  const uint32_t headerSize = withAlpha ? kV4HeaderSize : kInfoHeaderSize;
  const uint64_t rowBytes = (uint64_t(bitmap.Width()) * bitsPerPixel + 31) / 32 * 4;
  const uint64_t pixelBytes = rowBytes * uint64_t(bitmap.Height());
  const uint64_t fileSize = kFileHeaderSize + headerSize + pixelBytes;
  if (fileSize > UINT32_MAX) throw ECodecError("BMP: picture too large for the format");

  TLittleEndianBytes header;
  header.U16('B' | ('M' << 8));
  header.U32(static_cast<uint32_t>(fileSize));
  header.U32(0);
  header.U32(kFileHeaderSize + headerSize);
  header.U32(headerSize);
  header.U32(static_cast<uint32_t>(bitmap.Width()));
  header.U32(static_cast<uint32_t>(bitmap.Height()));  // positive: bottom-up
  header.U16(1);
  header.U16(static_cast<uint32_t>(bitsPerPixel));
  header.U32(withAlpha ? kBitFields : kRgb);
  header.U32(static_cast<uint32_t>(pixelBytes));
  header.U32(kPixelsPerMetre);
  header.U32(kPixelsPerMetre);
  header.U32(0);
  header.U32(0);
  if (withAlpha) {
    header.U32(0x00FF0000);
    header.U32(0x0000FF00);
    header.U32(0x000000FF);
    header.U32(0xFF000000);
    header.U32(kSrgbColourSpace);
    header.Zeros(kV4HeaderSize - 60);  // end points and gamma, unused with sRGB
  }
  stream.WriteBuffer(header.Bytes().data(), static_cast<int64_t>(header.Bytes().size()));

  std::vector<uint8_t> row(static_cast<size_t>(rowBytes), 0);
  for (int y = bitmap.Height() - 1; y >= 0; --y) {
    PackRow(bitmap.ScanLine(y), bitmap.Width(), withAlpha, row.data());
    stream.WriteBuffer(row.data(), static_cast<int64_t>(row.size()));
  }
}

}  // namespace nimbra
