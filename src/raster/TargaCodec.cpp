#include "raster/TargaCodec.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "raster/CodecLimits.h"
#include "raster/CodecPixels.h"
#include "raster/CodecStreamReader.h"
#include "raster/ExifOrientation.h"
#include "raster/RowTarget.h"

namespace nimbra {

namespace {

enum class TTargaKind { ColourMapped, TrueColour, Grey };

struct TTargaHeader {
  uint8_t idLength = 0;
  uint8_t colourMapType = 0;
  uint8_t imageType = 0;
  uint16_t mapFirst = 0;
  uint16_t mapLength = 0;
  uint8_t mapEntryBits = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t pixelBits = 0;
  uint8_t descriptor = 0;

  TTargaKind Kind() const {
    switch (imageType & 7) {
      case 1:
        return TTargaKind::ColourMapped;
      case 2:
        return TTargaKind::TrueColour;
      default:
        return TTargaKind::Grey;
    }
  }
  bool RunLength() const { return imageType >= 9; }
  int AlphaBits() const { return descriptor & 0x0F; }
  bool RightToLeft() const { return (descriptor & 0x10) != 0; }
  bool TopToBottom() const { return (descriptor & 0x20) != 0; }
  int PixelBytes() const { return (pixelBits + 7) / 8; }
};

TTargaHeader ReadHeader(TCodecStreamReader& in) {
  TTargaHeader h;
  h.idLength = in.ReadU8();
  h.colourMapType = in.ReadU8();
  h.imageType = in.ReadU8();
  h.mapFirst = in.ReadU16();
  h.mapLength = in.ReadU16();
  h.mapEntryBits = in.ReadU8();
  in.Skip(4);  // x and y origin: where a screen would show the picture
  h.width = in.ReadU16();
  h.height = in.ReadU16();
  h.pixelBits = in.ReadU8();
  h.descriptor = in.ReadU8();
  return h;
}

void Validate(const TTargaHeader& h, TCodecStreamReader& in) {
  const uint8_t type = h.imageType;
  if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11) {
    in.Fail("unsupported image type " + std::to_string(type));
  }
  if (h.colourMapType > 1) in.Fail("unknown colour map type");
  const uint8_t bits = h.pixelBits;
  switch (h.Kind()) {
    case TTargaKind::ColourMapped:
      if (h.colourMapType != 1 || (bits != 8 && bits != 16)) in.Fail("bad colour-mapped layout");
      break;
    case TTargaKind::TrueColour:
      if (bits != 15 && bits != 16 && bits != 24 && bits != 32) in.Fail("bad pixel size");
      break;
    case TTargaKind::Grey:
      if (bits != 8 && bits != 16) in.Fail("bad grey pixel size");
      break;
  }
  if (h.colourMapType == 1 && h.mapEntryBits != 15 && h.mapEntryBits != 16 &&
      h.mapEntryBits != 24 && h.mapEntryBits != 32) {
    in.Fail("bad colour map entry size");
  }
}

// One stored colour of 15, 16, 24 or 32 bits; alpha comes from the data only when the header
// says it has some.
TColor32 Colour(const uint8_t* p, int bits, bool useAlpha) {
  if (bits == 15 || bits == 16) {
    const uint32_t v = p[0] | (uint32_t{p[1]} << 8);
    const uint8_t alpha = bits == 16 && useAlpha && (v & 0x8000) == 0 ? 0 : 255;
    return Color32(ScaleTo8Bits((v >> 10) & 31, 5), ScaleTo8Bits((v >> 5) & 31, 5),
                   ScaleTo8Bits(v & 31, 5), alpha);
  }
  const uint8_t alpha = bits == 32 && useAlpha ? p[3] : 255;
  return Color32(p[2], p[1], p[0], alpha);
}

std::vector<TColor32> ReadColourMap(const TTargaHeader& h, TCodecStreamReader& in) {
  const int entryBytes = (h.mapEntryBits + 7) / 8;
  CheckDataSize("Targa", int64_t{h.mapLength} * entryBytes, in.Remaining());
  std::vector<uint8_t> raw(size_t{h.mapLength} * static_cast<size_t>(entryBytes));
  in.Read(raw.data(), static_cast<int64_t>(raw.size()));
  if (h.Kind() != TTargaKind::ColourMapped) return {};
  std::vector<TColor32> map(h.mapLength);
  for (size_t i = 0; i < map.size(); ++i) {
    map[i] =
        Colour(raw.data() + i * static_cast<size_t>(entryBytes), h.mapEntryBits, h.AlphaBits() > 0);
  }
  return map;
}

class TPixelDecoder {
 public:
  TPixelDecoder(const TTargaHeader& h, std::vector<TColor32> map, TCodecStreamReader& in)
      : header_(h), map_(std::move(map)), in_(in) {}

  TColor32 Convert(const uint8_t* p) const {
    switch (header_.Kind()) {
      case TTargaKind::ColourMapped: {
        const uint32_t index = header_.pixelBits == 8 ? p[0] : p[0] | (uint32_t{p[1]} << 8);
        if (index < header_.mapFirst || index - header_.mapFirst >= map_.size()) {
          in_.Fail("colour index outside the colour map");
        }
        return map_[index - header_.mapFirst];
      }
      case TTargaKind::Grey: {
        const uint8_t alpha = header_.pixelBits == 16 ? p[1] : 255;
        return Color32(p[0], p[0], p[0], alpha);
      }
      default:
        return Colour(p, header_.pixelBits, header_.AlphaBits() > 0);
    }
  }

 private:
  const TTargaHeader& header_;
  std::vector<TColor32> map_;
  TCodecStreamReader& in_;
};

// Reads the stored rows in file order, each from its first stored pixel. Run-length packets may
// run on from one row into the next (that is how most writers use them), so the rest of a packet
// carries over; past the last row it is ignored.
class TStoredRows {
 public:
  TStoredRows(const TTargaHeader& h, const TPixelDecoder& decoder, TCodecStreamReader& in)
      : runLength_(h.RunLength()), pixelBytes_(h.PixelBytes()), decoder_(decoder), in_(in) {}

  void Read(std::span<TColor32> row) {
    if (!runLength_) {
      ReadRaw(row);
      return;
    }
    for (size_t done = 0; done < row.size();) {
      if (pending_ == 0) StartPacket();
      const size_t count = std::min(pending_, row.size() - done);
      const std::span<TColor32> part = row.subspan(done, count);
      if (run_) {
        std::fill(part.begin(), part.end(), runColour_);
      } else {
        ReadRaw(part);
      }
      done += count;
      pending_ -= count;
    }
  }

 private:
  void StartPacket() {
    const uint8_t packet = in_.ReadU8();
    pending_ = size_t{(packet & 0x7Fu)} + 1;
    run_ = (packet & 0x80) != 0;
    if (run_) {
      uint8_t raw[4] = {};
      in_.Read(raw, pixelBytes_);
      runColour_ = decoder_.Convert(raw);
    }
  }

  void ReadRaw(std::span<TColor32> pixels) {
    const auto bytes = static_cast<size_t>(pixelBytes_);
    raw_.resize(pixels.size() * bytes);
    in_.Read(raw_.data(), static_cast<int64_t>(raw_.size()));
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = decoder_.Convert(raw_.data() + i * bytes);
  }

  bool runLength_;
  int pixelBytes_;
  const TPixelDecoder& decoder_;
  TCodecStreamReader& in_;
  std::vector<uint8_t> raw_;
  size_t pending_ = 0;
  bool run_ = false;
  TColor32 runColour_ = 0;
};

// The header and colour map, checked; the reader then stands at the first stored pixel.
struct TTargaPicture {
  TTargaHeader header;
  std::vector<TColor32> map;
};

TTargaPicture ReadPicture(TCodecStreamReader& in) {
  TTargaPicture picture;
  const TTargaHeader& h = picture.header = ReadHeader(in);
  Validate(h, in);
  CheckPictureSize("Targa", h.width, h.height, 0, 0);
  in.Skip(h.idLength);
  if (h.colourMapType == 1) picture.map = ReadColourMap(h, in);
  const int64_t pixelCount = int64_t{h.width} * h.height;
  // A run packet holds at most 128 pixels in a count byte and one pixel value.
  const int64_t minimumBytes =
      h.RunLength() ? (pixelCount + 127) / 128 * (1 + h.PixelBytes()) : pixelCount * h.PixelBytes();
  CheckDataSize("Targa", minimumBytes, in.Remaining());
  return picture;
}

// Hands every stored row to target. With opaqueUntilAlpha, rows count as opaque for as long as
// every pixel so far has alpha 0: writers that store an alpha channel they did not mean leave it
// all zero, and such a picture is shown opaque. False when a later row shows that alpha was meant
// after all; the rows must then be read again as they are.
bool ReadRows(TStoredRows& stored, TRowTarget& target, const TTargaHeader& h,
              bool opaqueUntilAlpha) {
  std::vector<TColor32> row(h.width);
  bool alphaSeen = !opaqueUntilAlpha;
  for (int y = 0; y < h.height; ++y) {
    stored.Read(row);
    if (!alphaSeen) {
      alphaSeen = std::any_of(row.begin(), row.end(), [](TColor32 c) { return c >> 24 != 0; });
      if (alphaSeen && y > 0) return false;
      if (!alphaSeen) {
        for (TColor32& c : row) c |= 0xFF000000u;
      }
    }
    target.AddRow(y, row.data());
  }
  return true;
}

// The orientation that turns the rows as stored into the picture: the origin bits say where the
// first stored pixel belongs.
int StoredOrientation(const TTargaHeader& h) {
  if (h.TopToBottom()) return h.RightToLeft() ? 2 : kOrientationAsStored;
  return h.RightToLeft() ? 3 : 4;
}

class TTargaReader final : public TPictureReader {
 public:
  explicit TTargaReader(TStream& stream) : TPictureReader(stream) {}

 protected:
  TPictureSize ReadShownSize() override {
    TCodecStreamReader& in = in_.emplace(Stream(), "Targa");
    picture_ = ReadPicture(in);
    return {picture_.header.width, picture_.header.height};
  }

  TBitmap32 DecodePixels(const TDecodeHint& hint) override {
    TCodecStreamReader& in = *in_;
    const TTargaHeader& h = picture_.header;
    const TPixelDecoder decoder(h, picture_.map, in);
    const int64_t pixelStart = in.Position();
    // Rows are reduced to the hint in the order they are stored; the small result is turned.
    const auto read = [&](bool opaqueUntilAlpha) -> std::optional<TBitmap32> {
      in.Seek(pixelStart);
      TStoredRows stored(h, decoder, in);
      TRowTarget target(h.width, h.height, hint, false);
      if (!ReadRows(stored, target, h, opaqueUntilAlpha)) return std::nullopt;
      return target.Take();
    };
    std::optional<TBitmap32> decoded = read(h.AlphaBits() > 0);
    if (!decoded) decoded = read(false);
    ApplyExifOrientation(*decoded, StoredOrientation(h));
    return std::move(*decoded);
  }

 private:
  std::optional<TCodecStreamReader> in_;
  TTargaPicture picture_;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenTargaReader(TStream& stream) {
  return std::make_unique<TTargaReader>(stream);
}

}  // namespace nimbra
