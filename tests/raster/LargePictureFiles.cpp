#include "LargePictureFiles.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "CodecTestPictures.h"

namespace nimbra::test {

namespace {

// Raw deflate of `count` zero bytes, ended with the given flush.
std::string RawDeflateZeros(int64_t count, int flush) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflate");
  }
  std::vector<unsigned char> zeros(static_cast<size_t>(count) + 1, 0);
  std::string out(static_cast<size_t>(count / 500 + 1024), '\0');
  z.next_in = zeros.data();
  z.avail_in = static_cast<uInt>(count);
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int result = deflate(&z, flush);
  out.resize(out.size() - z.avail_out);
  deflateEnd(&z);
  if (result != (flush == Z_FINISH ? Z_STREAM_END : Z_OK) || z.avail_in != 0) {
    throw std::runtime_error("deflate");
  }
  return out;
}

std::string Chunk(const char* type, const std::string& data) {
  std::string typed = std::string(type, 4) + data;
  const uLong crc =
      crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
  return TBytes().U32Be(static_cast<uint32_t>(data.size())).Raw(typed).U32Be(crc).Str();
}

// The bytes of the rows a PNG of 1-bit samples stores, each with its filter byte.
int64_t PngRowBytes(int64_t width, int64_t height) {
  return height * (1 + (width + 7) / 8);
}

// Adam7's passes: where each starts and how far it steps, across and down.
constexpr int kPassStartX[] = {0, 4, 0, 2, 0, 1, 0};
constexpr int kPassStepX[] = {8, 8, 4, 4, 2, 2, 1};
constexpr int kPassStartY[] = {0, 0, 4, 0, 2, 0, 1};
constexpr int kPassStepY[] = {8, 8, 8, 4, 4, 2, 2};

int64_t InterlacedPngRowBytes(int64_t width, int64_t height) {
  int64_t total = 0;
  for (int pass = 0; pass < 7; ++pass) {
    const int64_t columns =
        width > kPassStartX[pass] ? (width - kPassStartX[pass] - 1) / kPassStepX[pass] + 1 : 0;
    const int64_t rows =
        height > kPassStartY[pass] ? (height - kPassStartY[pass] - 1) / kPassStepY[pass] + 1 : 0;
    if (columns > 0) total += PngRowBytes(columns, rows);
  }
  return total;
}

// One TIFF directory entry whose value (a single SHORT or LONG, or an offset) fits its field.
void Entry(TBytes& bytes, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
  bytes.U16(tag).U16(type).U32(count);
  if (type == 3 && count == 1) {
    bytes.U16(value).U16(0);
  } else {
    bytes.U32(value);
  }
}

void JpegSegment(TBytes& bytes, uint8_t marker, const std::string& payload) {
  bytes.U8(0xFF).U8(marker).U16Be(static_cast<uint32_t>(payload.size() + 2)).Raw(payload);
}

// A Huffman table whose only code, "0", stands for symbol 0.
std::string SingleCodeTable(uint8_t classAndId) {
  return TBytes().U8(classAndId).U8(1).Zeros(15).U8(0).Str();
}

}  // namespace

std::string ZeroDeflate(int64_t count) {
  constexpr int64_t kStretch = int64_t{1} << 20;
  const std::string stretch = RawDeflateZeros(kStretch, Z_FULL_FLUSH);
  std::string out = TBytes().U8(0x78).U8(0xDA).Str();
  out.reserve(static_cast<size_t>(count / kStretch + 1) * stretch.size() + 64);
  for (int64_t done = 0; done + kStretch <= count; done += kStretch) out += stretch;
  out += RawDeflateZeros(count % kStretch, Z_FINISH);
  // Adler-32 of zeros: the first sum stays 1, the second counts the bytes.
  const auto second = static_cast<uint32_t>(count % 65521);
  return out + TBytes().U32Be((second << 16) | 1).Str();
}

std::string BlankPng(uint32_t width, uint32_t height, bool interlaced) {
  const std::string header =
      TBytes().U32Be(width).U32Be(height).U8(1).U8(0).U8(0).U8(0).U8(interlaced ? 1 : 0).Str();
  const int64_t rowBytes =
      interlaced ? InterlacedPngRowBytes(width, height) : PngRowBytes(width, height);
  const std::string data = ZeroDeflate(rowBytes);
  std::string png("\x89PNG\r\n\x1A\n", 8);
  png += Chunk("IHDR", header);
  constexpr size_t kIdatBytes = 1 << 16;
  for (size_t at = 0; at < data.size(); at += kIdatBytes) {
    png += Chunk("IDAT", data.substr(at, kIdatBytes));
  }
  return png + Chunk("IEND", "");
}

std::string BlankTiff(uint32_t width, uint32_t height, uint32_t rowsPerStrip) {
  const uint32_t strips = (height + rowsPerStrip - 1) / rowsPerStrip;
  const uint32_t lastRows = height - (strips - 1) * rowsPerStrip;
  const std::string full = ZeroDeflate(int64_t{width} * rowsPerStrip);
  const std::string last = lastRows == rowsPerStrip ? full : ZeroDeflate(int64_t{width} * lastRows);

  constexpr uint32_t kEntries = 10;
  constexpr uint32_t kDirectoryStart = 8;
  const uint32_t arraysStart = kDirectoryStart + 2 + kEntries * 12 + 4;
  // A single strip's offset and count sit in the entries themselves.
  const bool inline1 = strips == 1;
  const uint32_t offsetsAt = arraysStart;
  const uint32_t countsAt = offsetsAt + (inline1 ? 0 : 4 * strips);
  const uint32_t dataStart = countsAt + (inline1 ? 0 : 4 * strips);

  TBytes tiff;
  tiff.Raw("II*").U8(0).U32(kDirectoryStart).U16(kEntries);
  Entry(tiff, 256, 4, 1, width);
  Entry(tiff, 257, 4, 1, height);
  Entry(tiff, 258, 3, 1, 8);  // bits per sample
  Entry(tiff, 259, 3, 1, 8);  // deflate
  Entry(tiff, 262, 3, 1, 1);  // black is zero
  Entry(tiff, 273, 4, strips, inline1 ? dataStart : offsetsAt);
  Entry(tiff, 277, 3, 1, 1);  // samples per pixel
  Entry(tiff, 278, 4, 1, rowsPerStrip);
  Entry(tiff, 279, 4, strips, inline1 ? static_cast<uint32_t>(last.size()) : countsAt);
  Entry(tiff, 284, 3, 1, 1);  // contiguous samples
  tiff.U32(0);
  if (!inline1) {
    for (uint32_t s = 0; s < strips; ++s) {
      tiff.U32(dataStart + static_cast<uint32_t>(s * full.size()));
    }
    for (uint32_t s = 0; s < strips; ++s) {
      tiff.U32(static_cast<uint32_t>(s + 1 == strips ? last.size() : full.size()));
    }
  }
  std::string out = tiff.Str();
  out.reserve(out.size() + strips * full.size());
  for (uint32_t s = 0; s + 1 < strips; ++s) out += full;
  return out + last;
}

std::string BlankTarga(uint16_t width, uint16_t height) {
  TBytes targa;
  targa.U8(0).U8(0).U8(11).Zeros(5).Zeros(4).U16(width).U16(height).U8(8).U8(0);
  std::string out = targa.Str();
  const int64_t pixels = int64_t{width} * height;
  out.reserve(out.size() + static_cast<size_t>((pixels + 127) / 128 * 2));
  for (int64_t done = 0; done < pixels; done += 128) {
    const int64_t count = std::min<int64_t>(128, pixels - done);
    out += static_cast<char>(0x80 | (count - 1));
    out += static_cast<char>(0x80);
  }
  return out;
}

std::string BlankJpeg(uint16_t width, uint16_t height, bool progressive) {
  TBytes jpeg;
  jpeg.U8(0xFF).U8(0xD8);
  JpegSegment(jpeg, 0xDB, std::string(1, '\0') + std::string(64, '\1'));
  JpegSegment(jpeg, progressive ? 0xC2 : 0xC0,
              TBytes().U8(8).U16Be(height).U16Be(width).U8(1).U8(1).U8(0x11).U8(0).Str());
  JpegSegment(jpeg, 0xC4, SingleCodeTable(0x00));
  if (!progressive) JpegSegment(jpeg, 0xC4, SingleCodeTable(0x10));
  JpegSegment(jpeg, 0xDA, TBytes().U8(1).U8(1).U8(0).U8(0).U8(progressive ? 0 : 63).U8(0).Str());
  // Each block is a zero DC difference, and in a baseline scan an end-of-block after it.
  const int64_t blocks = int64_t{(width + 7) / 8} * ((height + 7) / 8);
  const int64_t bits = blocks * (progressive ? 1 : 2);
  std::string out = jpeg.Str();
  out.append(static_cast<size_t>(bits / 8), '\0');
  // The last byte is padded with one bits, as the format asks.
  if (bits % 8 != 0) out += static_cast<char>(0xFF >> (bits % 8));
  return out + TBytes().U8(0xFF).U8(0xD9).Str();
}

std::string BlankRunLengthBmp(int32_t width, int32_t height) {
  constexpr uint32_t kPixelOffset = 14 + 40 + 256 * 4;
  // The BMP reader believes at most 8192 pixels per byte of run-length data.
  const int64_t dataBytes = std::max<int64_t>(2, int64_t{width} * height / 8192 + 1);
  TBytes bmp;
  bmp.Raw("BM").U32(static_cast<uint32_t>(kPixelOffset + dataBytes)).U32(0).U32(kPixelOffset);
  bmp.U32(40).I32(width).I32(height).U16(1).U16(8).U32(1).U32(0).U32(0).U32(0).U32(0).U32(0);
  for (int i = 0; i < 256; ++i) bmp.U8(i).U8(i).U8(i).U8(0);
  bmp.U8(0).U8(1);  // end of the picture
  return bmp.Zeros(static_cast<size_t>(dataBytes - 2)).Str();
}

}  // namespace nimbra::test
