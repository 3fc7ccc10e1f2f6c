// JPEG files and EXIF structures built byte by byte for the metadata tests and the fuzz seeds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbra::test {

// The tags an EXIF structure of the tests can hold: DateTime in the first directory, the others in
// the EXIF directory it points to.
struct TTiffContent {
  bool BigEndian = false;
  std::optional<std::string> DateTime;
  std::optional<std::string> DateTimeOriginal;
  // The user comment's bytes, its 8-byte character-code prefix included.
  std::optional<std::string> UserComment;
};

// "Exif", two NUL bytes and the TIFF structure: the payload of an APP1 segment.
std::string ExifPayload(const TTiffContent& content);
// 0xFF, the marker, the big-endian length (counting itself) and the payload.
std::string JpegSegment(uint8_t marker, const std::string& payload);
// The start-of-image marker, the segments, a start-of-scan segment with a few bytes of picture
// data, and the end-of-image marker.
std::string JpegFile(const std::vector<std::string>& segments);
// A user comment with the ASCII character-code prefix.
std::string AsciiUserComment(const std::string& text);

inline constexpr uint8_t kApp0 = 0xE0;
inline constexpr uint8_t kApp1 = 0xE1;
inline constexpr uint8_t kApp13 = 0xED;
inline constexpr uint8_t kJpegComment = 0xFE;
inline constexpr uint8_t kQuantisationTable = 0xDB;

}  // namespace nimbra::test
