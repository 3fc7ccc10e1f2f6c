#include "raster/PcxCodec.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "raster/CodecLimits.h"
#include "raster/CodecPixels.h"
#include "raster/CodecStreamReader.h"

namespace nimbra {

namespace {

constexpr int64_t kHeaderSize = 128;
constexpr uint8_t kManufacturer = 0x0A;
constexpr uint8_t kPaletteMarker = 0x0C;
constexpr int64_t kPaletteSize = 1 + 256 * 3;  // marker and 256 colours
// A run is two bytes for up to 63 bytes of picture.
constexpr int64_t kMaxRunLength = 63;

struct TPcxHeader {
  uint8_t version = 0;
  uint8_t encoding = 0;
  uint8_t bitsPerPixel = 0;
  int width = 0;
  int height = 0;
  std::array<TColor32, 16> palette16{};
  uint8_t planes = 0;
  uint16_t bytesPerLine = 0;

  int64_t LineBytes() const { return int64_t{planes} * bytesPerLine; }
  bool Indexed256() const { return bitsPerPixel == 8 && planes == 1; }
};

TPcxHeader ReadHeader(TCodecStreamReader& in) {
  TPcxHeader h;
  if (in.ReadU8() != kManufacturer) in.Fail("no PCX signature");
  h.version = in.ReadU8();
  h.encoding = in.ReadU8();
  h.bitsPerPixel = in.ReadU8();
  const int xMin = in.ReadU16();
  const int yMin = in.ReadU16();
  const int xMax = in.ReadU16();
  const int yMax = in.ReadU16();
  h.width = xMax - xMin + 1;
  h.height = yMax - yMin + 1;
  in.Skip(4);  // resolution
  for (TColor32& colour : h.palette16) {
    uint8_t rgb[3];
    in.Read(rgb, 3);
    colour = Color32(rgb[0], rgb[1], rgb[2]);
  }
  in.Skip(1);
  h.planes = in.ReadU8();
  h.bytesPerLine = in.ReadU16();
  in.Seek(kHeaderSize);
  return h;
}

void Validate(const TPcxHeader& h, TCodecStreamReader& in) {
  if (h.encoding > 1) in.Fail("unknown encoding");
  const uint8_t bits = h.bitsPerPixel;
  const uint8_t planes = h.planes;
  const bool supported = (bits == 1 && planes >= 1 && planes <= 4) || (bits == 2 && planes == 1) ||
                         (bits == 4 && planes == 1) ||
                         (bits == 8 && planes >= 1 && planes <= 4 && planes != 2);
  if (!supported) in.Fail("unsupported layout");
  CheckPictureSize("PCX", h.width, h.height, 0, 0);
  CheckWholePictureSize(h.width, h.height);
  if (int64_t{h.bytesPerLine} * 8 < int64_t{h.width} * bits)
    in.Fail("lines shorter than the width");
}

// The 256 colours behind the picture data; a file without them is grey.
std::array<TColor32, 256> ReadPalette256(TCodecStreamReader& in, int64_t& dataEnd) {
  std::array<TColor32, 256> palette;
  if (in.Size() >= kHeaderSize + kPaletteSize) {
    in.Seek(in.Size() - kPaletteSize);
    if (in.ReadU8() == kPaletteMarker) {
      for (TColor32& colour : palette) {
        uint8_t rgb[3];
        in.Read(rgb, 3);
        colour = Color32(rgb[0], rgb[1], rgb[2]);
      }
      dataEnd = in.Size() - kPaletteSize;
      in.Seek(kHeaderSize);
      return palette;
    }
    in.Seek(kHeaderSize);
  }
  for (size_t i = 0; i < palette.size(); ++i) {
    const auto v = static_cast<uint8_t>(i);
    palette[i] = Color32(v, v, v);
  }
  return palette;
}

// Decodes one line of all planes; runs may carry on into the next line, as some writers let them.
class TLineDecoder {
 public:
  TLineDecoder(TCodecStreamReader& in, bool runLength, int64_t dataEnd)
      : in_(in), runLength_(runLength), dataEnd_(dataEnd) {}

  void Read(std::vector<uint8_t>& line) {
    for (uint8_t& byte : line) {
      while (pending_ == 0) Next();  // a run of length 0 is legal and holds nothing
      byte = value_;
      --pending_;
    }
  }

 private:
  void Next() {
    if (in_.Position() >= dataEnd_) in_.Fail("the data ends early");
    value_ = in_.ReadU8();
    pending_ = 1;
    if (runLength_ && (value_ & 0xC0) == 0xC0) {
      pending_ = value_ & 0x3F;
      if (in_.Position() >= dataEnd_) in_.Fail("the data ends early");
      value_ = in_.ReadU8();
    }
  }

  TCodecStreamReader& in_;
  bool runLength_;
  int64_t dataEnd_;
  uint8_t value_ = 0;
  int pending_ = 0;
};

int PackedBit(const uint8_t* plane, int x) {
  return (plane[x >> 3] >> (7 - (x & 7))) & 1;
}

void ConvertLine(const TPcxHeader& h, const std::vector<uint8_t>& line,
                 const std::array<TColor32, 256>& palette256, TColor32* out) {
  const uint8_t* plane0 = line.data();
  const size_t stride = h.bytesPerLine;
  for (int x = 0; x < h.width; ++x) {
    if (h.bitsPerPixel == 8) {
      if (h.planes == 1) {
        out[x] = palette256[plane0[x]];
      } else {
        const uint8_t alpha = h.planes == 4 ? plane0[3 * stride + x] : 255;
        out[x] = Color32(plane0[x], plane0[stride + x], plane0[2 * stride + x], alpha);
      }
    } else if (h.bitsPerPixel == 1) {
      if (h.planes == 1) {
        out[x] = PackedBit(plane0, x) ? kColor32White : kColor32Black;
      } else {
        int index = 0;
        for (int p = 0; p < h.planes; ++p) index |= PackedBit(plane0 + p * stride, x) << p;
        out[x] = h.palette16[static_cast<size_t>(index)];
      }
    } else if (h.bitsPerPixel == 2) {
      out[x] = h.palette16[(plane0[x >> 2] >> (6 - 2 * (x & 3))) & 3];
    } else {
      out[x] = h.palette16[(plane0[x >> 1] >> (4 - 4 * (x & 1))) & 15];
    }
  }
}

// The header, the palette and where the data ends, checked against what the file holds; the
// reader then stands at the first line.
struct TPcxPicture {
  TPcxHeader header;
  std::array<TColor32, 256> palette256{};
  int64_t dataEnd = 0;
};

TPcxPicture ReadPicture(TCodecStreamReader& in) {
  TPcxPicture picture;
  const TPcxHeader& h = picture.header = ReadHeader(in);
  Validate(h, in);
  picture.dataEnd = in.Size();
  if (h.Indexed256()) picture.palette256 = ReadPalette256(in, picture.dataEnd);
  const int64_t storedBytes = h.LineBytes() * h.height;
  const int64_t dataBytes = picture.dataEnd - kHeaderSize;
  CheckDataSize(
      "PCX", h.encoding == 1 ? (storedBytes + kMaxRunLength - 1) / kMaxRunLength * 2 : storedBytes,
      dataBytes);
  return picture;
}

class TPcxReader final : public TPictureReader {
 public:
  explicit TPcxReader(TStream& stream) : TPictureReader(stream) {}

 protected:
  TPictureSize ReadShownSize() override {
    picture_ = ReadPicture(in_.emplace(Stream(), "PCX"));
    return {picture_.header.width, picture_.header.height};
  }

  TBitmap32 DecodePixels(const TDecodeHint& /*hint*/) override {
    const TPcxHeader& h = picture_.header;
    TBitmap32 decoded(h.width, h.height);
    std::vector<uint8_t> line(static_cast<size_t>(h.LineBytes()));
    TLineDecoder decoder(*in_, h.encoding == 1, picture_.dataEnd);
    for (int y = 0; y < h.height; ++y) {
      decoder.Read(line);
      ConvertLine(h, line, picture_.palette256, decoded.ScanLine(y));
    }
    if (h.planes == 4 && h.bitsPerPixel == 8) MakeOpaqueIfInvisible(decoded);
    return decoded;
  }

 private:
  std::optional<TCodecStreamReader> in_;
  TPcxPicture picture_;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenPcxReader(TStream& stream) {
  return std::make_unique<TPcxReader>(stream);
}

}  // namespace nimbra
