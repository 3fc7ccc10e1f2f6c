#include "raster/JpegSegments.h"

#include "raster/CodecError.h"
#include "raster/JpegStreams.h"

namespace nimbra {

namespace {

constexpr int kKeptMarkers[] = {kJpegApp1Marker, kJpegApp13Marker};

class THeaderReader {
 public:
  explicit THeaderReader(TStream& stream) : source_(stream) {
    cinfo_.err = errors_.Install();
    jpeg_create_decompress(&cinfo_);
    source_.Attach(cinfo_);
  }
  ~THeaderReader() { jpeg_destroy_decompress(&cinfo_); }
  THeaderReader(const THeaderReader&) = delete;
  THeaderReader& operator=(const THeaderReader&) = delete;

  jpeg_decompress_struct& Info() { return cinfo_; }

 private:
  TJpegErrorManager errors_;
  TJpegStreamSource source_;
  jpeg_decompress_struct cinfo_{};
};

}  // namespace

std::vector<TJpegSegment> ReadJpegMetadataSegments(TStream& stream) {
  THeaderReader reader(stream);
  jpeg_decompress_struct& cinfo = reader.Info();
  for (const int marker : kKeptMarkers) {
    jpeg_save_markers(&cinfo, marker, kLargestJpegSegmentPayload);
  }
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) throw ECodecError("JPEG: no picture");
  std::vector<TJpegSegment> segments;
  for (jpeg_saved_marker_ptr saved = cinfo.marker_list; saved; saved = saved->next) {
    // libjpeg keeps what the file held of a segment cut short; such a segment is no longer whole.
    if (saved->data_length != saved->original_length) continue;
    segments.push_back({static_cast<uint8_t>(saved->marker),
                        std::string(reinterpret_cast<const char*>(saved->data),
                                    saved->data_length)});
  }
  return segments;
}

}  // namespace nimbra
