#include "slideshow/JpegMetadataSegments.h"

#include <cstdint>

#include "storage/FalseOnFailure.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

constexpr uint8_t kMarkerPrefix = 0xFF;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kApp1 = 0xE1;
constexpr uint8_t kApp13 = 0xED;
constexpr uint8_t kComment = 0xFE;
constexpr int kMaxSegments = 20;
// Cameras put their EXIF segment right behind the start of the image.
constexpr int kLastExifSegment = 5;
// Files whose first segments hold no metadata are taken to have none.
constexpr int kSegmentsWithoutMetadata = 4;

uint8_t ReadByte(TStream& stream) {
  uint8_t byte = 0;
  stream.ReadBuffer(&byte, 1);
  return byte;
}

// Markers that stand alone, without a length: TEM and the restart markers.
bool IsStandalone(uint8_t marker) {
  return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

std::string ReadBytes(TStream& stream, int64_t count) {
  std::string bytes(static_cast<size_t>(count), '\0');
  stream.ReadBuffer(bytes.data(), count);
  return bytes;
}

// Raises the stream's read error when the data ends early.
bool ReadSegments(TStream& stream, TJpegMetadataSegments& segments) {
  if (ReadByte(stream) != kMarkerPrefix || ReadByte(stream) != kStartOfImage) return false;
  bool app1Met = false;
  bool iptcTaken = false;
  bool metadataMet = false;
  for (int index = 1; index <= kMaxSegments; ++index) {
    if (index > kSegmentsWithoutMetadata && !metadataMet) break;
    // One or more 0xFF bytes, then the marker code.
    if (ReadByte(stream) != kMarkerPrefix) return false;
    uint8_t marker = ReadByte(stream);
    while (marker == kMarkerPrefix) marker = ReadByte(stream);
    if (marker == kStartOfScan || marker == kEndOfImage) break;
    if (IsStandalone(marker)) continue;
    if (marker == 0x00) return false;

    const uint8_t high = ReadByte(stream);
    const uint8_t low = ReadByte(stream);
    const int64_t length = (int64_t{high} << 8) | low;
    // The length counts its own two bytes; a payload past the end is a cut-off file.
    if (length < 2 || length - 2 > stream.Remaining()) return false;
    const int64_t payload = length - 2;
    const std::string lengthField{static_cast<char>(high), static_cast<char>(low)};

    if (marker == kApp1 && !app1Met) {
      app1Met = true;
      if (index <= kLastExifSegment) {
        segments.Exif = lengthField + ReadBytes(stream, payload);
        metadataMet = true;
        continue;
      }
    } else if (marker == kApp13 && !iptcTaken) {
      iptcTaken = true;
      segments.Iptc = lengthField + ReadBytes(stream, payload);
      metadataMet = true;
      continue;
    } else if (marker == kComment) {
      // The last comment wins.
      segments.Comment = ReadBytes(stream, payload);
      if (!segments.Comment.empty() && segments.Comment.back() == '\0') segments.Comment.pop_back();
      metadataMet = true;
      continue;
    }
    stream.Seek(payload, SeekOrigin::Current);
  }
  return true;
}

}  // namespace

bool ReadJpegMetadataSegments(TStream& stream, TJpegMetadataSegments& segments) {
  segments = {};
  const bool read = FalseOnFailure([&] { return ReadSegments(stream, segments); });
  if (!read) segments = {};
  return read;
}

}  // namespace nimbra
