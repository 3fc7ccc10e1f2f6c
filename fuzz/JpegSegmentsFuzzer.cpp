// libFuzzer target for taking a photo's EXIF and IPTC segments over when nimbra-kit album reduces
// it: arbitrary bytes raise ECodecError or give APP1 and APP13 segments that fit the format's
// length field and, together, the data they were read from.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "raster/CodecError.h"
#include "raster/JpegSegments.h"
#include "storage/MemoryStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  nimbra::TMemoryStream stream(std::string_view(reinterpret_cast<const char*>(data), size));
  std::vector<nimbra::TJpegSegment> segments;
  try {
    segments = nimbra::ReadJpegMetadataSegments(stream);
  } catch (const nimbra::ECodecError&) {
    return 0;
  }
  size_t total = 0;
  for (const nimbra::TJpegSegment& segment : segments) {
    if (segment.Marker != nimbra::kJpegApp1Marker && segment.Marker != nimbra::kJpegApp13Marker) {
      std::abort();
    }
    if (segment.Data.size() > nimbra::kLargestJpegSegmentPayload) std::abort();
    total += segment.Data.size() + 4;
  }
  if (total > size) std::abort();
  return 0;
}
