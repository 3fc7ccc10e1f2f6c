// Pictures for the codec tests and the fuzz seeds, built byte by byte: a little-endian byte
// builder, a test pattern, and small encoders for the hand-read formats (Targa, PCX) whose output
// the tests check against byte literals as well.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/CodecError.h"
#include "raster/DecodeHint.h"
#include "raster/PictureReader.h"
#include "storage/MemoryStream.h"

namespace nimbra::test {

class TBytes {
 public:
  TBytes& U8(uint32_t v);
  TBytes& U16(uint32_t v);
  TBytes& U32(uint32_t v);
  TBytes& I32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
  // Big-endian, for the formats that store their numbers that way (PNG, JPEG).
  TBytes& U16Be(uint32_t v) { return U8(v >> 8).U8(v); }
  TBytes& U32Be(uint32_t v) { return U16Be(v >> 16).U16Be(v); }
  TBytes& Raw(const std::string& bytes);
  TBytes& Zeros(size_t count);
  const std::string& Str() const { return bytes_; }
  size_t Size() const { return bytes_.size(); }

 private:
  std::string bytes_;
};

// Every pixel a different colour; with alpha, alpha varies too.
TBitmap32 TestPattern(int width, int height, bool withAlpha = false);
// Stripes of `colours` colours, so that run-length encoders find runs and colour maps fit.
TBitmap32 StripedPicture(int width, int height, int colours);
// The bitmap reduced to what 5 bits per channel and 1 alpha bit keep, as a 16-bit reader returns
// it.
TBitmap32 QuantizedTo555(const TBitmap32& picture);

struct TTargaLayout {
  int imageType = 2;         // 1, 2, 3 and their run-length forms 9, 10, 11
  int pixelBits = 24;        // 8 (colour-mapped or grey), 16 (true colour or mapped), 24, 32
  int mapEntryBits = 24;     // colour-mapped: 16, 24 or 32
  bool topToBottom = false;  // descriptor bit 5
  bool rightToLeft = false;  // descriptor bit 4
  int alphaBits = 0;         // descriptor bits 0-3
  int mapFirst = 0;          // the colour map's first index
};

// Targa file of the picture. Run-length packets run across rows where the pixels allow.
std::string TargaBytes(const TBitmap32& picture, const TTargaLayout& layout);

struct TPcxLayout {
  int bitsPerPixel = 8;  // 8 with one plane (256 colours) or three planes (24-bit); 1
  int planes = 1;        // 1 to 4
  bool runLength = true;
};

// PCX file of the picture; 256-colour files carry their palette at the end, 16-colour ones in the
// header. Run-length packets run across lines where the bytes allow.
std::string PcxBytes(const TBitmap32& picture, const TPcxLayout& layout);

struct TBmpFile {
  uint32_t headerSize = 40;  // 12 writes the OS/2 1.x header
  int32_t width = 0;
  int32_t height = 0;
  int bits = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> masks = {};    // in the header from size 52 on, else after it
  std::vector<TColor32> palette = {};  // as many entries as given, counted in the header
  std::string pixels = {};
};

// BMP file with the given headers, palette and pixel bytes, for the layouts SaveBmp does not write.
std::string BmpBytes(const TBmpFile& file);

// The distinct colours of a picture, in order of first appearance; raises with more than max.
std::vector<TColor32> Palette(const TBitmap32& picture, size_t max);

// An EXIF block naming the orientation, from its TIFF header on (without JPEG's "Exif\0\0").
std::string ExifTiffBlock(int orientation, bool bigEndian = false);

// A JPEG with an EXIF APP1 segment naming the orientation inserted after its start marker.
std::string WithExifOrientation(const std::string& jpeg, int orientation, bool bigEndian = false);

// The library's reader of an extension (PictureReaders()); raises for one it has none for.
TPictureReaderOpener ReaderFor(std::string_view extension);

// Decodes bytes with a format's reader, as LoadGraphic would.
inline TBitmap32 DecodeAs(TPictureReaderOpener open, const std::string& bytes,
                          const TDecodeHint& hint = {}) {
  TMemoryStream stream(bytes);
  return open(stream)->Decode(hint);
}

// The largest difference of any channel (alpha included) between two bitmaps of the same size;
// 256 when the sizes differ.
int MaxChannelDifference(const TBitmap32& a, const TBitmap32& b);

// Cuts the bytes at `cuts` places spread over [0, size - keep) and yields the cut lengths at
// which decoding did not raise ECodecError (any other exception passes on).
inline std::vector<size_t> CutsThatDecode(TPictureReaderOpener open, const std::string& bytes,
                                          size_t keep, size_t cuts = 40) {
  std::vector<size_t> decoded;
  const size_t end = bytes.size() > keep ? bytes.size() - keep : 0;
  const size_t step = end / cuts + 1;
  for (size_t cut = 0; cut < end; cut += step) {
    try {
      DecodeAs(open, bytes.substr(0, cut));
      decoded.push_back(cut);
    } catch (const ECodecError&) {
    }
  }
  return decoded;
}

}  // namespace nimbra::test
