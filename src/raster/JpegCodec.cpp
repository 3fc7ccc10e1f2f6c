#include "raster/JpegCodec.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "raster/CodecError.h"
#include "raster/CodecLimits.h"
#include "raster/CodecPixels.h"
#include "raster/ExifOrientation.h"
#include "raster/JpegStreams.h"
#include "raster/RowTarget.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

// Even a one-colour picture with tuned Huffman tables spends a bit on every 8 × 8 block of its
// first scan, which bounds a real JPEG at about 500 pixels per byte; four times that leaves room.
constexpr int64_t kMaxPixelsPerByte = 2048;
// A picture in several scans (every progressive one) is held whole as DCT coefficients, two bytes
// per sample whatever the DCT scaling. Up to this much is accepted: a progressive colour photo of
// 50 megapixels with the usual halved chroma, or 27 with full chroma.
constexpr int64_t kMaxCoefficientBytes = int64_t{160} * 1024 * 1024;
// libjpeg refuses to hold more than this in its whole-picture buffers; the room above the
// coefficients leaves a picture accepted by its header always decodable.
constexpr long kMaxLibraryMemory = 192L * 1024 * 1024;

class TDecompressor {
 public:
  explicit TDecompressor(TStream& stream) : source_(stream) {
    cinfo_.err = errors_.Install();
    jpeg_create_decompress(&cinfo_);
    cinfo_.mem->max_memory_to_use = kMaxLibraryMemory;
    source_.Attach(cinfo_);
  }
  ~TDecompressor() { jpeg_destroy_decompress(&cinfo_); }
  TDecompressor(const TDecompressor&) = delete;
  TDecompressor& operator=(const TDecompressor&) = delete;

  jpeg_decompress_struct& Info() { return cinfo_; }
  const TJpegStreamSource& Source() const { return source_; }

 private:
  TJpegErrorManager errors_;
  TJpegStreamSource source_;
  jpeg_decompress_struct cinfo_{};
};

int OrientationOf(const jpeg_decompress_struct& cinfo) {
  for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker; marker = marker->next) {
    if (marker->marker != JPEG_APP0 + 1) continue;
    const int orientation = ExifOrientation(marker->data, marker->data_length);
    if (orientation != kOrientationAsStored) return orientation;
  }
  return kOrientationAsStored;
}

int64_t RoundUp(int64_t value, int64_t step) {
  return (value + step - 1) / step * step;
}

void CheckCoefficientMemory(jpeg_decompress_struct& cinfo) {
  if (!jpeg_has_multiple_scans(&cinfo)) return;
  int64_t bytes = 0;
  for (int i = 0; i < cinfo.num_components; ++i) {
    const jpeg_component_info& c = cinfo.comp_info[i];
    // libjpeg pads each component's blocks to whole units of its sampling factors.
    bytes += RoundUp(c.width_in_blocks, c.h_samp_factor) *
             RoundUp(c.height_in_blocks, c.v_samp_factor) * DCTSIZE2 *
             static_cast<int64_t>(sizeof(JCOEF));
  }
  if (bytes > kMaxCoefficientBytes) {
    throw ECodecError("JPEG: a picture in several scans this large cannot be held: " +
                      std::to_string(cinfo.image_width) + "x" +
                      std::to_string(cinfo.image_height));
  }
}

// Reads the markers up to the first scan and refuses what decoding would refuse before it
// starts. Yields the picture's orientation.
int ReadJpegHeader(TDecompressor& decompressor, int64_t fileBytes) {
  jpeg_decompress_struct& cinfo = decompressor.Info();
  jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) throw ECodecError("JPEG: no picture");
  CheckPictureSize("JPEG", cinfo.image_width, cinfo.image_height, fileBytes, kMaxPixelsPerByte);
  CheckCoefficientMemory(cinfo);
  return OrientationOf(cinfo);
}

bool IsCmyk(J_COLOR_SPACE space) {
  return space == JCS_CMYK || space == JCS_YCCK;
}

// Adobe's writers store CMYK inverted (0 = full ink), and they are the ones that mark their
// files; without the marker the values are taken as ink amounts.
void ReadCmykRows(jpeg_decompress_struct& cinfo, TRowTarget& target) {
  const bool inverted = cinfo.saw_Adobe_marker;
  std::vector<JSAMPLE> row(static_cast<size_t>(cinfo.output_width) * 4);
  JSAMPROW rows[1] = {row.data()};
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) throw ECodecError("JPEG: no scan line");
    TColor32* out = target.Row(y);
    for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
      const JSAMPLE* p = row.data() + size_t{x} * 4;
      const auto paper = [inverted](JSAMPLE v) { return inverted ? uint32_t{v} : 255u - v; };
      const uint32_t k = paper(p[3]);
      const auto channel = [&](JSAMPLE v) {
        return static_cast<uint8_t>((paper(v) * k + 127) / 255);
      };
      out[x] = Color32(channel(p[0]), channel(p[1]), channel(p[2]));
    }
    target.RowDone();
  }
}

void ReadColourRows(jpeg_decompress_struct& cinfo, TRowTarget& target) {
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {
        reinterpret_cast<JSAMPROW>(target.Row(static_cast<int>(cinfo.output_scanline)))};
    if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) throw ECodecError("JPEG: no scan line");
    target.RowDone();
  }
}

}  // namespace

int JpegScaleDenominator(int width, int height, const TDecodeHint& hint, bool swapsAxes) {
  if (hint.Empty()) return 1;
  const int64_t needWidth = swapsAxes ? hint.MinimumHeight : hint.MinimumWidth;
  const int64_t needHeight = swapsAxes ? hint.MinimumWidth : hint.MinimumHeight;
  for (const int denominator : {8, 4, 2}) {
    const int64_t scaledWidth = (int64_t{width} + denominator - 1) / denominator;
    const int64_t scaledHeight = (int64_t{height} + denominator - 1) / denominator;
    if (scaledWidth >= needWidth && scaledHeight >= needHeight) return denominator;
  }
  return 1;
}

namespace {

class TJpegReader final : public TPictureReader {
 public:
  explicit TJpegReader(TStream& stream)
      : TPictureReader(stream), fileBytes_(stream.Remaining()), decompressor_(stream) {}

 protected:
  TPictureSize ReadShownSize() override {
    orientation_ = ReadJpegHeader(decompressor_, fileBytes_);
    const auto width = static_cast<int>(decompressor_.Info().image_width);
    const auto height = static_cast<int>(decompressor_.Info().image_height);
    if (OrientationSwapsAxes(orientation_)) return {height, width};
    return {width, height};
  }

  TBitmap32 DecodePixels(const TDecodeHint& hint) override {
    jpeg_decompress_struct& cinfo = decompressor_.Info();
    const bool swapsAxes = OrientationSwapsAxes(orientation_);
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(
        JpegScaleDenominator(static_cast<int>(cinfo.image_width),
                             static_cast<int>(cinfo.image_height), hint, swapsAxes));
    const bool cmyk = IsCmyk(cinfo.jpeg_color_space);
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&cinfo);
    // A progressive photo is read whole by now. Its data ending before an end marker means scans
    // are missing, even when the ones present were complete.
    if (jpeg_has_multiple_scans(&cinfo) && decompressor_.Source().DataEnded()) {
      throw ECodecError("JPEG: the data ends early");
    }

    // What the DCT scaling leaves above the hint is reduced row by row as the rows come, so that
    // the picture is never held larger than the caller can use.
    TRowTarget target(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                      hint, swapsAxes, true);
    if (cmyk) {
      ReadCmykRows(cinfo, target);
    } else {
      ReadColourRows(cinfo, target);
    }
    TBitmap32 decoded = target.Take();
    // The rest of the file (up to the end marker) holds nothing of the picture; it is not read.
    jpeg_abort_decompress(&cinfo);
    ApplyExifOrientation(decoded, orientation_);
    return decoded;
  }

 private:
  int64_t fileBytes_;
  TDecompressor decompressor_;
  int orientation_ = kOrientationAsStored;
};

}  // namespace

std::unique_ptr<TPictureReader> OpenJpegReader(TStream& stream) {
  return std::make_unique<TJpegReader>(stream);
}

}  // namespace nimbra
