#include "raster/PngCodec.h"

#include <png.h>

#include <memory>
#include <string>
#include <vector>

#include "raster/CodecError.h"
#include "raster/CodecLimits.h"
#include "raster/CodecPixels.h"
#include "raster/RowTarget.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

// Deflate never expands more than 1032 to 1, so a file's compressed rows can hold at most that
// many times their size: a small file claiming a huge picture (a "PNG bomb") is refused up front.
constexpr int64_t kMaxDeflateRatio = 1032;
// Text and profile chunks are the only ones libpng allocates freely; photos never need more.
constexpr png_alloc_size_t kMaxChunkBytes = 16 * 1024 * 1024;
constexpr png_uint_32 kMaxAncillaryChunks = 1000;

[[noreturn]] void RaisePngError(png_structp /*png*/, png_const_charp message) {
  throw ECodecError(std::string("PNG: ") + message);
}

void IgnoreWarning(png_structp /*png*/, png_const_charp /*message*/) {}

void ReadFromStream(png_structp png, png_bytep data, size_t length) {
  auto* stream = static_cast<TStream*>(png_get_io_ptr(png));
  const auto wanted = static_cast<int64_t>(length);
  if (stream->Read(data, wanted) != wanted) png_error(png, "the data ends early");
}

class TPngLibrary {
 public:
  explicit TPngLibrary(TStream& stream) {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, RaisePngError, IgnoreWarning);
    if (png_ == nullptr) throw ECodecError("PNG: no reader");
    info_ = png_create_info_struct(png_);
    if (info_ == nullptr) {
      png_destroy_read_struct(&png_, nullptr, nullptr);
      throw ECodecError("PNG: no reader");
    }
    png_set_read_fn(png_, &stream, ReadFromStream);
    png_set_user_limits(png_, static_cast<png_uint_32>(kMaxPictureSide),
                        static_cast<png_uint_32>(kMaxPictureSide));
    png_set_chunk_malloc_max(png_, kMaxChunkBytes);
    png_set_chunk_cache_max(png_, kMaxAncillaryChunks);
  }
  ~TPngLibrary() { png_destroy_read_struct(&png_, &info_, nullptr); }
  TPngLibrary(const TPngLibrary&) = delete;
  TPngLibrary& operator=(const TPngLibrary&) = delete;

  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

// True for grey pictures without any transparency: their rows are read as one 8-bit sample a
// pixel and widened here, which saves libpng three passes over every row.
bool PlainGrey(png_structp png, png_infop info) {
  return png_get_color_type(png, info) == PNG_COLOR_TYPE_GRAY &&
         !png_get_valid(png, info, PNG_INFO_tRNS);
}

// Asks libpng for 8-bit samples: B, G, R, A, whatever the file stores, or for plain grey
// pictures (greyOnly) the grey sample alone.
void RequestSamples(png_structp png, png_infop info, bool greyOnly) {
  const png_byte colourType = png_get_color_type(png, info);
  const png_byte bitDepth = png_get_bit_depth(png, info);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_scale_16(png);
  if (greyOnly) return;
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(png);
  }
  png_set_bgr(png);
  // Opaque pictures get alpha 255 in the fourth byte; it is ignored when alpha is there already.
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
}

void CheckSignature(TStream& stream) {
  uint8_t signature[8] = {};
  if (stream.Read(signature, 8) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
    throw ECodecError("PNG: no PNG signature");
  }
}

// Reads the chunks before the picture data and refuses a picture the limits refuse or whose rows
// the rest of the file could not hold. Yields its size.
TPictureSize ReadInfo(png_structp png, png_infop info, int64_t dataBytes) {
  png_set_sig_bytes(png, 8);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  CheckPictureSize("PNG", width, height, 0, 0);
  // Each row is stored with a filter byte in front.
  const int64_t storedRowBytes =
      (int64_t{width} * png_get_channels(png, info) * png_get_bit_depth(png, info) + 7) / 8 + 1;
  CheckDataSize("PNG", storedRowBytes * height / kMaxDeflateRatio, dataBytes);
  return {static_cast<int>(width), static_cast<int>(height)};
}

void CheckLayout(png_structp png, png_infop info, int width, bool greyOnly) {
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * (greyOnly ? 1 : 4)) {
    throw ECodecError("PNG: unexpected layout");
  }
}

// Reads the next rows of a pass (or of the picture) into target.
void ReadRows(png_structp png, const TPictureSize& rows, bool greyOnly, TRowTarget& target) {
  std::vector<png_byte> grey(greyOnly ? static_cast<size_t>(rows.Width) : 0);
  for (int y = 0; y < rows.Height; ++y) {
    TColor32* row = target.Row(y);
    if (greyOnly) {
      png_read_row(png, grey.data(), nullptr);
      for (size_t x = 0; x < grey.size(); ++x) row[x] = 0xFF000000u | (grey[x] * 0x010101u);
    } else {
      png_read_row(png, reinterpret_cast<png_bytep>(row), nullptr);
    }
    target.RowDone();
  }
}

// Adam7's last pass holds every odd row whole; when the kept picture needs at most half the
// rows, those alone are reduced and the earlier passes are read past.
void ReadOddRows(png_structp png, const TPictureSize& size, bool greyOnly, TRowTarget& target) {
  std::vector<TColor32> skipped(static_cast<size_t>(size.Width));
  constexpr int kLastPass = 6;
  for (int pass = 0; pass < kLastPass; ++pass) {
    // libpng leaves out passes without pixels.
    if (PNG_PASS_COLS(size.Width, pass) == 0) continue;
    const auto rows = static_cast<int>(PNG_PASS_ROWS(size.Height, pass));
    for (int y = 0; y < rows; ++y) {
      png_read_row(png, reinterpret_cast<png_bytep>(skipped.data()), nullptr);
    }
  }
  const auto oddRows = static_cast<int>(PNG_PASS_ROWS(size.Height, kLastPass));
  ReadRows(png, {size.Width, oddRows}, greyOnly, target);
}

// The other interlaced pictures are read whole: the kept picture needs more than half their
// rows, so they are at most about four times its size.
TBitmap32 ReadWhole(png_structp png, const TPictureSize& size, const TDecodeHint& hint) {
  TBitmap32 whole;
  whole.SetSizeForOverwrite(size.Width, size.Height);
  std::vector<png_bytep> rows(static_cast<size_t>(size.Height));
  for (int y = 0; y < size.Height; ++y)
    rows[size_t(y)] = reinterpret_cast<png_bytep>(whole.ScanLine(y));
  png_read_image(png, rows.data());
  if (KeptSize(size.Width, size.Height, hint, false) == TReducedSize{size.Width, size.Height}) {
    return whole;
  }
  TRowTarget target(size.Width, size.Height, hint, false);
  for (int y = 0; y < size.Height; ++y) target.AddRow(y, whole.ScanLine(y));
  return target.Take();
}

class TPngReader final : public TPictureReader {
 public:
  explicit TPngReader(TStream& stream) : TPictureReader(stream) {}

 protected:
  TPictureSize ReadShownSize() override {
    TStream& stream = Stream();
    CheckSignature(stream);
    const int64_t dataBytes = stream.Remaining();
    library_ = std::make_unique<TPngLibrary>(stream);
    size_ = ReadInfo(library_->Png(), library_->Info(), dataBytes);
    return size_;
  }

  TBitmap32 DecodePixels(const TDecodeHint& hint) override {
    png_structp png = library_->Png();
    png_infop info = library_->Info();
    const bool interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    const int oddRows = size_.Height / 2;
    const TReducedSize kept = KeptSize(size_.Width, size_.Height, hint, false);
    // Interlaced pictures needing more than their odd rows are read whole, by libpng.
    if (interlaced && kept.Height > oddRows) {
      RequestSamples(png, info, false);
      png_set_interlace_handling(png);
      CheckLayout(png, info, size_.Width, false);
      return ReadWhole(png, size_, hint);
    }
    const bool greyOnly = PlainGrey(png, info);
    RequestSamples(png, info, greyOnly);
    CheckLayout(png, info, size_.Width, greyOnly);
    // Plain grey rows are opaque: the reducer need not look at their alpha.
    if (!interlaced) {
      TRowTarget target(size_.Width, size_.Height, kept, greyOnly);
      ReadRows(png, size_, greyOnly, target);
      return target.Take();
    }
    TRowTarget target(size_.Width, oddRows, kept, greyOnly);
    ReadOddRows(png, size_, greyOnly, target);
    return target.Take();
  }

 private:
  std::unique_ptr<TPngLibrary> library_;
  TPictureSize size_;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenPngReader(TStream& stream) {
  return std::make_unique<TPngReader>(stream);
}

}  // namespace nimbra
