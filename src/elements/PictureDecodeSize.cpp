#include "elements/PictureDecodeSize.h"

#include <array>
#include <cstdint>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "elements/FitRect.h"
#include "raster/ExifOrientation.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {

constexpr uint8_t kMarkerStart = 0xFF;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kApp1 = 0xE1;
// A header is a few dozen segments; a file that keeps going is not worth reading further.
constexpr int kMaxSegments = 1024;

bool ReadBytes(TStream& stream, void* buffer, int64_t count) {
  return stream.Read(buffer, count) == count;
}

bool ReadByte(TStream& stream, uint8_t& value) { return ReadBytes(stream, &value, 1); }

// Frame headers of every coding process: C0 to CF without the table and extension markers.
bool IsFrameHeader(uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, without a length.
bool IsStandalone(uint8_t marker) {
  return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// The next marker code; fill bytes (0xFF runs) before it are skipped.
bool ReadMarker(TStream& stream, uint8_t& marker) {
  uint8_t byte = 0;
  if (!ReadByte(stream, byte) || byte != kMarkerStart) return false;
  do {
    if (!ReadByte(stream, byte)) return false;
  } while (byte == kMarkerStart);
  marker = byte;
  return true;
}

struct THeaderScan {
  std::optional<TPictureSize> Stored;
  int Orientation = kOrientationAsStored;
};

// Reads one segment's payload of the given length (its length field excluded) into the scan,
// or skips it. False when the stream ends inside it or its content is malformed.
bool TakeSegment(TStream& stream, uint8_t marker, int64_t length, THeaderScan& scan) {
  if (length > stream.Remaining()) return false;
  if (IsFrameHeader(marker) && !scan.Stored) {
    std::array<uint8_t, 5> frame{};  // precision, height, width
    if (length < int64_t{frame.size()} || !ReadBytes(stream, frame.data(), frame.size())) {
      return false;
    }
    const int height = (frame[1] << 8) | frame[2];
    const int width = (frame[3] << 8) | frame[4];
    // A height of 0 is given later in the data; such a file is left to the reader.
    if (width == 0 || height == 0) return false;
    scan.Stored = TPictureSize{width, height};
    length -= int64_t{frame.size()};
  } else if (marker == kApp1 && scan.Orientation == kOrientationAsStored) {
    // The length field holds 16 bits, so this stays below 64 KiB.
    std::vector<uint8_t> payload(static_cast<size_t>(length));
    if (!ReadBytes(stream, payload.data(), length)) return false;
    scan.Orientation = ExifOrientation(payload.data(), payload.size());
    return true;
  }
  stream.Seek(length, SeekOrigin::Current);
  return true;
}

}  // namespace

std::optional<TPictureSize> ReadJpegShownSize(TStream& stream) {
  try {
    std::array<uint8_t, 2> start{};
    if (!ReadBytes(stream, start.data(), 2) || start[0] != kMarkerStart ||
        start[1] != kStartOfImage) {
      return std::nullopt;
    }
    THeaderScan scan;
    for (int segment = 0; segment < kMaxSegments; ++segment) {
      uint8_t marker = 0;
      if (!ReadMarker(stream, marker)) break;
      if (marker == kStartOfScan || marker == kEndOfImage || marker == kStartOfImage) break;
      if (IsStandalone(marker)) continue;
      std::array<uint8_t, 2> lengthField{};
      if (!ReadBytes(stream, lengthField.data(), 2)) break;
      const int64_t length = ((lengthField[0] << 8) | lengthField[1]) - 2;
      if (length < 0 || !TakeSegment(stream, marker, length, scan)) return std::nullopt;
    }
    if (!scan.Stored) return std::nullopt;
    TPictureSize shown = *scan.Stored;
    if (OrientationSwapsAxes(scan.Orientation)) std::swap(shown.Width, shown.Height);
    return shown;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

TDecodeHint FittedDecodeHint(const TPictureSize& size, int boxWidth, int boxHeight, int factor) {
  const TPixelRect fitted = FitRect(size.Width, size.Height, {0, 0, boxWidth, boxHeight});
  return {factor * fitted.Width(), factor * fitted.Height()};
}

}  // namespace nimbra
