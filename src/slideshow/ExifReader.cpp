#include "slideshow/ExifReader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "storage/Windows1252.h"

namespace nimbra {

namespace {

constexpr uint16_t kTagDateTime = 0x0132;
constexpr uint16_t kTagExifOffset = 0x8769;
constexpr uint16_t kTagDateTimeOriginal = 0x9003;
constexpr uint16_t kTagUserComment = 0x9286;
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeIfd = 13;
constexpr size_t kEntrySize = 12;
// IFD0 and the EXIF directory are all that is read; the bound only guards against odd files.
constexpr size_t kMaxDirectories = 8;
constexpr size_t kUserCommentPrefix = 8;

// The TIFF structure with its byte order; reads are made only where Has said they fit.
class TTiffView {
 public:
  TTiffView(std::string_view bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

  bool Has(uint64_t offset, uint64_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  uint16_t U16(uint64_t at) const { return static_cast<uint16_t>(Unsigned(at, 2)); }
  uint32_t U32(uint64_t at) const { return static_cast<uint32_t>(Unsigned(at, 4)); }
  std::string_view Bytes(uint64_t at, uint64_t count) const {
    return bytes_.substr(static_cast<size_t>(at), static_cast<size_t>(count));
  }

 private:
  uint32_t Unsigned(uint64_t at, int width) const {
    uint32_t value = 0;
    for (int i = 0; i < width; ++i) {
      const auto byte = static_cast<uint8_t>(bytes_[static_cast<size_t>(at) + i]);
      value = bigEndian_ ? (value << 8) | byte : value | (uint32_t{byte} << (8 * i));
    }
    return value;
  }

  std::string_view bytes_;
  bool bigEndian_;
};

uint64_t TypeSize(uint16_t type) {
  switch (type) {
    case 1:
    case 2:
    case 6:
    case 7:
      return 1;  // bytes, ASCII, signed bytes, undefined
    case 3:
    case 8:
      return 2;  // shorts
    case 4:
    case 9:
    case 11:
    case 13:
      return 4;  // longs, float, directory
    case 5:
    case 10:
    case 12:
      return 8;  // rationals, double
    default:
      return 0;
  }
}

// The value bytes of the entry at the offset: in the entry when they fit in four bytes, otherwise
// where its offset points; none when they would reach outside the structure.
std::optional<std::string_view> ValueBytes(const TTiffView& tiff, uint64_t entry) {
  const uint64_t size = TypeSize(tiff.U16(entry + 2)) * tiff.U32(entry + 4);
  if (size == 0) return std::string_view();
  const uint64_t at = size <= 4 ? entry + 8 : tiff.U32(entry + 8);
  if (!tiff.Has(at, size)) return std::nullopt;
  return tiff.Bytes(at, size);
}

std::optional<std::string> AsciiValue(const TTiffView& tiff, uint64_t entry) {
  const std::optional<std::string_view> bytes = ValueBytes(tiff, entry);
  if (!bytes) return std::nullopt;
  return std::string(bytes->substr(0, bytes->find('\0')));
}

// The first value met of each tag wins.
void ReadEntry(const TTiffView& tiff, uint64_t entry, TExifFields& fields,
               std::vector<uint32_t>& pending) {
  switch (tiff.U16(entry)) {
    case kTagDateTime:
      if (!fields.DateTime) fields.DateTime = AsciiValue(tiff, entry);
      break;
    case kTagDateTimeOriginal:
      if (!fields.DateTimeOriginal) fields.DateTimeOriginal = AsciiValue(tiff, entry);
      break;
    case kTagUserComment:
      if (!fields.UserComment) {
        if (const auto bytes = ValueBytes(tiff, entry)) fields.UserComment = std::string(*bytes);
      }
      break;
    case kTagExifOffset: {
      const uint16_t type = tiff.U16(entry + 2);
      if ((type == kTypeLong || type == kTypeIfd) && tiff.U32(entry + 4) == 1) {
        pending.push_back(tiff.U32(entry + 8));
      }
      break;
    }
    default:
      break;
  }
}

// The TIFF structure behind the segment's length field and its six-byte "Exif" header.
std::optional<std::string_view> TiffOf(std::string_view segment) {
  if (segment.size() < 2) return std::nullopt;
  const size_t declared =
      (size_t{static_cast<uint8_t>(segment[0])} << 8) | static_cast<uint8_t>(segment[1]);
  if (declared < 2) return std::nullopt;
  const std::string_view body = segment.substr(2, declared - 2);
  if (body.size() < 6 || body.substr(0, 4) != "Exif") return std::nullopt;
  return body.substr(6);
}

}  // namespace

std::optional<TExifFields> ReadExifFields(std::string_view segment) {
  const std::optional<std::string_view> bytes = TiffOf(segment);
  if (!bytes || bytes->size() < 8) return std::nullopt;
  TExifFields fields;
  if (bytes->substr(0, 2) == "MM") {
    fields.BigEndian = true;
  } else if (bytes->substr(0, 2) != "II") {
    return std::nullopt;
  }
  const TTiffView tiff(*bytes, fields.BigEndian);
  if (tiff.U16(2) != 42) return std::nullopt;

  std::vector<uint32_t> pending{tiff.U32(4)};
  std::vector<uint32_t> visited;
  bool directoryRead = false;
  while (!pending.empty() && visited.size() < kMaxDirectories) {
    const uint32_t directory = pending.back();
    pending.pop_back();
    // A directory that points back at one already read is not read again.
    if (std::find(visited.begin(), visited.end(), directory) != visited.end()) continue;
    visited.push_back(directory);
    if (!tiff.Has(directory, 2)) continue;
    directoryRead = true;
    const uint16_t count = tiff.U16(directory);
    for (uint64_t i = 0; i < count; ++i) {
      const uint64_t entry = directory + 2 + i * kEntrySize;
      if (!tiff.Has(entry, kEntrySize)) break;
      ReadEntry(tiff, entry, fields, pending);
    }
  }
  if (!directoryRead) return std::nullopt;
  return fields;
}

std::string CaptureDateTimeText(const TExifFields& fields) {
  if (fields.DateTimeOriginal) return *fields.DateTimeOriginal;
  if (fields.DateTime) return *fields.DateTime;
  return {};
}

std::string DecodeUserComment(std::string_view bytes, bool bigEndian) {
  if (bytes.size() <= kUserCommentPrefix) return {};
  const std::string_view prefix = bytes.substr(0, kUserCommentPrefix);
  const std::string_view body = bytes.substr(kUserCommentPrefix);
  std::string text;
  if (prefix == std::string_view("UNICODE\0", kUserCommentPrefix)) {
    std::vector<char32_t> units;
    for (size_t i = 0; i + 1 < body.size(); i += 2) {
      const auto first = static_cast<uint8_t>(body[i]);
      const auto second = static_cast<uint8_t>(body[i + 1]);
      units.push_back(bigEndian ? (char32_t{first} << 8) | second
                                : (char32_t{second} << 8) | first);
    }
    for (size_t i = 0; i < units.size(); ++i) {
      const char32_t unit = units[i];
      const bool high = unit >= 0xD800 && unit <= 0xDBFF;
      if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
        AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00));
      } else {
        // A surrogate without its partner stands for nothing readable.
        AppendUtf8(text, unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit);
      }
    }
  } else {
    text = Windows1252ToUtf8(body);
  }
  // Blanks and control characters are single bytes in UTF-8, so trimming bytes is safe.
  const auto isBlank = [](char c) { return static_cast<uint8_t>(c) <= 0x20; };
  const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
  return first < last ? std::string(first, last) : std::string();
}

}  // namespace nimbra
