#include "JpegTestData.h"

#include <utility>

namespace nimbra::test {

namespace {

constexpr uint16_t kTagDateTime = 0x0132;
constexpr uint16_t kTagExifOffset = 0x8769;
constexpr uint16_t kTagDateTimeOriginal = 0x9003;
constexpr uint16_t kTagUserComment = 0x9286;
constexpr uint16_t kTagInteroperabilityOffset = 0xA005;
constexpr uint16_t kTypeAscii = 2;
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeUndefined = 7;

// One directory at its offset, with values that do not fit into an entry placed at dataOffset.
std::string Directory(bool bigEndian, const std::vector<TTiffTag>& entries, uint32_t& dataOffset,
                      std::string& data) {
  std::string out = Words(bigEndian, 2, {static_cast<uint32_t>(entries.size())});
  for (const TTiffTag& entry : entries) {
    out += Words(bigEndian, 2, {entry.Tag, entry.Type});
    out += Words(bigEndian, 4, {entry.Count});
    if (entry.Offset) {
      out += Words(bigEndian, 4, {*entry.Offset});
    } else if (entry.Data.size() <= 4) {
      out += entry.Data + std::string(4 - entry.Data.size(), '\0');
    } else {
      out += Words(bigEndian, 4, {dataOffset});
      data += entry.Data;
      if (entry.Data.size() % 2 != 0) data += '\0';
      dataOffset += static_cast<uint32_t>(entry.Data.size() + entry.Data.size() % 2);
    }
  }
  out += Words(bigEndian, 4, {0});  // no next directory
  return out;
}

uint32_t DirectorySize(size_t entries) {
  return static_cast<uint32_t>(2 + 12 * entries + 4);
}

}  // namespace

std::string Words(bool bigEndian, int width, const std::vector<uint32_t>& values) {
  std::string out;
  for (const uint32_t value : values) {
    for (int i = 0; i < width; ++i) {
      const int shift = bigEndian ? 8 * (width - 1 - i) : 8 * i;
      out += static_cast<char>((value >> shift) & 0xFF);
    }
  }
  return out;
}

std::string ExifPayload(const TTiffDirectories& directories) {
  const bool bigEndian = directories.BigEndian;
  std::vector<TTiffTag> first = directories.First;
  std::vector<TTiffTag> exif = directories.Exif;
  const std::vector<TTiffTag>& interoperability = directories.Interoperability;
  if (!interoperability.empty()) exif.push_back({kTagInteroperabilityOffset, kTypeLong, 1, {}, 0});
  if (!exif.empty()) first.push_back({kTagExifOffset, kTypeLong, 1, {}, 0});

  const uint32_t firstOffset = 8;
  const uint32_t exifOffset = firstOffset + DirectorySize(first.size());
  const uint32_t interoperabilityOffset =
      exifOffset + (exif.empty() ? 0 : DirectorySize(exif.size()));
  if (!exif.empty()) first.back().Offset = exifOffset;
  if (!interoperability.empty()) exif.back().Offset = interoperabilityOffset;

  uint32_t dataOffset = interoperabilityOffset +
                        (interoperability.empty() ? 0 : DirectorySize(interoperability.size()));
  std::string data;
  std::string tiff = bigEndian ? "MM" : "II";
  tiff += Words(bigEndian, 2, {42});
  tiff += Words(bigEndian, 4, {firstOffset});
  tiff += Directory(bigEndian, first, dataOffset, data);
  if (!exif.empty()) tiff += Directory(bigEndian, exif, dataOffset, data);
  if (!interoperability.empty()) tiff += Directory(bigEndian, interoperability, dataOffset, data);
  return std::string("Exif\0\0", 6) + tiff + data;
}

std::string ExifPayload(const TTiffContent& content) {
  TTiffDirectories directories;
  directories.BigEndian = content.BigEndian;
  const auto ascii = [](uint16_t tag, const std::string& text) {
    return TTiffTag{tag, kTypeAscii, static_cast<uint32_t>(text.size() + 1), text + '\0', {}};
  };
  if (content.DateTime) directories.First.push_back(ascii(kTagDateTime, *content.DateTime));
  if (content.DateTimeOriginal) {
    directories.Exif.push_back(ascii(kTagDateTimeOriginal, *content.DateTimeOriginal));
  }
  if (content.UserComment) {
    directories.Exif.push_back({kTagUserComment,
                                kTypeUndefined,
                                static_cast<uint32_t>(content.UserComment->size()),
                                *content.UserComment,
                                {}});
  }
  return ExifPayload(directories);
}

std::string JpegSegment(uint8_t marker, const std::string& payload) {
  return std::string{'\xFF', static_cast<char>(marker)} + KeptSegment(payload);
}

std::string KeptSegment(const std::string& payload) {
  const size_t length = payload.size() + 2;
  std::string out;
  out += static_cast<char>((length >> 8) & 0xFF);
  out += static_cast<char>(length & 0xFF);
  return out + payload;
}

std::string JpegFile(const std::vector<std::string>& segments) {
  std::string file = "\xFF\xD8";
  for (const std::string& segment : segments) file += segment;
  file += JpegSegment(0xDA, std::string("\x01\x01\x00\x00\x3F\x00", 6));
  file += "\x12\x34\x56";
  file += "\xFF\xD9";
  return file;
}

std::string IptcDataset(uint8_t record, uint8_t dataset, const std::string& value) {
  return std::string{'\x1C', static_cast<char>(record), static_cast<char>(dataset)} +
         Words(true, 2, {static_cast<uint32_t>(value.size())}) + value;
}

std::string PhotoshopResource(uint16_t id, const std::string& name, const std::string& data) {
  std::string out = "8BIM" + Words(true, 2, {id});
  out += static_cast<char>(name.size());
  out += name;
  if (name.size() % 2 == 0) out += '\0';
  out += Words(true, 4, {static_cast<uint32_t>(data.size())}) + data;
  if (data.size() % 2 != 0) out += '\0';
  return out;
}

std::string IptcPayload(const std::vector<std::string>& resources) {
  std::string out("Photoshop 3.0\0", 14);
  for (const std::string& resource : resources) out += resource;
  return out;
}

std::string AsciiUserComment(const std::string& text) {
  return std::string("ASCII\0\0\0", 8) + text;
}

}  // namespace nimbra::test
