#include "raster/HeifCodec.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "raster/CodecError.h"
#include "raster/CodecLimits.h"
#include "raster/CodecPixels.h"
#include "raster/RowTarget.h"
#include "storage/NimbraError.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

using THeifContext = std::unique_ptr<heif_context, decltype(&heif_context_free)>;
using THeifHandle = std::unique_ptr<heif_image_handle, decltype(&heif_image_handle_release)>;
using THeifImage = std::unique_ptr<heif_image, decltype(&heif_image_release)>;
using THeifOptions = std::unique_ptr<heif_decoding_options, decltype(&heif_decoding_options_free)>;

void Check(const heif_error& error) {
  if (error.code != heif_error_Ok) throw ECodecError(std::string("HEIF: ") + error.message);
}

// libheif refuses every item (the picture, its tiles, thumbnails, the pictures an overlay lays
// out) with a longer side; the picture itself is checked against the usual limits on top.
constexpr int kMaxItemSide = 16384;

// The decoder plug-ins register once per process; they stay for its life.
void InitialiseLibrary() {
  static const heif_error initialised = heif_init(nullptr);
  Check(initialised);
}

// libheif reads through these, asking first whether the file reaches as far as it wants: a box
// claiming more bytes than the file has is so found out before anything is read or allocated.
class THeifSource {
 public:
  explicit THeifSource(TStream& stream)
      : stream_(stream), origin_(stream.Position()), size_(stream.Remaining()) {}

  static const heif_reader& Reader() {
    static const heif_reader reader{1, Position, Read, Seek, WaitForSize};
    return reader;
  }

 private:
  static THeifSource& Self(void* userdata) { return *static_cast<THeifSource*>(userdata); }

  static int64_t Position(void* userdata) {
    THeifSource& self = Self(userdata);
    return self.stream_.Position() - self.origin_;
  }
  // A stream that fails (a package read under a lock) raises; libheif is C and gets an error.
  static int Read(void* data, size_t size, void* userdata) {
    try {
      const auto wanted = static_cast<int64_t>(size);
      return Self(userdata).stream_.Read(data, wanted) == wanted ? 0 : 1;
    } catch (const ENimbraError&) {
      return 1;
    }
  }
  static int Seek(int64_t position, void* userdata) {
    THeifSource& self = Self(userdata);
    if (position < 0 || position > self.size_) return 1;
    try {
      self.stream_.SetPosition(self.origin_ + position);
      return 0;
    } catch (const ENimbraError&) {
      return 1;
    }
  }
  static heif_reader_grow_status WaitForSize(int64_t targetSize, void* userdata) {
    return targetSize <= Self(userdata).size_ ? heif_reader_grow_status_size_reached
                                              : heif_reader_grow_status_size_beyond_eof;
  }

  TStream& stream_;
  int64_t origin_;
  int64_t size_;
};

TPictureSize SizeOf(const heif_image_handle* handle) {
  return {heif_image_handle_get_width(handle), heif_image_handle_get_height(handle)};
}

int64_t CodedPixels(const heif_image_handle* handle) {
  return int64_t{heif_image_handle_get_ispe_width(handle)} *
         heif_image_handle_get_ispe_height(handle);
}

// True when the sizes have the same proportions up to the rounding of the smaller.
bool SameProportions(const TPictureSize& a, const TPictureSize& b) {
  const int64_t cross = int64_t{a.Width} * b.Height - int64_t{a.Height} * b.Width;
  return std::abs(cross) <= std::max({a.Width, a.Height, b.Width, b.Height});
}

// The smallest thumbnail that covers the hint with the picture's proportions (a thumbnail turned
// otherwise than its picture would come out turned), or the picture itself.
THeifHandle ChooseSource(heif_image_handle* primary, const TDecodeHint& hint) {
  THeifHandle chosen(nullptr, heif_image_handle_release);
  if (hint.Empty()) return chosen;
  const TPictureSize shown = SizeOf(primary);
  const int count = std::min(heif_image_handle_get_number_of_thumbnails(primary), 16);
  std::vector<heif_item_id> ids(static_cast<size_t>(std::max(count, 0)));
  const int listed = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
  for (int i = 0; i < listed; ++i) {
    heif_image_handle* thumbnail = nullptr;
    if (heif_image_handle_get_thumbnail(primary, ids[size_t(i)], &thumbnail).code !=
        heif_error_Ok) {
      continue;
    }
    THeifHandle candidate(thumbnail, heif_image_handle_release);
    const TPictureSize size = SizeOf(thumbnail);
    const bool covers = size.Width >= hint.MinimumWidth && size.Height >= hint.MinimumHeight;
    // Whatever a thumbnail claims, it is decoded only when it is smaller than its picture.
    if (!covers || size.Width >= shown.Width || !SameProportions(size, shown) ||
        CodedPixels(thumbnail) > CodedPixels(primary)) {
      continue;
    }
    if (!chosen || size.Width < SizeOf(chosen.get()).Width) chosen = std::move(candidate);
  }
  return chosen;
}

// Rows of 8-bit R, G, B (and A) samples into B, G, R, A pixels, with straight alpha.
void AddRows(const heif_image* image, bool alpha, bool premultiplied, TRowTarget& target,
             const TPictureSize& size) {
  int stride = 0;
  const uint8_t* plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
  if (plane == nullptr || heif_image_get_width(image, heif_channel_interleaved) != size.Width ||
      heif_image_get_height(image, heif_channel_interleaved) != size.Height) {
    throw ECodecError("HEIF: the decoded picture differs from its header");
  }
  const int channels = alpha ? 4 : 3;
  for (int y = 0; y < size.Height; ++y) {
    const uint8_t* in = plane + int64_t{y} * stride;
    TColor32* out = target.Row(y);
    for (int x = 0; x < size.Width; ++x, in += channels) {
      out[x] = Color32(in[0], in[1], in[2], alpha ? in[3] : 255);
    }
    if (premultiplied) Unpremultiply(out, size.Width);
    target.RowDone();
  }
}

class THeifReader final : public TPictureReader {
 public:
  explicit THeifReader(TStream& stream)
      : TPictureReader(stream),
        source_(stream),
        context_(nullptr, heif_context_free),
        primary_(nullptr, heif_image_handle_release) {}

 protected:
  TPictureSize ReadShownSize() override {
    InitialiseLibrary();
    context_.reset(heif_context_alloc());
    if (!context_) throw std::bad_alloc();
    heif_context_set_maximum_image_size_limit(context_.get(), kMaxItemSide);
    Check(heif_context_read_from_reader(context_.get(), &THeifSource::Reader(), &source_, nullptr));
    heif_image_handle* primary = nullptr;
    Check(heif_context_get_primary_image_handle(context_.get(), &primary));
    primary_.reset(primary);
    const TPictureSize shown = SizeOf(primary);
    CheckPictureSize("HEIF", shown.Width, shown.Height, 0, 0);
    // libheif decodes the whole picture as coded (before cropping) before it hands it over.
    const int codedWidth = heif_image_handle_get_ispe_width(primary);
    const int codedHeight = heif_image_handle_get_ispe_height(primary);
    CheckPictureSize("HEIF", codedWidth, codedHeight, 0, 0);
    CheckWholePictureSize(codedWidth, codedHeight);
    // The canvas a grid or an overlay is composed on has a size of its own, which libheif checks
    // only against this limit when it decodes: it may be no larger than the picture's.
    heif_context_set_maximum_image_size_limit(context_.get(),
                                              std::max(codedWidth, codedHeight) + 1);
    return shown;
  }

  TBitmap32 DecodePixels(const TDecodeHint& hint) override {
    const THeifHandle thumbnail = ChooseSource(primary_.get(), hint);
    heif_image_handle* source = thumbnail ? thumbnail.get() : primary_.get();
    const bool alpha = heif_image_handle_has_alpha_channel(source) != 0;
    const THeifOptions options(heif_decoding_options_alloc(), heif_decoding_options_free);
    if (!options) throw std::bad_alloc();
    options->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    Check(heif_decode_image(source, &decoded, heif_colorspace_RGB,
                            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                            options.get()));
    const THeifImage image(decoded, heif_image_release);
    const TPictureSize size = SizeOf(source);
    TRowTarget target(size.Width, size.Height, hint, false, !alpha);
    AddRows(image.get(), alpha, heif_image_handle_is_premultiplied_alpha(source) != 0, target,
            size);
    return target.Take();
  }

 private:
  THeifSource source_;
  THeifContext context_;
  THeifHandle primary_;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenHeifReader(TStream& stream) {
  return std::make_unique<THeifReader>(stream);
}

}  // namespace nimbra
