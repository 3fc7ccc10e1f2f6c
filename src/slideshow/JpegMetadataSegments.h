// Finds the metadata segments at the head of a JPEG file: the EXIF segment (APP1), the IPTC
// segment (APP13) and the comment. Only the segments before the picture data are looked at, and
// only a handful of them, so a photo's metadata costs a few small reads however large the file is.
#pragma once

#include <string>

namespace nimbra {

class TStream;

struct TJpegMetadataSegments {
  // The APP1 and APP13 segments from their two-byte length field to their end.
  std::string Exif;
  std::string Iptc;
  // The comment's text without its length field and without one trailing NUL.
  std::string Comment;

  bool Empty() const { return Exif.empty() && Iptc.empty() && Comment.empty(); }
};

// Reads the segments from the stream's position. False when the data is no JPEG or a segment is
// cut short or malformed; the segments found are then of no use.
bool ReadJpegMetadataSegments(TStream& stream, TJpegMetadataSegments& segments);

}  // namespace nimbra
