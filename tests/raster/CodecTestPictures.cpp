#include "CodecTestPictures.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include "raster/PictureFormatRegistration.h"

namespace nimbra::test {

TPictureReaderOpener ReaderFor(std::string_view extension) {
  for (const TPictureReaderInfo& reader : PictureReaders()) {
    if (reader.Extension == extension) return reader.Open;
  }
  throw std::invalid_argument("no reader for " + std::string(extension));
}

TBytes& TBytes::U8(uint32_t v) {
  bytes_.push_back(static_cast<char>(v & 0xFF));
  return *this;
}

TBytes& TBytes::U16(uint32_t v) {
  return U8(v).U8(v >> 8);
}

TBytes& TBytes::U32(uint32_t v) {
  return U16(v).U16(v >> 16);
}

TBytes& TBytes::Raw(const std::string& bytes) {
  bytes_ += bytes;
  return *this;
}

TBytes& TBytes::Zeros(size_t count) {
  bytes_.append(count, '\0');
  return *this;
}

TBitmap32 TestPattern(int width, int height, bool withAlpha) {
  TBitmap32 picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto alpha = static_cast<uint8_t>(withAlpha ? 255 - (x * 23 + y * 41) % 256 : 255);
      picture.SetPixel(
          x, y,
          Color32(static_cast<uint8_t>(x * 37 + y * 11), static_cast<uint8_t>(x * 13 + y * 71),
                  static_cast<uint8_t>((x + y) * 29 + 5), alpha));
    }
  }
  return picture;
}

TBitmap32 StripedPicture(int width, int height, int colours) {
  TBitmap32 picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int c = ((x / 3) + y) % colours;
      picture.SetPixel(x, y,
                       Color32(static_cast<uint8_t>(c * 40 + 8), static_cast<uint8_t>(200 - c * 16),
                               static_cast<uint8_t>(c * 97 % 256)));
    }
  }
  return picture;
}

TBitmap32 QuantizedTo555(const TBitmap32& picture) {
  TBitmap32 result = picture;
  const auto widen = [](uint8_t v) {
    const uint32_t five = v >> 3;
    return static_cast<uint8_t>((five * 255 + 15) / 31);
  };
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      const TColor32 c = picture.Pixel(x, y);
      result.SetPixel(x, y,
                      Color32(widen(RedComponent(c)), widen(GreenComponent(c)),
                              widen(BlueComponent(c)), AlphaComponent(c) >= 128 ? 255 : 0));
    }
  }
  return result;
}

int MaxChannelDifference(const TBitmap32& a, const TBitmap32& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return 256;
  int worst = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      const TColor32 p = a.Pixel(x, y);
      const TColor32 q = b.Pixel(x, y);
      for (int shift = 0; shift < 32; shift += 8) {
        worst = std::max(worst, std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                         static_cast<int>((q >> shift) & 0xFF)));
      }
    }
  }
  return worst;
}

std::vector<TColor32> Palette(const TBitmap32& picture, size_t max) {
  std::vector<TColor32> palette;
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      const TColor32 c = picture.Pixel(x, y);
      if (std::find(palette.begin(), palette.end(), c) == palette.end()) palette.push_back(c);
    }
  }
  if (palette.size() > max) throw std::invalid_argument("too many colours for a palette");
  return palette;
}

namespace {

size_t IndexOf(const std::vector<TColor32>& palette, TColor32 c) {
  return static_cast<size_t>(std::find(palette.begin(), palette.end(), c) - palette.begin());
}

void AppendTargaColour(TBytes& out, TColor32 c, int bits) {
  if (bits == 16 || bits == 15) {
    const uint32_t v = ((RedComponent(c) >> 3) << 10) | ((GreenComponent(c) >> 3) << 5) |
                       (BlueComponent(c) >> 3) | (AlphaComponent(c) >= 128 ? 0x8000 : 0);
    out.U16(v);
    return;
  }
  out.U8(BlueComponent(c)).U8(GreenComponent(c)).U8(RedComponent(c));
  if (bits == 32) out.U8(AlphaComponent(c));
}

// The stored pixel values of one pixel for the layout.
std::string TargaPixel(TColor32 c, const TTargaLayout& layout,
                       const std::vector<TColor32>& palette) {
  TBytes out;
  switch (layout.imageType % 8) {
    case 1: {
      const size_t index = IndexOf(palette, c) + static_cast<size_t>(layout.mapFirst);
      if (layout.pixelBits == 8) {
        out.U8(static_cast<uint32_t>(index));
      } else {
        out.U16(static_cast<uint32_t>(index));
      }
      break;
    }
    case 3:
      out.U8(RedComponent(c));
      if (layout.pixelBits == 16) out.U8(AlphaComponent(c));
      break;
    default:
      AppendTargaColour(out, c, layout.pixelBits);
  }
  return out.Str();
}

}  // namespace

std::string TargaBytes(const TBitmap32& picture, const TTargaLayout& layout) {
  const bool mapped = layout.imageType % 8 == 1;
  const std::vector<TColor32> palette = mapped ? Palette(picture, 65535) : std::vector<TColor32>{};
  TBytes out;
  out.U8(3).U8(mapped ? 1 : 0).U8(static_cast<uint32_t>(layout.imageType));
  out.U16(static_cast<uint32_t>(layout.mapFirst)).U16(static_cast<uint32_t>(palette.size()));
  out.U8(mapped ? static_cast<uint32_t>(layout.mapEntryBits) : 0);
  out.U16(0).U16(0).U16(static_cast<uint32_t>(picture.Width()));
  out.U16(static_cast<uint32_t>(picture.Height())).U8(static_cast<uint32_t>(layout.pixelBits));
  out.U8(static_cast<uint32_t>(layout.alphaBits | (layout.rightToLeft ? 0x10 : 0) |
                               (layout.topToBottom ? 0x20 : 0)));
  out.Raw("id!");
  for (const TColor32 c : palette) AppendTargaColour(out, c, layout.mapEntryBits);

  // Pixels in stored order: rows from the origin's side, each from the origin's side.
  std::vector<std::string> stored;
  for (int row = 0; row < picture.Height(); ++row) {
    const int y = layout.topToBottom ? row : picture.Height() - 1 - row;
    for (int column = 0; column < picture.Width(); ++column) {
      const int x = layout.rightToLeft ? picture.Width() - 1 - column : column;
      stored.push_back(TargaPixel(picture.Pixel(x, y), layout, palette));
    }
  }
  if (layout.imageType < 9) {
    for (const std::string& p : stored) out.Raw(p);
    return out.Str();
  }
  for (size_t i = 0; i < stored.size();) {
    size_t run = 1;
    while (i + run < stored.size() && run < 128 && stored[i + run] == stored[i]) ++run;
    if (run > 1) {
      out.U8(static_cast<uint32_t>(0x80 | (run - 1))).Raw(stored[i]);
      i += run;
      continue;
    }
    size_t raw = 1;
    while (i + raw < stored.size() && raw < 128 &&
           (i + raw + 1 >= stored.size() || stored[i + raw] != stored[i + raw + 1])) {
      ++raw;
    }
    out.U8(static_cast<uint32_t>(raw - 1));
    for (size_t k = 0; k < raw; ++k) out.Raw(stored[i + k]);
    i += raw;
  }
  return out.Str();
}

std::string PcxBytes(const TBitmap32& picture, const TPcxLayout& layout) {
  const int w = picture.Width();
  const int h = picture.Height();
  const int bytesPerLine = ((w * layout.bitsPerPixel + 7) / 8 + 1) / 2 * 2;
  const bool indexed256 = layout.bitsPerPixel == 8 && layout.planes == 1;
  const bool indexed16 = layout.bitsPerPixel == 1 && layout.planes > 1;
  const std::vector<TColor32> palette = indexed256  ? Palette(picture, 256)
                                        : indexed16 ? Palette(picture, 16)
                                                    : std::vector<TColor32>{};

  TBytes out;
  out.U8(0x0A).U8(5).U8(layout.runLength ? 1 : 0).U8(static_cast<uint32_t>(layout.bitsPerPixel));
  out.U16(10).U16(20).U16(static_cast<uint32_t>(10 + w - 1)).U16(static_cast<uint32_t>(20 + h - 1));
  out.U16(72).U16(72);
  for (size_t i = 0; i < 16; ++i) {
    const TColor32 c = indexed16 && i < palette.size() ? palette[i] : 0;
    out.U8(RedComponent(c)).U8(GreenComponent(c)).U8(BlueComponent(c));
  }
  out.U8(0).U8(static_cast<uint32_t>(layout.planes)).U16(static_cast<uint32_t>(bytesPerLine));
  out.U16(1).Zeros(128 - out.Size());

  std::string lines;
  for (int y = 0; y < h; ++y) {
    for (int p = 0; p < layout.planes; ++p) {
      std::string plane(static_cast<size_t>(bytesPerLine), '\0');
      for (int x = 0; x < w; ++x) {
        const TColor32 c = picture.Pixel(x, y);
        if (layout.bitsPerPixel == 8) {
          const uint8_t channels[] = {RedComponent(c), GreenComponent(c), BlueComponent(c),
                                      AlphaComponent(c)};
          plane[static_cast<size_t>(x)] = static_cast<char>(
              indexed256 ? IndexOf(palette, c) : channels[static_cast<size_t>(p)]);
        } else {
          const size_t index = indexed16 ? IndexOf(palette, c) : (c == kColor32White ? 1 : 0);
          if ((index >> p) & 1)
            plane[static_cast<size_t>(x / 8)] |= static_cast<char>(0x80 >> (x % 8));
        }
      }
      lines += plane;
    }
  }
  if (!layout.runLength) {
    out.Raw(lines);
  } else {
    for (size_t i = 0; i < lines.size();) {
      size_t run = 1;
      while (i + run < lines.size() && run < 63 && lines[i + run] == lines[i]) ++run;
      const auto value = static_cast<uint8_t>(lines[i]);
      if (run > 1 || value >= 0xC0) out.U8(static_cast<uint32_t>(0xC0 | run));
      out.U8(value);
      i += run;
    }
  }
  if (indexed256) {
    out.U8(0x0C);
    for (size_t i = 0; i < 256; ++i) {
      const TColor32 c = i < palette.size() ? palette[i] : 0;
      out.U8(RedComponent(c)).U8(GreenComponent(c)).U8(BlueComponent(c));
    }
  }
  return out.Str();
}

std::string BmpBytes(const TBmpFile& f) {
  const bool core = f.headerSize == 12;
  const size_t masksAfter = f.headerSize == 40 ? f.masks.size() * 4 : 0;
  const size_t paletteBytes = f.palette.size() * (core ? 3 : 4);
  const size_t offset = 14 + f.headerSize + masksAfter + paletteBytes;
  test::TBytes b;
  b.Raw("BM")
      .U32(static_cast<uint32_t>(offset + f.pixels.size()))
      .U32(0)
      .U32(static_cast<uint32_t>(offset));
  b.U32(f.headerSize);
  if (core) {
    b.U16(static_cast<uint32_t>(f.width))
        .U16(static_cast<uint32_t>(f.height))
        .U16(1)
        .U16(static_cast<uint32_t>(f.bits));
  } else {
    b.I32(f.width).I32(f.height).U16(1).U16(static_cast<uint32_t>(f.bits)).U32(f.compression);
    b.U32(static_cast<uint32_t>(f.pixels.size())).U32(2835).U32(2835);
    b.U32(static_cast<uint32_t>(f.palette.size())).U32(0);
    if (f.headerSize >= 52) {
      for (size_t i = 0; i < 4 && 40 + 4 * (i + 1) <= f.headerSize; ++i) {
        b.U32(i < f.masks.size() ? f.masks[i] : 0);
      }
    }
    b.Zeros(14 + f.headerSize - b.Size());
    if (masksAfter) {
      for (const uint32_t m : f.masks) b.U32(m);
    }
  }
  for (const TColor32 c : f.palette) {
    b.U8(BlueComponent(c)).U8(GreenComponent(c)).U8(RedComponent(c));
    if (!core) b.U8(0);
  }
  return b.Raw(f.pixels).Str();
}

std::string ExifTiffBlock(int orientation, bool bigEndian) {
  TBytes tiff;
  const auto u16 = [&](uint32_t v) {
    if (bigEndian) {
      tiff.U8(v >> 8).U8(v);
    } else {
      tiff.U16(v);
    }
  };
  const auto u32 = [&](uint32_t v) {
    if (bigEndian) {
      u16(v >> 16);
      u16(v & 0xFFFF);
    } else {
      tiff.U32(v);
    }
  };
  tiff.Raw(bigEndian ? "MM" : "II");
  u16(42);
  u32(8);
  u16(2);  // two entries: a resolution unit first, so that the reader has to look on
  u16(0x0128);
  u16(3);
  u32(1);
  u16(2);
  u16(0);
  u16(0x0112);
  u16(3);
  u32(1);
  u16(static_cast<uint32_t>(orientation));
  u16(0);
  u32(0);
  return tiff.Str();
}

std::string WithExifOrientation(const std::string& jpeg, int orientation, bool bigEndian) {
  const std::string payload = std::string("Exif\0\0", 6) + ExifTiffBlock(orientation, bigEndian);
  TBytes segment;
  segment.U8(0xFF).U8(0xE1);
  const size_t length = payload.size() + 2;
  segment.U8(static_cast<uint32_t>(length >> 8)).U8(static_cast<uint32_t>(length & 0xFF));
  segment.Raw(payload);
  return jpeg.substr(0, 2) + segment.Str() + jpeg.substr(2);
}

}  // namespace nimbra::test
