// Reads the few values the EXIF record is asked for out of a stored EXIF segment: the capture
// date-time texts and the user comment. The segment comes from a file anyone could have written,
// so every offset is checked against the segment and every directory is visited at most once.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nimbra {

struct TExifFields {
  // Texts in the EXIF form YYYY:MM:DD HH:MM:SS; absent when the segment has no such tag.
  std::optional<std::string> DateTimeOriginal;
  std::optional<std::string> DateTime;
  // The user comment's bytes, its 8-byte character-code prefix included.
  std::optional<std::string> UserComment;
  bool BigEndian = false;
};

// The fields of a segment as the record keeps it (its two-byte length field, "Exif", two bytes,
// the TIFF structure); none when it yields no readable directory.
std::optional<TExifFields> ReadExifFields(std::string_view segment);

// The capture date-time text: DateTimeOriginal when present, otherwise DateTime, otherwise empty.
std::string CaptureDateTimeText(const TExifFields& fields);

// A user comment as text: the prefix dropped, UTF-16 decoded when the prefix says "UNICODE"
// (otherwise the bytes are taken as Windows-1252), blanks and control characters trimmed.
std::string DecodeUserComment(std::string_view bytes, bool bigEndian);

}  // namespace nimbra
