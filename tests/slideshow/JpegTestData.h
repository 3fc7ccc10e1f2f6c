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

// One entry of a directory as written: Data are the value bytes, already in the structure's byte
// order; they go into the entry when they fit in four bytes, behind the directories otherwise.
// Offset, when given, is written instead of the value's place.
struct TTiffTag {
  uint16_t Tag;
  uint16_t Type;
  uint32_t Count;
  std::string Data;
  std::optional<uint32_t> Offset;
};

// IFD0, the EXIF directory and the interoperability directory; the pointers to the last two are
// added at the end of the directory before them when they have entries.
struct TTiffDirectories {
  bool BigEndian = false;
  std::vector<TTiffTag> First;
  std::vector<TTiffTag> Exif;
  std::vector<TTiffTag> Interoperability;
};

std::string ExifPayload(const TTiffDirectories& directories);
// The values as unsigned numbers of the width (1, 2 or 4 bytes) in the byte order.
std::string Words(bool bigEndian, int width, const std::vector<uint32_t>& values);
// The segment as the record keeps it: the big-endian length (counting itself) and the payload.
std::string KeptSegment(const std::string& payload);
// 0xFF, the marker, the big-endian length (counting itself) and the payload.
std::string JpegSegment(uint8_t marker, const std::string& payload);
// The start-of-image marker, the segments, a start-of-scan segment with a few bytes of picture
// data, and the end-of-image marker.
std::string JpegFile(const std::vector<std::string>& segments);
// An IPTC dataset with a standard (16-bit) length.
std::string IptcDataset(uint8_t record, uint8_t dataset, const std::string& value);
// A resource block: "8BIM", the id, the Pascal name and the data, both padded to an even length.
std::string PhotoshopResource(uint16_t id, const std::string& name, const std::string& data);
// "Photoshop 3.0", a NUL and the resource blocks: the payload of an APP13 segment.
std::string IptcPayload(const std::vector<std::string>& resources);
inline constexpr uint16_t kIptcResource = 0x0404;

// A user comment with the ASCII character-code prefix.
std::string AsciiUserComment(const std::string& text);

inline constexpr uint8_t kApp0 = 0xE0;
inline constexpr uint8_t kApp1 = 0xE1;
inline constexpr uint8_t kApp13 = 0xED;
inline constexpr uint8_t kJpegComment = 0xFE;
inline constexpr uint8_t kQuantisationTable = 0xDB;

}  // namespace nimbra::test
