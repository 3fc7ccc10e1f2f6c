#include "raster/TiffCodec.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>

#include "raster/CodecError.h"
#include "raster/CodecLimits.h"
#include "raster/CodecPixels.h"
#include "raster/ExifOrientation.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

// TIFF's compressions (fax codes of blank lines, deflate, LZW) can shrink far beyond the ratios
// of photos, so this bound is looser than the JPEG one; it still keeps a few bytes from claiming
// a gigapixel picture.
constexpr int64_t kMaxPixelsPerByte = 8192;
constexpr tmsize_t kMaxSingleAllocation = tmsize_t{256} * 1024 * 1024;

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

using TRgbaImageEnd = std::unique_ptr<TIFFRGBAImage, void (*)(TIFFRGBAImage*)>;

// What the header tells, checked as decoding needs it, with libtiff's converter to RGBA set up.
struct THeader {
  uint32_t width = 0;
  uint32_t height = 0;
  int orientation = kOrientationAsStored;
};

THeader ReadHeader(TIFF* tif, const TTiffSource& source, TIFFRGBAImage& image,
                   TRgbaImageEnd& end) {
  THeader header;
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &header.width) ||
      !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &header.height)) {
    Fail(source, "no picture size");
  }
  CheckPictureSize("TIFF", header.width, header.height, source.size, kMaxPixelsPerByte);
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

}  // namespace

TPictureSize TTiffGraphic::ReadShownSize(TStream& stream) {
  TTiffSource source = SourceFor(stream);
  const std::unique_ptr<TIFF, TTiffCloser> tif(Open(source));
  TIFFRGBAImage image{};
  TRgbaImageEnd end(nullptr, TIFFRGBAImageEnd);
  const THeader header = ReadHeader(tif.get(), source, image, end);
  const auto width = static_cast<int>(header.width);
  const auto height = static_cast<int>(header.height);
  if (OrientationSwapsAxes(header.orientation)) return {height, width};
  return {width, height};
}

void TTiffGraphic::Decode(TStream& stream, TBitmap32& bitmap) {
  TTiffSource source = SourceFor(stream);
  const std::unique_ptr<TIFF, TTiffCloser> tif(Open(source));
  TIFFRGBAImage image{};
  TRgbaImageEnd end(nullptr, TIFFRGBAImageEnd);
  const THeader header = ReadHeader(tif.get(), source, image, end);

  TBitmap32 decoded(static_cast<int>(header.width), static_cast<int>(header.height));
  if (!TIFFRGBAImageGet(&image, reinterpret_cast<uint32_t*>(decoded.Bits()), header.width,
                        header.height)) {
    Fail(source, "cannot decode");
  }
  for (int y = 0; y < decoded.Height(); ++y) {
    TColor32* row = decoded.ScanLine(y);
    SwapRedAndBlue(row, header.width);
    // libtiff premultiplies every alpha it delivers, also an unassociated one.
    if (image.alpha != 0) Unpremultiply(row, header.width);
  }
  ApplyExifOrientation(decoded, header.orientation);
  bitmap = std::move(decoded);
}

}  // namespace nimbra
