// The PNG writer of PictureWriters.h.
#include <png.h>

#include <algorithm>
#include <string>
#include <vector>

#include "raster/CodecError.h"
#include "raster/CodecPixels.h"
#include "raster/PictureWriters.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

[[noreturn]] void RaisePngError(png_structp /*png*/, png_const_charp message) {
  throw ECodecError(std::string("PNG: ") + message);
}

void IgnoreWarning(png_structp /*png*/, png_const_charp /*message*/) {}

// The stream's own EWriteError passes through libpng like its errors do.
void WriteToStream(png_structp png, png_bytep data, size_t length) {
  static_cast<TStream*>(png_get_io_ptr(png))->WriteBuffer(data, static_cast<int64_t>(length));
}

void FlushStream(png_structp png) {
  static_cast<TStream*>(png_get_io_ptr(png))->Flush();
}

class TPngWriter {
 public:
  TPngWriter() {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, RaisePngError, IgnoreWarning);
    if (png_ == nullptr) throw ECodecError("PNG: no writer");
    info_ = png_create_info_struct(png_);
    if (info_ == nullptr) {
      png_destroy_write_struct(&png_, nullptr);
      throw ECodecError("PNG: no writer");
    }
  }
  ~TPngWriter() { png_destroy_write_struct(&png_, &info_); }
  TPngWriter(const TPngWriter&) = delete;
  TPngWriter& operator=(const TPngWriter&) = delete;

  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

}  // namespace

void SavePng(const TBitmap32& bitmap, TStream& stream) {
  if (bitmap.Empty()) throw ECodecError("PNG: nothing to write");
  const TColor32* begin = bitmap.Bits();
  const TColor32* end = begin + int64_t{bitmap.Width()} * bitmap.Height();
  const bool opaque = std::all_of(begin, end, [](TColor32 c) { return AlphaComponent(c) == 255; });

  TPngWriter writer;
  png_structp png = writer.Png();
  png_infop info = writer.Info();
  png_set_write_fn(png, &stream, WriteToStream, FlushStream);
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()),
               static_cast<png_uint_32>(bitmap.Height()), 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // The rows are B, G, R, A bytes in memory; an opaque picture leaves out the fourth.
  png_set_bgr(png);
  if (opaque) png_set_filler(png, 0, PNG_FILLER_AFTER);
  for (int y = 0; y < bitmap.Height(); ++y) {
    png_write_row(png, reinterpret_cast<png_const_bytep>(bitmap.ScanLine(y)));
  }
  png_write_end(png, nullptr);
}

}  // namespace nimbra
