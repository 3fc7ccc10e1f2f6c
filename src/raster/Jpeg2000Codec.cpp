#include "raster/Jpeg2000Codec.h"

#include <openjpeg.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "raster/CodecError.h"
#include "raster/CodecLimits.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

// Wavelet code blocks of a flat picture shrink to a few bits; the bound is as loose as TIFF's.
constexpr int64_t kMaxPixelsPerByte = 8192;
constexpr OPJ_SIZE_T kBlockSize = 64 * 1024;
constexpr uint32_t kMaxComponents = 4;
constexpr uint32_t kMaxPrecision = 31;
// Decoding costs memory by the samples decoded (OpenJPEG holds each as a 32-bit number) and time
// by the compressed data it decodes, about three quarters of which belongs to the finest level
// left, each level having four times the samples of the one below. A picture is decoded at a
// level within both budgets: 24 million samples (an RGB picture of 8 megapixels, 96 MB) and an
// estimated 8 MiB of code stream (about 2 s of decoding).
constexpr int64_t kMaxDecodedSamples = 24'000'000;
constexpr int64_t kMaxDecodedBytes = int64_t{8} << 20;
// The most resolution levels a code stream can have, less one.
constexpr uint32_t kMaxFactor = 32;
constexpr uint8_t kJp2Signature[] = {0, 0, 0, 0x0C, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
constexpr uint8_t kCodeStreamSignature[] = {0xFF, 0x4F, 0xFF, 0x51};

struct TOpjSource {
  TStream* stream = nullptr;
  int64_t origin = 0;
  int64_t size = 0;
  std::string lastError;
};

OPJ_SIZE_T ReadProc(void* buffer, OPJ_SIZE_T count, void* user) {
  auto* source = static_cast<TOpjSource*>(user);
  try {
    const int64_t n = source->stream->Read(buffer, static_cast<int64_t>(count));
    return n > 0 ? static_cast<OPJ_SIZE_T>(n) : static_cast<OPJ_SIZE_T>(-1);
  } catch (const std::exception&) {
    return static_cast<OPJ_SIZE_T>(-1);
  }
}

bool MoveTo(TOpjSource& source, int64_t position) {
  if (position < 0 || position > source.size) return false;
  try {
    source.stream->SetPosition(source.origin + position);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

OPJ_OFF_T SkipProc(OPJ_OFF_T count, void* user) {
  auto* source = static_cast<TOpjSource*>(user);
  int64_t current = 0;
  try {
    current = source->stream->Position() - source->origin;
  } catch (const std::exception&) {
    return -1;
  }
  return MoveTo(*source, current + count) ? count : -1;
}

OPJ_BOOL SeekProc(OPJ_OFF_T position, void* user) {
  return MoveTo(*static_cast<TOpjSource*>(user), position) ? OPJ_TRUE : OPJ_FALSE;
}

void KeepError(const char* message, void* user) {
  std::string& last = static_cast<TOpjSource*>(user)->lastError;
  last = message ? message : "";
  while (!last.empty() && (last.back() == '\n' || last.back() == ' ')) last.pop_back();
}

void IgnoreMessage(const char* /*message*/, void* /*user*/) {}

[[noreturn]] void Fail(const TOpjSource& source, const char* fallback) {
  throw ECodecError("JPEG 2000: " +
                    (source.lastError.empty() ? std::string(fallback) : source.lastError));
}

OPJ_CODEC_FORMAT DetectFormat(TStream& stream, int64_t origin) {
  uint8_t head[sizeof kJp2Signature] = {};
  const int64_t n = stream.Read(head, sizeof head);
  stream.SetPosition(origin);
  if (n == sizeof head && std::memcmp(head, kJp2Signature, sizeof kJp2Signature) == 0) {
    return OPJ_CODEC_JP2;
  }
  if (n >= 4 && std::memcmp(head, kCodeStreamSignature, sizeof kCodeStreamSignature) == 0) {
    return OPJ_CODEC_J2K;
  }
  throw ECodecError("JPEG 2000: no JP2 or J2K signature");
}

// OpenJPEG's stream and codec handles have the same type, so each needs a deleter of its own.
struct TStreamDeleter {
  void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};
struct TCodecDeleter {
  void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct TImageDeleter {
  void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};

uint32_t CeilDivPow2(uint32_t value, uint32_t power) {
  return static_cast<uint32_t>((uint64_t{value} + (uint64_t{1} << power) - 1) >> power);
}

// The pixels decoded: the picture's area on the reference grid, at full resolution (factor 0)
// or with `factor` resolution levels left out, each halving both sides (rounding up).
struct TGrid {
  uint32_t x0 = 0;
  uint32_t y0 = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t factor = 0;
};

TGrid GridAt(const opj_image_t& image, uint32_t factor) {
  const uint32_t x0 = CeilDivPow2(image.x0, factor);
  const uint32_t y0 = CeilDivPow2(image.y0, factor);
  return {x0, y0, CeilDivPow2(image.x1, factor) - x0, CeilDivPow2(image.y1, factor) - y0, factor};
}

// Reads one component's samples, widened or narrowed to 8 bits, at the picture's pixels.
class TComponentReader {
 public:
  TComponentReader(const TGrid& grid, const opj_image_comp_t& component)
      : component_(component), columns_(grid.width), rows_(grid.height) {
    // Reduced resolutions are only decoded when no component is subsampled: pixel and sample
    // then coincide.
    const bool reduced = grid.factor > 0;
    for (size_t x = 0; x < columns_.size(); ++x) {
      columns_[x] = reduced ? Index(x, 1, 0, component.w)
                            : Index(grid.x0 + x, component.dx, component.x0, component.w);
    }
    for (size_t y = 0; y < rows_.size(); ++y) {
      rows_[y] = reduced ? Index(y, 1, 0, component.h)
                         : Index(grid.y0 + y, component.dy, component.y0, component.h);
    }
  }

  uint8_t operator()(uint32_t row, size_t x) const {
    const size_t y = rows_[row];
    int64_t v = component_.data[y * component_.w + columns_[x]];
    const uint32_t prec = component_.prec;
    if (component_.sgnd) v += int64_t{1} << (prec - 1);
    if (prec > 8) v >>= prec - 8;
    if (prec < 8) v = v * 255 / ((int64_t{1} << prec) - 1);
    return static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
  }

 private:
  // Subsampled components cover the picture with fewer samples; each pixel takes the sample
  // whose area holds it.
  static size_t Index(uint64_t coordinate, uint32_t step, uint32_t first, uint32_t count) {
    const int64_t i = static_cast<int64_t>(coordinate / step) - first;
    return static_cast<size_t>(std::clamp<int64_t>(i, 0, int64_t{count} - 1));
  }

  const opj_image_comp_t& component_;
  std::vector<size_t> columns_;
  std::vector<size_t> rows_;
};

void CheckComponents(const opj_image_t& image, bool decoded) {
  if (image.numcomps == 0 || image.numcomps > kMaxComponents) {
    throw ECodecError("JPEG 2000: unsupported number of components");
  }
  for (uint32_t i = 0; i < image.numcomps; ++i) {
    const opj_image_comp_t& c = image.comps[i];
    if (c.prec == 0 || c.prec > kMaxPrecision || c.dx == 0 || c.dy == 0) {
      throw ECodecError("JPEG 2000: unsupported component");
    }
    if (decoded && (c.data == nullptr || c.w == 0 || c.h == 0)) {
      throw ECodecError("JPEG 2000: a component was not decoded");
    }
  }
}

uint8_t Clamp8(double v) {
  return static_cast<uint8_t>(std::clamp(v + 0.5, 0.0, 255.0));
}

TColor32 YccToRgb(int y, int cb, int cr, uint8_t alpha) {
  return Color32(Clamp8(y + 1.402 * (cr - 128)),
                 Clamp8(y - 0.344136 * (cb - 128) - 0.714136 * (cr - 128)),
                 Clamp8(y + 1.772 * (cb - 128)), alpha);
}

void Convert(const opj_image_t& image, const TGrid& grid, TBitmap32& bitmap) {
  const uint32_t n = image.numcomps;
  std::vector<TComponentReader> readers;
  readers.reserve(n);
  for (uint32_t i = 0; i < n; ++i) readers.emplace_back(grid, image.comps[i]);
  const bool grey = n <= 2;
  const bool cmyk = n == 4 && image.color_space == OPJ_CLRSPC_CMYK;
  const bool ycc = n >= 3 && image.color_space == OPJ_CLRSPC_SYCC;
  const int alphaIndex = n == 2 ? 1 : (n == 4 && !cmyk ? 3 : -1);
  for (int y = 0; y < bitmap.Height(); ++y) {
    TColor32* out = bitmap.ScanLine(y);
    const auto row = static_cast<uint32_t>(y);
    for (size_t x = 0; x < static_cast<size_t>(bitmap.Width()); ++x) {
      const uint8_t alpha =
          alphaIndex >= 0 ? readers[static_cast<size_t>(alphaIndex)](row, x) : 255;
      const uint8_t c0 = readers[0](row, x);
      if (grey) {
        out[x] = Color32(c0, c0, c0, alpha);
        continue;
      }
      const uint8_t c1 = readers[1](row, x);
      const uint8_t c2 = readers[2](row, x);
      if (cmyk) {
        const uint32_t k = 255u - readers[3](row, x);
        const auto ink = [k](uint8_t c) { return static_cast<uint8_t>((255u - c) * k / 255); };
        out[x] = Color32(ink(c0), ink(c1), ink(c2));
      } else if (ycc) {
        out[x] = YccToRgb(c0, c1, c2, alpha);
      } else {
        out[x] = Color32(c0, c1, c2, alpha);
      }
    }
  }
}

bool Subsampled(const opj_image_t& image) {
  for (uint32_t i = 0; i < image.numcomps; ++i) {
    if (image.comps[i].dx != 1 || image.comps[i].dy != 1) return true;
  }
  return false;
}

// The resolution factor to decode at: the largest whose grid still covers the hint, or a larger
// one where that would exceed the budgets. Raises when even the smallest resolution the code
// stream has (or, with subsampled components, the full one) exceeds them.
uint32_t ChooseFactor(opj_codec_t* codec, const opj_image_t& image, const TDecodeHint& hint,
                      int64_t codeStreamBytes) {
  const auto fits = [&](uint32_t factor) {
    const TGrid grid = GridAt(image, factor);
    const int64_t bytes = factor >= 16 ? 0 : codeStreamBytes >> (2 * factor);
    return int64_t{grid.width} * grid.height * image.numcomps <= kMaxDecodedSamples &&
           bytes <= kMaxDecodedBytes;
  };
  const auto covers = [&](uint32_t factor) {
    const TGrid grid = GridAt(image, factor);
    return int64_t{grid.width} >= hint.MinimumWidth && int64_t{grid.height} >= hint.MinimumHeight;
  };
  uint32_t factor = 0;
  if (!Subsampled(image)) {
    while (factor < kMaxFactor && ((!hint.Empty() && covers(factor + 1)) || !fits(factor))) {
      ++factor;
    }
    // OpenJPEG refuses factors beyond the levels the code stream has.
    while (factor > 0 && !opj_set_decoded_resolution_factor(codec, factor)) --factor;
  }
  if (!fits(factor)) throw ECodecError("JPEG 2000: picture too large to decode");
  return factor;
}

// The reader of a stream with its header read and checked. OpenJPEG keeps a pointer to the
// source: the structure stays where it was made.
struct TCodeStream {
  TOpjSource source;
  std::unique_ptr<opj_stream_t, TStreamDeleter> input;
  std::unique_ptr<opj_codec_t, TCodecDeleter> codec;
  std::unique_ptr<opj_image_t, TImageDeleter> image;
};

void Open(TStream& stream, TCodeStream& code) {
  TOpjSource& source = code.source;
  source.stream = &stream;
  source.origin = stream.Position();
  source.size = stream.Remaining();
  const OPJ_CODEC_FORMAT format = DetectFormat(stream, source.origin);

  code.input.reset(opj_stream_create(kBlockSize, OPJ_TRUE));
  code.codec.reset(opj_create_decompress(format));
  opj_stream_t* input = code.input.get();
  opj_codec_t* codec = code.codec.get();
  if (!input || !codec) throw ECodecError("JPEG 2000: no reader");
  opj_stream_set_user_data(input, &source, nullptr);
  opj_stream_set_user_data_length(input, static_cast<OPJ_UINT64>(source.size));
  opj_stream_set_read_function(input, ReadProc);
  opj_stream_set_skip_function(input, SkipProc);
  opj_stream_set_seek_function(input, SeekProc);
  opj_set_error_handler(codec, KeepError, &source);
  opj_set_warning_handler(codec, IgnoreMessage, nullptr);
  opj_set_info_handler(codec, IgnoreMessage, nullptr);

  opj_dparameters_t parameters;
  opj_set_default_decoder_parameters(&parameters);
  if (!opj_setup_decoder(codec, &parameters)) Fail(source, "cannot set up the decoder");
  // Like the other readers, a truncated code stream is refused rather than shown half decoded.
  opj_decoder_set_strict_mode(codec, OPJ_TRUE);

  opj_image_t* header = nullptr;
  const bool headerRead = opj_read_header(input, codec, &header);
  code.image.reset(header);
  if (!headerRead || !header) Fail(source, "cannot read the header");
  if (header->x1 <= header->x0 || header->y1 <= header->y0) {
    throw ECodecError("JPEG 2000: empty picture");
  }
  CheckPictureSize("JPEG 2000", int64_t{header->x1} - header->x0, int64_t{header->y1} - header->y0,
                   source.size, kMaxPixelsPerByte);
  CheckComponents(*header, false);
  // Refused here when even the lowest resolution is beyond the budgets; the hint may still ask
  // for less.
  ChooseFactor(codec, *header, {}, source.size);
}

class TJpeg2000Reader final : public TPictureReader {
 public:
  explicit TJpeg2000Reader(TStream& stream) : TPictureReader(stream) {}

 protected:
  TPictureSize ReadShownSize() override {
    Open(Stream(), code_);
    const TGrid grid = GridAt(*code_.image, 0);
    return {static_cast<int>(grid.width), static_cast<int>(grid.height)};
  }

  TBitmap32 DecodePixels(const TDecodeHint& hint) override {
    opj_image_t& image = *code_.image;
    const uint32_t factor = ChooseFactor(code_.codec.get(), image, hint, code_.source.size);
    if (!opj_decode(code_.codec.get(), code_.input.get(), &image) ||
        !opj_end_decompress(code_.codec.get(), code_.input.get())) {
      Fail(code_.source, "cannot decode");
    }
    // A palette box turns one stored component into three or four.
    CheckComponents(image, true);
    const TGrid grid = GridAt(image, factor);
    TBitmap32 decoded(static_cast<int>(grid.width), static_cast<int>(grid.height));
    Convert(image, grid, decoded);
    return decoded;
  }

 private:
  TCodeStream code_;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenJpeg2000Reader(TStream& stream) {
  return std::make_unique<TJpeg2000Reader>(stream);
}

}  // namespace nimbra
