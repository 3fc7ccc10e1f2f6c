// The JPEG writer of PictureWriters.h.
#include <algorithm>
#include <string_view>

#include "raster/CodecError.h"
#include "raster/CodecPixels.h"
#include "raster/JpegStreams.h"
#include "raster/PictureWriters.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

// From this quality on, halving the colour resolution would spoil more than the quality buys.
constexpr int kFullColourQuality = 90;

class TCompressor {
 public:
  explicit TCompressor(TStream& stream) : destination_(stream) {
    cinfo_.err = errors_.Install();
    jpeg_create_compress(&cinfo_);
    destination_.Attach(cinfo_);
  }
  ~TCompressor() { jpeg_destroy_compress(&cinfo_); }
  TCompressor(const TCompressor&) = delete;
  TCompressor& operator=(const TCompressor&) = delete;

  jpeg_compress_struct& Info() { return cinfo_; }

 private:
  TJpegErrorManager errors_;
  TJpegStreamDestination destination_;
  jpeg_compress_struct cinfo_{};
};

bool IsExifSegment(const TJpegSegment& segment) {
  return segment.Marker == kJpegApp1Marker &&
         segment.Data.starts_with(std::string_view("Exif\0\0", 6));
}

}  // namespace

void SaveJpeg(const TBitmap32& bitmap, TStream& stream, int quality) {
  SaveJpeg(bitmap, stream, quality, {});
}

void SaveJpeg(const TBitmap32& bitmap, TStream& stream, int quality,
              const std::vector<TJpegSegment>& segments) {
  if (bitmap.Empty()) throw ECodecError("JPEG: nothing to write");
  if (bitmap.Width() > JPEG_MAX_DIMENSION || bitmap.Height() > JPEG_MAX_DIMENSION) {
    throw ECodecError("JPEG: picture too large for the format");
  }
  TCompressor compressor(stream);
  jpeg_compress_struct& cinfo = compressor.Info();
  cinfo.image_width = static_cast<JDIMENSION>(bitmap.Width());
  cinfo.image_height = static_cast<JDIMENSION>(bitmap.Height());
  // The rows are handed over as they lie in memory: B, G, R and an ignored alpha byte.
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  quality = std::clamp(quality, 1, 100);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (quality >= kFullColourQuality) {
    for (int i = 0; i < cinfo.num_components; ++i) {
      cinfo.comp_info[i].h_samp_factor = 1;
      cinfo.comp_info[i].v_samp_factor = 1;
    }
  }
  cinfo.write_JFIF_header = std::ranges::none_of(segments, IsExifSegment) ? TRUE : FALSE;
  jpeg_start_compress(&cinfo, TRUE);
  for (const TJpegSegment& segment : segments) {
    if (segment.Data.size() > kLargestJpegSegmentPayload) {
      throw ECodecError("JPEG: a segment too long for the format");
    }
    jpeg_write_marker(&cinfo, segment.Marker,
                      reinterpret_cast<const JOCTET*>(segment.Data.data()),
                      static_cast<unsigned>(segment.Data.size()));
  }
  while (cinfo.next_scanline < cinfo.image_height) {
    // libjpeg does not write through the row pointer; its interface merely lacks const.
    JSAMPROW row[1] = {reinterpret_cast<JSAMPROW>(
        const_cast<TColor32*>(bitmap.ScanLine(static_cast<int>(cinfo.next_scanline))))};
    jpeg_write_scanlines(&cinfo, row, 1);
  }
  jpeg_finish_compress(&cinfo);
}

}  // namespace nimbra
