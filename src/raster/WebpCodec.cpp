#include "raster/WebpCodec.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <memory>
#include <string>
#include <vector>

#include "raster/CodecError.h"
#include "raster/CodecLimits.h"
#include "raster/ExifOrientation.h"
#include "raster/RowTarget.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

// libwebp decodes from memory, so the file is read whole. A photo at WebP's largest size
// (16383 × 16383) stays far below this even lossless; a longer file is no photo.
constexpr int64_t kMaxFileBytes = int64_t{256} * 1024 * 1024;
// libwebp's encoder writes a lossy picture of one colour in about 560 pixels a byte, the most
// any photo compresses to; beyond seven times that the file cannot hold the size it claims.
constexpr int64_t kMaxLossyPixelsPerByte = 4096;
// The format bits of WebPBitstreamFeatures.
constexpr int kLossless = 2;

std::string StatusText(VP8StatusCode status) {
  switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY:
      return "out of memory";
    case VP8_STATUS_INVALID_PARAM:
      return "invalid parameter";
    case VP8_STATUS_BITSTREAM_ERROR:
      return "damaged data";
    case VP8_STATUS_UNSUPPORTED_FEATURE:
      return "unsupported feature";
    case VP8_STATUS_NOT_ENOUGH_DATA:
      return "the data ends early";
    default:
      return "cannot decode";
  }
}

std::vector<uint8_t> ReadWholeFile(TStream& stream) {
  const int64_t size = stream.Remaining();
  if (size > kMaxFileBytes) throw ECodecError("WebP: the file is too long for a picture");
  std::vector<uint8_t> data(static_cast<size_t>(size));
  if (stream.Read(data.data(), size) != size) throw ECodecError("WebP: the data ends early");
  return data;
}

// The orientation its EXIF chunk names; writers store the block with or without the "Exif\0\0"
// prefix of JPEG's segment.
int OrientationOf(const std::vector<uint8_t>& file) {
  const WebPData data{file.data(), file.size()};
  const std::unique_ptr<WebPDemuxer, decltype(&WebPDemuxDelete)> demux(WebPDemux(&data),
                                                                       WebPDemuxDelete);
  if (!demux || (WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS) & EXIF_FLAG) == 0) {
    return kOrientationAsStored;
  }
  WebPChunkIterator chunk{};
  if (!WebPDemuxGetChunk(demux.get(), "EXIF", 1, &chunk)) return kOrientationAsStored;
  const int fromExif = ExifOrientation(chunk.chunk.bytes, chunk.chunk.size);
  const int orientation = fromExif != kOrientationAsStored
                              ? fromExif
                              : TiffOrientation(chunk.chunk.bytes, chunk.chunk.size);
  WebPDemuxReleaseChunkIterator(&chunk);
  return orientation;
}

class TWebpReader final : public TPictureReader {
 public:
  explicit TWebpReader(TStream& stream) : TPictureReader(stream) {}

 protected:
  TPictureSize ReadShownSize() override {
    file_ = ReadWholeFile(Stream());
    const VP8StatusCode status = WebPGetFeatures(file_.data(), file_.size(), &features_);
    if (status != VP8_STATUS_OK) throw ECodecError("WebP: " + StatusText(status));
    if (features_.has_animation) throw ECodecError("WebP: animations are not read");
    // The lossless coding describes a picture of one colour of any size in a few bytes, and its
    // decoder holds the whole picture while it decodes, whatever it outputs.
    const bool lossless = features_.format == kLossless;
    CheckPictureSize("WebP", features_.width, features_.height, static_cast<int64_t>(file_.size()),
                     lossless ? 0 : kMaxLossyPixelsPerByte);
    if (lossless) CheckWholePictureSize(features_.width, features_.height);
    orientation_ = OrientationOf(file_);
    if (OrientationSwapsAxes(orientation_)) return {features_.height, features_.width};
    return {features_.width, features_.height};
  }

  TBitmap32 DecodePixels(const TDecodeHint& hint) override {
    const TReducedSize kept =
        KeptSize(features_.width, features_.height, hint, OrientationSwapsAxes(orientation_));
    TBitmap32 bitmap;
    bitmap.SetSizeForOverwrite(kept.Width, kept.Height);
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) throw ECodecError("WebP: wrong library version");
    if (kept.Width != features_.width || kept.Height != features_.height) {
      config.options.use_scaling = 1;
      config.options.scaled_width = kept.Width;
      config.options.scaled_height = kept.Height;
    }
    // Straight into the bitmap: B, G, R, A bytes with alpha not premultiplied, like TColor32.
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = reinterpret_cast<uint8_t*>(bitmap.Bits());
    config.output.u.RGBA.stride = kept.Width * 4;
    config.output.u.RGBA.size = static_cast<size_t>(bitmap.ByteSize());
    const VP8StatusCode status = WebPDecode(file_.data(), file_.size(), &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) throw ECodecError("WebP: " + StatusText(status));
    file_ = {};
    ApplyExifOrientation(bitmap, orientation_);
    return bitmap;
  }

 private:
  std::vector<uint8_t> file_;
  WebPBitstreamFeatures features_{};
  int orientation_ = kOrientationAsStored;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenWebpReader(TStream& stream) {
  return std::make_unique<TWebpReader>(stream);
}

}  // namespace nimbra
