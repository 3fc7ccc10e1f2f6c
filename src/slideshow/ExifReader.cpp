#include "slideshow/ExifReader.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <functional>

#include "slideshow/MetadataKeys.h"
#include "slideshow/MetadataText.h"
#include "storage/TextCase.h"
#include "storage/Windows1252.h"

namespace nimbra {

namespace {

constexpr uint16_t kTagDateTime = 0x0132;
constexpr uint16_t kTagExifOffset = 0x8769;
constexpr uint16_t kTagDateTimeOriginal = 0x9003;
constexpr uint16_t kTagUserComment = 0x9286;
constexpr uint16_t kTagInteroperabilityOffset = 0xA005;
// The Windows title, comments, author, keywords and subject: UTF-16 in BYTE values.
constexpr uint16_t kFirstWindowsTextTag = 0x9C9B;
constexpr uint16_t kLastWindowsTextTag = 0x9C9F;

enum : uint16_t {
  kTypeByte = 1,
  kTypeAscii = 2,
  kTypeShort = 3,
  kTypeLong = 4,
  kTypeRational = 5,
  kTypeSignedByte = 6,
  kTypeUndefined = 7,
  kTypeSignedShort = 8,
  kTypeSignedLong = 9,
  kTypeSignedRational = 10,
  kTypeFloat = 11,
  kTypeDouble = 12,
  kTypeIfd = 13,
};

constexpr size_t kEntrySize = 12;
constexpr size_t kUserCommentPrefix = 8;

// The TIFF structure with its byte order; reads are made only where Has said they fit.
class TTiffView {
 public:
  TTiffView(std::string_view bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

  bool BigEndian() const { return bigEndian_; }
  bool Has(uint64_t offset, uint64_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  uint8_t U8(uint64_t at) const { return static_cast<uint8_t>(bytes_[static_cast<size_t>(at)]); }
  uint16_t U16(uint64_t at) const { return static_cast<uint16_t>(Unsigned(at, 2)); }
  uint32_t U32(uint64_t at) const { return static_cast<uint32_t>(Unsigned(at, 4)); }
  uint64_t U64(uint64_t at) const { return Unsigned(at, 8); }
  std::string_view Bytes(uint64_t at, uint64_t count) const {
    return bytes_.substr(static_cast<size_t>(at), static_cast<size_t>(count));
  }

 private:
  uint64_t Unsigned(uint64_t at, int width) const {
    uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
      const uint64_t byte = U8(at + i);
      value = bigEndian_ ? (value << 8) | byte : value | (byte << (8 * i));
    }
    return value;
  }

  std::string_view bytes_;
  bool bigEndian_;
};

uint64_t TypeSize(uint16_t type) {
  switch (type) {
    case kTypeByte:
    case kTypeAscii:
    case kTypeSignedByte:
    case kTypeUndefined:
      return 1;
    case kTypeShort:
    case kTypeSignedShort:
      return 2;
    case kTypeLong:
    case kTypeSignedLong:
    case kTypeFloat:
    case kTypeIfd:
      return 4;
    case kTypeRational:
    case kTypeSignedRational:
    case kTypeDouble:
      return 8;
    default:
      return 0;
  }
}

// An entry whose value has been found to lie inside the structure.
struct TTiffEntry {
  uint16_t Tag;
  uint16_t Type;
  uint32_t Count;
  uint64_t ValueAt;
  std::string_view Value;
};

// Answers false to end the walk.
using TEntryVisitor = std::function<bool(const TTiffEntry&)>;

enum class TDirectoryKind { First, Exif, Interoperability };

// Walks IFD0 and the two directories reached from it. Each directory is read at most once, so an
// offset pointing back cannot make the walk go round; there are at most three directories of at
// most 65535 entries, so a hostile segment costs bounded time.
class TExifWalk {
 public:
  TExifWalk(const TTiffView& tiff, TEntryVisitor visit) : tiff_(tiff), visit_(std::move(visit)) {}

  // False when IFD0 cannot be read.
  bool Run(uint32_t firstDirectory) {
    if (!tiff_.Has(firstDirectory, 2)) return false;
    Directory(firstDirectory, TDirectoryKind::First);
    return true;
  }

 private:
  void Directory(uint32_t offset, TDirectoryKind kind) {
    if (std::find(visited_.begin(), visited_.end(), offset) != visited_.end()) return;
    visited_.push_back(offset);
    if (!tiff_.Has(offset, 2)) return;
    const uint16_t count = tiff_.U16(offset);
    for (uint64_t i = 0; i < count && !stopped_; ++i) {
      const uint64_t at = offset + 2 + i * kEntrySize;
      // A count promising more entries than there are bytes ends the directory where they end.
      if (!tiff_.Has(at, kEntrySize)) return;
      const std::optional<TTiffEntry> entry = Entry(at);
      if (!entry) continue;
      if (!visit_(*entry)) {
        stopped_ = true;
        return;
      }
      if (const std::optional<TDirectoryKind> next = PointsTo(kind, *entry)) {
        Directory(tiff_.U32(at + 8), *next);
      }
    }
  }

  // None for an unknown type or a value reaching outside the structure.
  std::optional<TTiffEntry> Entry(uint64_t at) const {
    TTiffEntry entry{tiff_.U16(at), tiff_.U16(at + 2), tiff_.U32(at + 4), 0, {}};
    const uint64_t unit = TypeSize(entry.Type);
    if (unit == 0) return std::nullopt;
    // At most 8 * (2^32 - 1): the product cannot overflow 64 bits.
    const uint64_t size = unit * entry.Count;
    entry.ValueAt = size <= 4 ? at + 8 : tiff_.U32(at + 8);
    if (!tiff_.Has(entry.ValueAt, size)) return std::nullopt;
    entry.Value = tiff_.Bytes(entry.ValueAt, size);
    return entry;
  }

  // The EXIF directory is reached only from IFD0 and the interoperability directory only from
  // the EXIF directory, as cameras write them.
  static std::optional<TDirectoryKind> PointsTo(TDirectoryKind kind, const TTiffEntry& entry) {
    if ((entry.Type != kTypeLong && entry.Type != kTypeIfd) || entry.Count != 1) {
      return std::nullopt;
    }
    if (kind == TDirectoryKind::First && entry.Tag == kTagExifOffset) return TDirectoryKind::Exif;
    if (kind == TDirectoryKind::Exif && entry.Tag == kTagInteroperabilityOffset) {
      return TDirectoryKind::Interoperability;
    }
    return std::nullopt;
  }

  const TTiffView& tiff_;
  TEntryVisitor visit_;
  std::vector<uint32_t> visited_;
  bool stopped_ = false;
};

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

// Walks the segment's directories; false when it has no readable IFD0.
bool WalkSegment(std::string_view segment,
                 const std::function<bool(const TTiffView&, const TTiffEntry&)>& visit) {
  const std::optional<std::string_view> bytes = TiffOf(segment);
  if (!bytes || bytes->size() < 8) return false;
  const std::string_view order = bytes->substr(0, 2);
  if (order != "MM" && order != "II") return false;
  const TTiffView tiff(*bytes, order == "MM");
  if (tiff.U16(2) != 42) return false;
  TExifWalk walk(tiff, [&](const TTiffEntry& entry) { return visit(tiff, entry); });
  return walk.Run(tiff.U32(4));
}

std::string UpToNul(std::string_view bytes) {
  return std::string(bytes.substr(0, bytes.find('\0')));
}

template <typename T>
void AppendNumber(std::string& out, T value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  out.append(buffer, end);
}

// One component of a numeric value at the position.
void AppendComponent(std::string& out, const TTiffView& tiff, uint16_t type, uint64_t at) {
  switch (type) {
    case kTypeByte:
    case kTypeUndefined:
      return AppendNumber(out, tiff.U8(at));
    case kTypeSignedByte:
      return AppendNumber(out, static_cast<int8_t>(tiff.U8(at)));
    case kTypeShort:
      return AppendNumber(out, tiff.U16(at));
    case kTypeSignedShort:
      return AppendNumber(out, static_cast<int16_t>(tiff.U16(at)));
    case kTypeLong:
    case kTypeIfd:
      return AppendNumber(out, tiff.U32(at));
    case kTypeSignedLong:
      return AppendNumber(out, static_cast<int32_t>(tiff.U32(at)));
    case kTypeRational:
      AppendNumber(out, tiff.U32(at));
      out += '/';
      return AppendNumber(out, tiff.U32(at + 4));
    case kTypeSignedRational:
      AppendNumber(out, static_cast<int32_t>(tiff.U32(at)));
      out += '/';
      return AppendNumber(out, static_cast<int32_t>(tiff.U32(at + 4)));
    case kTypeFloat:
      return AppendNumber(out, std::bit_cast<float>(tiff.U32(at)));
    case kTypeDouble:
      return AppendNumber(out, std::bit_cast<double>(tiff.U64(at)));
    default:
      return;
  }
}

std::string Numbers(const TTiffView& tiff, const TTiffEntry& entry, uint16_t type) {
  const uint64_t unit = TypeSize(type);
  std::string out;
  for (uint64_t i = 0; i < entry.Count; ++i) {
    if (i > 0) out += ' ';
    AppendComponent(out, tiff, type, entry.ValueAt + i * unit);
  }
  return out;
}

std::string TrimmedText(std::string_view bytes) {
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  const size_t end = text.find_last_not_of(' ');
  return MetadataText(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

// Version numbers ("0230") and similar codes are undefined bytes that are meant to be read.
bool IsPrintable(std::string_view bytes) {
  return !bytes.empty() && std::all_of(bytes.begin(), bytes.end(), [](char c) {
    return static_cast<uint8_t>(c) >= 0x20 && static_cast<uint8_t>(c) < 0x7F;
  });
}

std::string ValueText(const TTiffView& tiff, const TTiffEntry& entry) {
  if (entry.Tag == kTagUserComment && entry.Type == kTypeUndefined) {
    return DecodeUserComment(entry.Value, tiff.BigEndian());
  }
  if (entry.Tag >= kFirstWindowsTextTag && entry.Tag <= kLastWindowsTextTag &&
      entry.Type == kTypeByte) {
    // Always little-endian, whatever the structure's byte order.
    return UpToNul(Utf16Text(entry.Value, false));
  }
  if (entry.Type == kTypeAscii) return TrimmedText(entry.Value);
  if (entry.Type == kTypeUndefined) {
    const std::string_view bytes = entry.Value.substr(0, entry.Value.find_last_not_of('\0') + 1);
    if (IsPrintable(bytes)) return std::string(bytes);
  }
  return Numbers(tiff, entry, entry.Type);
}

}  // namespace

std::optional<TExifFields> ReadExifFields(std::string_view segment) {
  TExifFields fields;
  // The first value met of each tag wins.
  const bool read = WalkSegment(segment, [&](const TTiffView&, const TTiffEntry& entry) {
    if (entry.Tag == kTagDateTime && !fields.DateTime) {
      fields.DateTime = UpToNul(entry.Value);
    } else if (entry.Tag == kTagDateTimeOriginal && !fields.DateTimeOriginal) {
      fields.DateTimeOriginal = UpToNul(entry.Value);
    } else if (entry.Tag == kTagUserComment && !fields.UserComment) {
      fields.UserComment = std::string(entry.Value);
    }
    return true;
  });
  if (!read) return std::nullopt;
  fields.BigEndian = TiffOf(segment)->substr(0, 2) == "MM";
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
  const std::string text = prefix == std::string_view("UNICODE\0", kUserCommentPrefix)
                               ? Utf16Text(body, bigEndian)
                               : Windows1252ToUtf8(body);
  // Blanks and control characters are single bytes in UTF-8, so trimming bytes is safe.
  const auto isBlank = [](char c) { return static_cast<uint8_t>(c) <= 0x20; };
  const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
  return first < last ? std::string(first, last) : std::string();
}

std::vector<std::string_view> ExifKeys(std::string_view segment) {
  std::vector<std::string_view> keys;
  WalkSegment(segment, [&](const TTiffView&, const TTiffEntry& entry) {
    const std::string_view name = ExifTagName(entry.Tag);
    if (!name.empty()) keys.push_back(name);
    return true;
  });
  return keys;
}

std::string ExifValueText(std::string_view segment, std::string_view name) {
  std::string value;
  WalkSegment(segment, [&](const TTiffView& tiff, const TTiffEntry& entry) {
    const std::string_view tagName = ExifTagName(entry.Tag);
    if (tagName.empty() || !SameTextAscii(tagName, name)) return true;
    value = ValueText(tiff, entry);
    return false;
  });
  return value;
}

}  // namespace nimbra
