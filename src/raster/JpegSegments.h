// The application segments of a JPEG file that describe the photo rather than its pixels: EXIF
// and XMP (APP1) and IPTC (APP13). A photo written anew from its pixels carries them over
// unchanged, so that its metadata stays as the camera and the user left it. Colour profiles
// (APP2) are left behind: the pixels are written anew as RGB, which a CMYK profile would misname.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nimbra {

class TStream;

// A segment's length field holds 16 bits and counts itself.
inline constexpr unsigned kLargestJpegSegmentPayload = 0xFFFF - 2;

inline constexpr uint8_t kJpegApp1Marker = 0xE1;
inline constexpr uint8_t kJpegApp13Marker = 0xED;

struct TJpegSegment {
  uint8_t Marker = 0;  // 0xE0 + n for APPn
  std::string Data;    // the payload, without the marker and the length
  bool operator==(const TJpegSegment&) const = default;
};

// The APP1 and APP13 segments before the first scan, in the order of the file. Reads from
// the stream's position; raises ECodecError when the bytes are no JPEG header.
std::vector<TJpegSegment> ReadJpegMetadataSegments(TStream& stream);

}  // namespace nimbra
