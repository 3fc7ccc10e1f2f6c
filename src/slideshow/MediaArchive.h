// Pictures embedded in a media archive. A picture object's stored file name may be an archive
// reference instead of a path: "?", the archive's file name scrambled, "?", the decimal offset of
// the embedded file's chunk scrambled. Scrambling adds 128 to every byte, so it undoes itself.
// The archive is a chunked stream file whose embedded files are chunks holding the file's own
// (scrambled) name, one byte and the file's bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "raster/PictureFormats.h"
#include "storage/NimbraError.h"
#include "storage/PartialStream.h"

namespace nimbra {

class TCSFStream;

inline constexpr int32_t kMediaArchiveFileType = 1283;
// Archives up to this version predate embedded files as this system reads them.
inline constexpr int32_t kMediaArchiveOldestVersion = 256;
inline constexpr int32_t kEmbeddedFileChunkId = 513;

// Raised when an embedded picture is of a format no picture reader takes.
class EMediaArchiveError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// Adds 128 to every byte (modulo 256); applying it twice gives the bytes back.
std::string ScrambleBytes(std::string_view bytes);
// The same for text held as UTF-8: scrambled as the Windows-1252 bytes it is stored as.
std::string ScrambleText(std::string_view text);

struct TArchiveReference {
  std::string ArchiveName;  // unscrambled, as stored (resolved against the document)
  int64_t Offset = 0;       // of the embedded file's chunk in the archive
  bool operator==(const TArchiveReference&) const = default;
};

// 1. The parts of an archive reference; none for a name that is no archive reference (no leading
// "?", no second "?", or an offset that is no decimal number).
std::optional<TArchiveReference> ParseArchiveReference(std::string_view storedName);
bool IsArchiveReference(std::string_view storedName);
std::string MakeArchiveReference(const TArchiveReference& reference);

// An embedded file opened for reading: its own name and its bytes, seen through a window that
// ends where its chunk ends. It keeps the archive open while it lives.
class TEmbeddedFile {
 public:
  TEmbeddedFile(std::string name, std::unique_ptr<TStream> archive, int64_t offset, int64_t size);
  TEmbeddedFile(const TEmbeddedFile&) = delete;
  TEmbeddedFile& operator=(const TEmbeddedFile&) = delete;

  const std::string& Name() const { return name_; }
  TStream& Data() { return window_; }
  // Hands the bytes over as a stream of their own (taking the archive with them).
  static std::unique_ptr<TStream> TakeData(std::unique_ptr<TEmbeddedFile> file);

 private:
  std::string name_;
  std::unique_ptr<TStream> archive_;
  TPartialStream window_;
};

// 2. to 5. Opens the embedded file at the offset of an archive whose path is already resolved.
// None when the archive cannot be opened, is of another type or too old a version, or holds no
// embedded file at the offset.
std::unique_ptr<TEmbeddedFile> OpenEmbeddedFile(const std::string& archivePath, int64_t offset);
// The same on an archive stream already open (taken over).
std::unique_ptr<TEmbeddedFile> OpenEmbeddedFile(std::unique_ptr<TStream> archive, int64_t offset);

// Decodes an embedded picture with the reader its own name's extension chooses. Raises
// EMediaArchiveError "Falsches Dateiformat: " + name when no reader takes that extension; none
// when the bytes cannot be decoded.
std::unique_ptr<TGraphic> LoadEmbeddedPicture(std::unique_ptr<TEmbeddedFile> file);

// Writes an embedded file as a chunk at the stream's position and yields the chunk's offset, for
// an archive reference to it. The archive's header (type and version) is the caller's.
int64_t WriteEmbeddedFile(TCSFStream& archive, std::string_view name, std::string_view bytes);

}  // namespace nimbra
