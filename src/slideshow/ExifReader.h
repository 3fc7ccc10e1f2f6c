// Reads a stored EXIF segment: the walk over its tags (IFD0, the EXIF directory and the
// interoperability directory) with each tag's name and value as text, and the few values the EXIF
// record is asked for directly, the capture date-time texts and the user comment. The segment comes
// from a file anyone could have written, so every offset and count is checked against the segment
// before it is used, and each directory is read at most once.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra {

struct TExifFields {
  // Texts in the EXIF form YYYY:MM:DD HH:MM:SS; absent when the segment has no such tag.
  std::optional<std::string> DateTimeOriginal;
  std::optional<std::string> DateTime;
  // The user comment's bytes, its 8-byte character-code prefix included.
  std::optional<std::string> UserComment;
  bool BigEndian = false;
};

// All functions below take the segment as the record keeps it: its two-byte length field, "Exif",
// two bytes, the TIFF structure.

// The fields of a segment; none when it yields no readable directory.
std::optional<TExifFields> ReadExifFields(std::string_view segment);

// The capture date-time text: DateTimeOriginal when present, otherwise DateTime, otherwise empty.
std::string CaptureDateTimeText(const TExifFields& fields);

// A user comment as text: the prefix dropped, UTF-16 decoded when the prefix says "UNICODE"
// (otherwise the bytes are taken as Windows-1252), blanks and control characters trimmed.
std::string DecodeUserComment(std::string_view bytes, bool bigEndian);

// The names (of the EXIF key table) of the segment's tags in the order the walk meets them: IFD0,
// with the EXIF directory's tags right after its pointer, and the interoperability directory's
// after its pointer in the EXIF directory. A tag the table does not name, of an unknown type or
// whose value lies outside the segment is left out; a name stands once for each tag bearing it.
// Empty when the segment yields no directory.
std::vector<std::string_view> ExifKeys(std::string_view segment);

// The value of the first tag of the walk whose name equals `name` without regard to case (the
// variable's key without its "EXIF"), as text; empty when there is none. Text values are cut at
// their first NUL with trailing blanks dropped and read as UTF-8 or else Windows-1252; numbers are
// decimal, rationals "numerator/denominator", several values separated by blanks; the user comment
// is decoded as ExifComment does, the Windows title, comment, author, keyword and subject tags as
// UTF-16, and other undefined bytes as text when they are printable ASCII, otherwise as numbers.
std::string ExifValueText(std::string_view segment, std::string_view name);

}  // namespace nimbra
