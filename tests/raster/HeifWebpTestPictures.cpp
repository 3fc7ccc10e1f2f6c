#include "HeifWebpTestPictures.h"

#include <libheif/heif.h>
#include <webp/encode.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "CodecTestPictures.h"
#include "raster/ExifOrientation.h"

namespace nimbra::test {

namespace {

void Require(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

void Require(const heif_error& error) {
  if (error.code != heif_error_Ok) throw std::runtime_error(error.message);
}

std::string Chunk(std::string_view fourCc, const std::string& payload) {
  TBytes chunk;
  chunk.Raw(std::string(fourCc)).U32(static_cast<uint32_t>(payload.size())).Raw(payload);
  if (payload.size() % 2 != 0) chunk.U8(0);
  return chunk.Str();
}

// The simple file's image chunk in an extended file with an EXIF chunk after it.
std::string WithExifChunk(const std::string& simple, const TBitmap32& picture, int orientation) {
  TBytes header;
  header.U8(0x08).Zeros(3);  // the EXIF flag; no alpha, as the simple file's chunk has none
  const auto u24 = [&](int v) { header.U8(v & 0xFF).U8((v >> 8) & 0xFF).U8(v >> 16); };
  u24(picture.Width() - 1);
  u24(picture.Height() - 1);
  const std::string body = "WEBP" + Chunk("VP8X", header.Str()) + simple.substr(12) +
                           Chunk("EXIF", ExifTiffBlock(orientation));
  return TBytes().Raw("RIFF").U32(static_cast<uint32_t>(body.size())).Raw(body).Str();
}

// The orientation that turns a picture in the given one back: only the quarter turns differ.
int InverseOrientation(int orientation) {
  return orientation == 6 ? 8 : orientation == 8 ? 6 : orientation;
}

heif_error HeifWrite(heif_context* /*context*/, const void* data, size_t size, void* userdata) {
  static_cast<std::string*>(userdata)->append(static_cast<const char*>(data), size);
  return {heif_error_Ok, heif_suberror_Unspecified, ""};
}

using THeifImage = std::unique_ptr<heif_image, decltype(&heif_image_release)>;

// The picture as libheif's RGBA image, turned back so that the orientation turns it upright.
THeifImage HeifImage(const TBitmap32& upright, int orientation) {
  TBitmap32 stored = upright;
  ApplyExifOrientation(stored, InverseOrientation(orientation));
  heif_image* rawImage = nullptr;
  Require(heif_image_create(stored.Width(), stored.Height(), heif_colorspace_RGB,
                            heif_chroma_interleaved_RGBA, &rawImage));
  THeifImage image(rawImage, heif_image_release);
  Require(heif_image_add_plane(image.get(), heif_channel_interleaved, stored.Width(),
                               stored.Height(), 8));
  int stride = 0;
  uint8_t* plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
  for (int y = 0; y < stored.Height(); ++y) {
    for (int x = 0; x < stored.Width(); ++x) {
      const TColor32 c = stored.Pixel(x, y);
      uint8_t* out = plane + y * stride + x * 4;
      out[0] = RedComponent(c);
      out[1] = GreenComponent(c);
      out[2] = BlueComponent(c);
      out[3] = AlphaComponent(c);
    }
  }
  return image;
}

}  // namespace

TBitmap32 ColourBlocks(int width, int height) {
  TBitmap32 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bitmap.SetPixel(x, y, kBlockColours[(y >= height / 2 ? 2 : 0) + (x >= width / 2 ? 1 : 0)]);
    }
  }
  return bitmap;
}

int ChannelDifference(TColor32 a, TColor32 b) {
  int largest = 0;
  for (const int shift : {0, 8, 16, 24}) {
    largest = std::max(largest, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  }
  return largest;
}

int BlockColourError(const TBitmap32& bitmap) {
  int largest = 0;
  for (int block = 0; block < 4; ++block) {
    const int x = bitmap.Width() * (block % 2 == 0 ? 1 : 3) / 4;
    const int y = bitmap.Height() * (block < 2 ? 1 : 3) / 4;
    largest = std::max(largest, ChannelDifference(bitmap.Pixel(x, y), kBlockColours[block]));
  }
  return largest;
}

std::string WebpBytes(const TBitmap32& upright, const TWebpOptions& options) {
  TBitmap32 picture = upright;
  ApplyExifOrientation(picture, InverseOrientation(options.exifOrientation));
  const auto* bgra = reinterpret_cast<const uint8_t*>(picture.Bits());
  const int stride = picture.Width() * 4;
  uint8_t* output = nullptr;
  const size_t size =
      options.lossless
          ? WebPEncodeLosslessBGRA(bgra, picture.Width(), picture.Height(), stride, &output)
          : WebPEncodeBGRA(bgra, picture.Width(), picture.Height(), stride,
                           static_cast<float>(options.quality), &output);
  Require(size > 0, "WebP encoding failed");
  std::string bytes(reinterpret_cast<const char*>(output), size);
  WebPFree(output);
  if (options.exifOrientation == 0) return bytes;
  return WithExifChunk(bytes, picture, options.exifOrientation);
}

std::string HeifBytes(const TBitmap32& picture, const THeifOptions& options) {
  const std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(),
                                                                            heif_context_free);
  heif_encoder* rawEncoder = nullptr;
  Require(heif_context_get_encoder_for_format(
      context.get(), options.av1 ? heif_compression_AV1 : heif_compression_HEVC, &rawEncoder));
  const std::unique_ptr<heif_encoder, decltype(&heif_encoder_release)> encoder(
      rawEncoder, heif_encoder_release);
  Require(heif_encoder_set_lossy_quality(encoder.get(), options.quality));
  const THeifImage image = HeifImage(picture, options.orientation);
  const std::unique_ptr<heif_encoding_options, decltype(&heif_encoding_options_free)> encoding(
      heif_encoding_options_alloc(), heif_encoding_options_free);
  encoding->save_alpha_channel = 0;
  encoding->image_orientation = static_cast<heif_orientation>(options.orientation);
  heif_image_handle* handle = nullptr;
  Require(heif_context_encode_image(context.get(), image.get(), encoder.get(), encoding.get(),
                                    &handle));
  if (options.thumbnailSize > 0) {
    const THeifImage other = options.thumbnail.Empty()
                                 ? THeifImage(nullptr, heif_image_release)
                                 : HeifImage(options.thumbnail, options.orientation);
    Require(heif_context_encode_thumbnail(context.get(), other ? other.get() : image.get(), handle,
                                          encoder.get(), encoding.get(), options.thumbnailSize,
                                          nullptr));
  }
  if (options.exifOrientation > 0) {
    // libheif finds the TIFF header and writes the offset HEIF keeps in front of it.
    const std::string exif = ExifTiffBlock(options.exifOrientation);
    Require(heif_context_add_exif_metadata(context.get(), handle, exif.data(),
                                           static_cast<int>(exif.size())));
  }
  heif_image_handle_release(handle);
  std::string bytes;
  heif_writer writer{1, HeifWrite};
  Require(heif_context_write(context.get(), &writer, &bytes));
  return bytes;
}

}  // namespace nimbra::test

// The HEVC encoder keeps blocks of its own until the process ends; libheif's plug-in never asks
// it to let go of them.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libx265.so\n";
}
