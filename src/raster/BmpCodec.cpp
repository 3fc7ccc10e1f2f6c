#include "raster/BmpCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "raster/CodecLimits.h"
#include "raster/CodecPixels.h"
#include "raster/CodecStreamReader.h"

namespace nimbra {

namespace {

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;
constexpr int64_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
// Runs cover at most 255 pixels per two bytes, and a row end skips the rest of its row; a
// picture that needs more than this many pixels per byte leans on skipping and is no photo.
constexpr int64_t kMaxRunLengthPixelsPerByte = 8192;

struct TBmpInfo {
  int width = 0;
  int height = 0;
  bool topDown = false;
  uint16_t bits = 0;
  uint32_t compression = kRgb;
  uint32_t coloursUsed = 0;
  std::array<uint32_t, 4> masks{};  // red, green, blue, alpha
  bool core = false;                // OS/2 1.x: three-byte palette entries
  int64_t pixelOffset = 0;
  int64_t paletteOffset = 0;

  bool HasBitFields() const { return compression == kBitFields || compression == kAlphaBitFields; }
};

void ReadMasks(TCodecStreamReader& in, TBmpInfo& info, int count) {
  for (int i = 0; i < count; ++i) info.masks[static_cast<size_t>(i)] = in.ReadU32();
}

TBmpInfo ReadInfo(TCodecStreamReader& in) {
  TBmpInfo info;
  if (in.ReadU8() != 'B' || in.ReadU8() != 'M') in.Fail("no BMP signature");
  in.Skip(8);  // file size and reserved words, which writers fill carelessly
  info.pixelOffset = in.ReadU32();
  const uint32_t headerSize = in.ReadU32();
  if (headerSize < kCoreHeaderSize || (headerSize > kCoreHeaderSize && headerSize < 16)) {
    in.Fail("unknown header");
  }
  CheckDataSize("BMP", int64_t{headerSize} - 4, in.Remaining());
  int64_t width = 0;
  int64_t height = 0;
  if (headerSize == kCoreHeaderSize) {
    info.core = true;
    width = in.ReadU16();
    height = in.ReadU16();
    in.Skip(2);
    info.bits = in.ReadU16();
  } else {
    width = in.ReadI32();
    height = in.ReadI32();
    in.Skip(2);
    info.bits = in.ReadU16();
    if (headerSize >= 20) info.compression = in.ReadU32();
    if (headerSize >= 36) {
      in.Skip(12);  // image size and resolution
      info.coloursUsed = in.ReadU32();
    }
    // OS/2 2.x headers number their compressions differently; only the plain ones are read.
    const bool os2 = headerSize == 16 || headerSize == 64;
    if (os2 && info.compression > kRle4) in.Fail("unsupported OS/2 compression");
    if (headerSize >= 52) {
      in.Seek(kFileHeaderSize + kInfoHeaderSize);
      ReadMasks(in, info, headerSize >= 56 ? 4 : 3);
    }
  }
  info.paletteOffset = kFileHeaderSize + headerSize;
  in.Seek(info.paletteOffset);
  if (headerSize == kInfoHeaderSize && info.HasBitFields()) {
    ReadMasks(in, info, info.compression == kAlphaBitFields ? 4 : 3);
    info.paletteOffset = in.Position();
  }
  info.topDown = height < 0;
  if (height == std::numeric_limits<int32_t>::min()) in.Fail("invalid height");
  height = height < 0 ? -height : height;
  CheckPictureSize("BMP", width, height, 0, 0);
  info.width = static_cast<int>(width);
  info.height = static_cast<int>(height);
  return info;
}

void Validate(const TBmpInfo& info, TCodecStreamReader& in) {
  const uint16_t bits = info.bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    in.Fail("unsupported pixel size " + std::to_string(bits));
  }
  switch (info.compression) {
    case kRgb:
      return;
    case kRle8:
    case kRle4:
      if (bits != (info.compression == kRle8 ? 8 : 4) || info.topDown)
        in.Fail("bad run-length layout");
      return;
    case kBitFields:
    case kAlphaBitFields:
      if (bits != 16 && bits != 32) in.Fail("bit fields need 16 or 32 bits");
      return;
    default:
      in.Fail("unsupported compression " + std::to_string(info.compression));
  }
}

std::array<TColor32, 256> ReadPalette(const TBmpInfo& info, TCodecStreamReader& in) {
  // Indices beyond the stored colours show black.
  std::array<TColor32, 256> palette;
  palette.fill(kColor32Black);
  if (info.bits > 8) return palette;
  const uint32_t maxColours = 1u << info.bits;
  const uint32_t count =
      info.coloursUsed == 0 || info.coloursUsed > maxColours ? maxColours : info.coloursUsed;
  const int entryBytes = info.core ? 3 : 4;
  in.Seek(info.paletteOffset);
  CheckDataSize("BMP", int64_t{count} * entryBytes, in.Remaining());
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t bgr[4] = {};
    in.Read(bgr, entryBytes);
    palette[i] = Color32(bgr[2], bgr[1], bgr[0]);
  }
  return palette;
}

// One colour channel of a bit-field pixel, widened or narrowed to 8 bits.
class TMaskChannel {
 public:
  TMaskChannel(uint32_t mask, uint8_t missing) : mask_(mask), missing_(missing) {
    if (mask == 0) return;
    shift_ = std::countr_zero(mask);
    width_ = std::bit_width(mask >> shift_);
  }
  uint8_t operator()(uint32_t pixel) const {
    if (mask_ == 0) return missing_;
    uint32_t value = (pixel & mask_) >> shift_;
    if (width_ > 8) return static_cast<uint8_t>(value >> (width_ - 8));
    return ScaleTo8Bits(value, width_);
  }

 private:
  uint32_t mask_;
  uint8_t missing_;
  int shift_ = 0;
  int width_ = 0;
};

struct TBitFieldFormat {
  TMaskChannel red, green, blue, alpha;
};

TBitFieldFormat BitFieldFormat(const TBmpInfo& info) {
  std::array<uint32_t, 4> masks = info.masks;
  if (!info.HasBitFields()) {
    // Without bit fields 16 bits are 5-5-5 and 32 bits are B, G, R and an unused byte.
    masks = info.bits == 16 ? std::array<uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                            : std::array<uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0};
  }
  return {TMaskChannel(masks[0], 0), TMaskChannel(masks[1], 0), TMaskChannel(masks[2], 0),
          TMaskChannel(masks[3], 255)};
}

void ConvertRow(const TBmpInfo& info, const uint8_t* row, const std::array<TColor32, 256>& palette,
                const TBitFieldFormat& fields, TColor32* out) {
  const int w = info.width;
  switch (info.bits) {
    case 1:
      for (int x = 0; x < w; ++x) out[x] = palette[(row[x >> 3] >> (7 - (x & 7))) & 1];
      return;
    case 4:
      for (int x = 0; x < w; ++x) out[x] = palette[(row[x >> 1] >> (4 - 4 * (x & 1))) & 15];
      return;
    case 8:
      for (int x = 0; x < w; ++x) out[x] = palette[row[x]];
      return;
    case 24:
      for (int x = 0; x < w; ++x, row += 3) out[x] = Color32(row[2], row[1], row[0]);
      return;
    case 16:
      for (int x = 0; x < w; ++x, row += 2) {
        const uint32_t v = row[0] | (uint32_t{row[1]} << 8);
        out[x] = Color32(fields.red(v), fields.green(v), fields.blue(v), fields.alpha(v));
      }
      return;
    default:
      for (int x = 0; x < w; ++x, row += 4) {
        const uint32_t v =
            row[0] | (uint32_t{row[1]} << 8) | (uint32_t{row[2]} << 16) | (uint32_t{row[3]} << 24);
        out[x] = Color32(fields.red(v), fields.green(v), fields.blue(v), fields.alpha(v));
      }
  }
}

int64_t RowBytes(const TBmpInfo& info) {
  return (int64_t{info.width} * info.bits + 31) / 32 * 4;
}

// Raises unless the rest of the file holds every row. The last row's padding may be missing;
// some writers leave it off.
void CheckUncompressedSize(const TBmpInfo& info, TCodecStreamReader& in) {
  const int64_t usedBytes = (int64_t{info.width} * info.bits + 7) / 8;
  CheckDataSize("BMP", RowBytes(info) * (info.height - 1) + usedBytes, in.Remaining());
}

void ReadUncompressed(const TBmpInfo& info, const std::array<TColor32, 256>& palette,
                      TCodecStreamReader& in, TBitmap32& bitmap) {
  const int64_t rowBytes = RowBytes(info);
  const TBitFieldFormat fields = BitFieldFormat(info);
  std::vector<uint8_t> row(static_cast<size_t>(rowBytes));
  for (int stored = 0; stored < info.height; ++stored) {
    in.Read(row.data(), std::min(rowBytes, in.Remaining()));
    const int y = info.topDown ? stored : info.height - 1 - stored;
    ConvertRow(info, row.data(), palette, fields, bitmap.ScanLine(y));
  }
}

// Pixels skipped by row ends, moves and the end mark stay transparent.
void ReadRunLength(const TBmpInfo& info, const std::array<TColor32, 256>& palette,
                   TCodecStreamReader& in, TBitmap32& bitmap) {
  const bool fourBits = info.compression == kRle4;
  int64_t x = 0;
  int64_t y = 0;  // counted from the bottom row
  const auto put = [&](uint8_t index) {
    if (x < info.width && y < info.height) {
      bitmap.ScanLine(static_cast<int>(info.height - 1 - y))[x] = palette[index];
    }
    ++x;
  };
  while (y < info.height) {
    if (in.Remaining() < 2) in.Fail("the data ends early");
    const uint8_t count = in.ReadU8();
    const uint8_t value = in.ReadU8();
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(fourBits ? (i % 2 ? value & 15 : value >> 4) : value);
      continue;
    }
    switch (value) {
      case 0:
        x = 0;
        ++y;
        break;
      case 1:
        return;
      case 2:
        x += in.ReadU8();
        y += in.ReadU8();
        break;
      default: {
        const int bytes = fourBits ? (value + 1) / 2 : value;
        for (int i = 0; i < bytes; ++i) {
          const uint8_t b = in.ReadU8();
          if (!fourBits) {
            put(b);
          } else {
            put(b >> 4);
            if (2 * i + 1 < value) put(b & 15);
          }
        }
        if (bytes % 2) in.Skip(1);  // absolute runs are padded to whole words
      }
    }
  }
}

// The headers and palette, checked against what the file holds; the reader then stands at the
// first pixel.
struct TBmpPicture {
  TBmpInfo info;
  std::array<TColor32, 256> palette{};
  bool runLength = false;
};

TBmpPicture ReadPicture(TCodecStreamReader& in) {
  TBmpPicture picture;
  const TBmpInfo& info = picture.info = ReadInfo(in);
  Validate(info, in);
  CheckWholePictureSize(info.width, info.height);
  picture.palette = ReadPalette(info, in);
  // A pixel offset inside the headers is a writer's mistake; the pixels then follow the palette.
  const int64_t pixelOffset =
      info.pixelOffset >= info.paletteOffset ? info.pixelOffset : in.Position();
  in.Seek(std::min(pixelOffset, in.Size()));
  picture.runLength = info.compression == kRle8 || info.compression == kRle4;
  if (picture.runLength) {
    CheckPictureSize("BMP", info.width, info.height, in.Remaining(), kMaxRunLengthPixelsPerByte);
  } else {
    CheckUncompressedSize(info, in);
  }
  return picture;
}

class TBmpReader final : public TPictureReader {
 public:
  explicit TBmpReader(TStream& stream) : TPictureReader(stream) {}

 protected:
  TPictureSize ReadShownSize() override {
    picture_ = ReadPicture(in_.emplace(Stream(), "BMP"));
    return {picture_.info.width, picture_.info.height};
  }

  TBitmap32 DecodePixels(const TDecodeHint& /*hint*/) override {
    const TBmpInfo& info = picture_.info;
    TBitmap32 decoded(info.width, info.height);
    if (picture_.runLength) {
      ReadRunLength(info, picture_.palette, *in_, decoded);
    } else {
      ReadUncompressed(info, picture_.palette, *in_, decoded);
    }
    if (info.HasBitFields() && info.masks[3] != 0) MakeOpaqueIfInvisible(decoded);
    return decoded;
  }

 private:
  std::optional<TCodecStreamReader> in_;
  TBmpPicture picture_;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenBmpReader(TStream& stream) {
  return std::make_unique<TBmpReader>(stream);
}

}  // namespace nimbra
