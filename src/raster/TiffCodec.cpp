#include "raster/TiffCodec.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "raster/CodecError.h"
#include "raster/CodecLimits.h"
#include "raster/CodecPixels.h"
#include "raster/ExifOrientation.h"
#include "raster/RowTarget.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

// TIFF's compressions (fax codes of blank lines, deflate, LZW) can shrink far beyond the ratios
// of photos, so this bound is looser than the JPEG one; it still keeps a few bytes from claiming
// a gigapixel picture.
constexpr int64_t kMaxPixelsPerByte = 8192;
constexpr tmsize_t kMaxSingleAllocation = tmsize_t{256} * 1024 * 1024;
// Bands are read whole (a strip or a row of tiles at a time); a picture stored in larger ones
// than this (a photo of 24 megapixels in a single compressed strip still fits) is refused.
constexpr int64_t kMaxBandBytes = int64_t{192} * 1024 * 1024;

// What libtiff's client procedures work on: the picture's bytes from where the stream stood.
struct TTiffSource {
  TStream* stream = nullptr;
  int64_t origin = 0;
  int64_t size = 0;
  std::string lastError;
};

TTiffSource& SourceOf(thandle_t handle) {
  return *static_cast<TTiffSource*>(handle);
}

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  TTiffSource& source = SourceOf(handle);
  // libtiff treats a negative count as a failure; a stream that raises fails the same way.
  try {
    int64_t total = 0;
    while (total < size) {
      const int64_t n = source.stream->Read(static_cast<char*>(buffer) + total, size - total);
      if (n <= 0) break;
      total += n;
    }
    return static_cast<tmsize_t>(total);
  } catch (const std::exception&) {
    return -1;
  }
}

tmsize_t WriteProc(thandle_t /*handle*/, void* /*buffer*/, tmsize_t /*size*/) {
  return -1;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  TTiffSource& source = SourceOf(handle);
  try {
    const int64_t current = source.stream->Position() - source.origin;
    const auto signedOffset = static_cast<int64_t>(offset);
    int64_t target = signedOffset;
    if (whence == SEEK_CUR) target = current + signedOffset;
    if (whence == SEEK_END) target = source.size + signedOffset;
    if (target < 0) return static_cast<toff_t>(-1);
    source.stream->SetPosition(source.origin + target);
    return static_cast<toff_t>(target);
  } catch (const std::exception&) {
    return static_cast<toff_t>(-1);
  }
}

int CloseProc(thandle_t /*handle*/) {
  return 0;
}

toff_t SizeProc(thandle_t handle) {
  return static_cast<toff_t>(SourceOf(handle).size);
}

int MapProc(thandle_t /*handle*/, void** /*base*/, toff_t* /*size*/) {
  return 0;
}

void UnmapProc(thandle_t /*handle*/, void* /*base*/, toff_t /*size*/) {}

int KeepError(TIFF* /*tif*/, void* userData, const char* module, const char* format,
              va_list arguments) {
  char message[512] = {};
  std::vsnprintf(message, sizeof message, format, arguments);
  static_cast<TTiffSource*>(userData)->lastError =
      std::string(module ? module : "TIFF") + ": " + message;
  return 1;
}

int IgnoreWarning(TIFF* /*tif*/, void* /*userData*/, const char* /*module*/, const char* /*format*/,
                  va_list /*arguments*/) {
  return 1;
}

[[noreturn]] void Fail(const TTiffSource& source, const char* fallback) {
  throw ECodecError("TIFF: " +
                    (source.lastError.empty() ? std::string(fallback) : source.lastError));
}

struct TTiffCloser {
  void operator()(TIFF* tif) const { TIFFClose(tif); }
};

TIFF* Open(TTiffSource& source) {
  std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                       TIFFOpenOptionsFree);
  if (!options) throw ECodecError("TIFF: no reader");
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kMaxSingleAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), KeepError, &source);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreWarning, &source);
  // "m": libtiff must not try to map the stream into memory.
  TIFF* tif = TIFFClientOpenExt("picture", "rm", &source, ReadProc, WriteProc, SeekProc, CloseProc,
                                SizeProc, MapProc, UnmapProc, options.get());
  if (tif == nullptr) Fail(source, "not a TIFF file");
  return tif;
}

// libtiff delivers A, B, G, R from the top byte down; the bitmap wants A, R, G, B.
void SwapRedAndBlue(TColor32* pixels, uint32_t count) {
  for (TColor32* p = pixels; p != pixels + count; ++p) {
    const TColor32 c = *p;
    *p = (c & 0xFF00FF00u) | ((c >> 16) & 0xFFu) | ((c & 0xFFu) << 16);
  }
}

// The rows read at a time: whole strips or whole rows of tiles, so that each is decoded once.
uint32_t BandRows(TIFF* tif, uint32_t height) {
  uint32_t rows = 0;
  if (TIFFIsTiled(tif)) {
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &rows);
  } else {
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rows);
  }
  return std::clamp<uint32_t>(rows, 1, height);
}

// A band's rows in the bitmap's form, and libtiff's buffer of one decoded strip or tile (one per
// sample when samples lie in planes of their own).
int64_t BandBytes(TIFF* tif, uint32_t width, uint32_t bandRows) {
  uint16_t planar = PLANARCONFIG_CONTIG;
  uint16_t samples = 1;
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  const auto unit =
      static_cast<int64_t>(TIFFIsTiled(tif) ? TIFFTileSize64(tif) : TIFFStripSize64(tif));
  return int64_t{width} * bandRows * 4 + unit * (planar == PLANARCONFIG_SEPARATE ? samples : 1);
}

using TRgbaImageEnd = std::unique_ptr<TIFFRGBAImage, void (*)(TIFFRGBAImage*)>;

// What the header tells, checked as decoding needs it, with libtiff's converter to RGBA set up.
struct THeader {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t bandRows = 0;
  int orientation = kOrientationAsStored;
};

THeader ReadTiffHeader(TIFF* tif, const TTiffSource& source, TIFFRGBAImage& image,
                       TRgbaImageEnd& end) {
  THeader header;
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &header.width) ||
      !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &header.height)) {
    Fail(source, "no picture size");
  }
  CheckPictureSize("TIFF", header.width, header.height, source.size, kMaxPixelsPerByte);
  header.bandRows = BandRows(tif, header.height);
  if (BandBytes(tif, header.width, header.bandRows) > kMaxBandBytes) {
    throw ECodecError("TIFF: strips or tiles too large to read");
  }
  char message[1024] = {};
  if (!TIFFRGBAImageOK(tif, message) || !TIFFRGBAImageBegin(&image, tif, 1, message)) {
    throw ECodecError(std::string("TIFF: ") + message);
  }
  end.reset(&image);
  // libtiff can flip but not turn; reading the rows as stored and turning the result afterwards
  // handles all eight orientations alike.
  header.orientation = image.orientation;
  image.orientation = ORIENTATION_TOPLEFT;
  image.req_orientation = ORIENTATION_TOPLEFT;
  return header;
}

TTiffSource SourceFor(TStream& stream) {
  TTiffSource source;
  source.stream = &stream;
  source.origin = stream.Position();
  source.size = stream.Remaining();
  return source;
}

class TTiffReader final : public TPictureReader {
 public:
  explicit TTiffReader(TStream& stream) : TPictureReader(stream) {}

 protected:
  TPictureSize ReadShownSize() override {
    source_ = SourceFor(Stream());
    tif_.reset(Open(source_));
    header_ = ReadTiffHeader(tif_.get(), source_, image_, end_);
    const auto width = static_cast<int>(header_.width);
    const auto height = static_cast<int>(header_.height);
    if (OrientationSwapsAxes(header_.orientation)) return {height, width};
    return {width, height};
  }

  TBitmap32 DecodePixels(const TDecodeHint& hint) override {
    // Bands are reduced in the stored orientation as they come; the small result is turned.
    const uint32_t width = header_.width;
    TRowTarget target(static_cast<int>(width), static_cast<int>(header_.height), hint,
                      OrientationSwapsAxes(header_.orientation));
    std::vector<TColor32> band(size_t{width} * header_.bandRows);
    for (uint32_t top = 0; top < header_.height; top += header_.bandRows) {
      const uint32_t rows = std::min(header_.bandRows, header_.height - top);
      image_.row_offset = static_cast<int>(top);
      if (!TIFFRGBAImageGet(&image_, reinterpret_cast<uint32_t*>(band.data()), width, rows)) {
        Fail(source_, "cannot decode");
      }
      for (uint32_t y = 0; y < rows; ++y) {
        TColor32* row = band.data() + size_t{y} * width;
        SwapRedAndBlue(row, width);
        // libtiff premultiplies every alpha it delivers, also an unassociated one.
        if (image_.alpha != 0) Unpremultiply(row, width);
        target.AddRow(static_cast<int>(top + y), row);
      }
    }
    TBitmap32 decoded = target.Take();
    ApplyExifOrientation(decoded, header_.orientation);
    return decoded;
  }

 private:
  // libtiff keeps pointers to the source and the converter: the reader stays where it was made.
  TTiffSource source_;
  std::unique_ptr<TIFF, TTiffCloser> tif_;
  TIFFRGBAImage image_{};
  // Ends the converter before the file closes.
  TRgbaImageEnd end_{nullptr, TIFFRGBAImageEnd};
  THeader header_;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenTiffReader(TStream& stream) {
  return std::make_unique<TTiffReader>(stream);
}

}  // namespace nimbra
