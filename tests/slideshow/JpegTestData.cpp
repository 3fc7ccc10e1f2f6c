#include "JpegTestData.h"

#include <utility>

namespace nimbra::test {

namespace {

constexpr uint16_t kTagDateTime = 0x0132;
constexpr uint16_t kTagExifOffset = 0x8769;
constexpr uint16_t kTagDateTimeOriginal = 0x9003;
constexpr uint16_t kTagUserComment = 0x9286;
constexpr uint16_t kTypeAscii = 2;
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeUndefined = 7;

class TTiffWriter {
 public:
  explicit TTiffWriter(bool bigEndian) : bigEndian_(bigEndian) {}

  void Put16(std::string& out, uint32_t value) const { Put(out, value, 2); }
  void Put32(std::string& out, uint32_t value) const { Put(out, value, 4); }

 private:
  void Put(std::string& out, uint32_t value, int width) const {
    for (int i = 0; i < width; ++i) {
      const int shift = bigEndian_ ? 8 * (width - 1 - i) : 8 * i;
      out += static_cast<char>((value >> shift) & 0xFF);
    }
  }

  bool bigEndian_;
};

struct TEntry {
  uint16_t Tag;
  uint16_t Type;
  std::string Data;  // the value bytes; for the EXIF directory pointer, empty
};

// One directory at the offset, with values that do not fit into an entry placed at dataOffset.
std::string Directory(const TTiffWriter& writer, const std::vector<TEntry>& entries,
                      uint32_t exifDirectory, uint32_t& dataOffset, std::string& data) {
  std::string out;
  writer.Put16(out, static_cast<uint32_t>(entries.size()));
  for (const TEntry& entry : entries) {
    writer.Put16(out, entry.Tag);
    writer.Put16(out, entry.Type);
    if (entry.Tag == kTagExifOffset) {
      writer.Put32(out, 1);
      writer.Put32(out, exifDirectory);
      continue;
    }
    writer.Put32(out, static_cast<uint32_t>(entry.Data.size()));
    if (entry.Data.size() <= 4) {
      out += entry.Data + std::string(4 - entry.Data.size(), '\0');
    } else {
      writer.Put32(out, dataOffset);
      data += entry.Data;
      if (entry.Data.size() % 2 != 0) data += '\0';
      dataOffset += static_cast<uint32_t>(entry.Data.size() + entry.Data.size() % 2);
    }
  }
  writer.Put32(out, 0);  // no next directory
  return out;
}

uint32_t DirectorySize(size_t entries) {
  return static_cast<uint32_t>(2 + 12 * entries + 4);
}

}  // namespace

std::string ExifPayload(const TTiffContent& content) {
  const TTiffWriter writer(content.BigEndian);
  std::vector<TEntry> first;
  std::vector<TEntry> exif;
  if (content.DateTime) first.push_back({kTagDateTime, kTypeAscii, *content.DateTime + '\0'});
  if (content.DateTimeOriginal) {
    exif.push_back({kTagDateTimeOriginal, kTypeAscii, *content.DateTimeOriginal + '\0'});
  }
  if (content.UserComment) exif.push_back({kTagUserComment, kTypeUndefined, *content.UserComment});
  if (!exif.empty()) first.push_back({kTagExifOffset, kTypeLong, {}});

  const uint32_t firstOffset = 8;
  const uint32_t exifOffset = firstOffset + DirectorySize(first.size());
  uint32_t dataOffset = exifOffset + (exif.empty() ? 0 : DirectorySize(exif.size()));
  std::string data;
  std::string tiff = content.BigEndian ? "MM" : "II";
  writer.Put16(tiff, 42);
  writer.Put32(tiff, firstOffset);
  tiff += Directory(writer, first, exifOffset, dataOffset, data);
  if (!exif.empty()) tiff += Directory(writer, exif, 0, dataOffset, data);
  return std::string("Exif\0\0", 6) + tiff + data;
}

std::string JpegSegment(uint8_t marker, const std::string& payload) {
  const size_t length = payload.size() + 2;
  std::string out{'\xFF', static_cast<char>(marker)};
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

std::string AsciiUserComment(const std::string& text) {
  return std::string("ASCII\0\0\0", 8) + text;
}

}  // namespace nimbra::test
