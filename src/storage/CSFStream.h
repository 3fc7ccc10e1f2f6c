// The chunked stream: a 32-byte header ("KRVX"), then chunks of "CHNK" + id + length, whose bodies
// hold fixed-width little-endian values grouped in length-prefixed sub-chunks. Every document,
// object and setting is stored this way. The stream works on a base stream it is given and never
// buffers: values go straight through, chunk lengths are patched in place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "storage/ChunkItem.h"
#include "storage/Stream.h"

namespace nimbra {

class TMetaClass;
class TObject;

enum class CSFMode : int32_t {
  Closed = 0,
  Create = 1,
  Read = 2,
  Update = 3,
  Headerless = 4,
  HeaderlessRead = 5,
};

enum class NestedKind : int32_t { Headerless = 0, Read = 1, Write = 2 };

inline constexpr int32_t kCSFVersion = 65538;
inline constexpr int32_t kCSFHeaderSize = 32;
inline constexpr int32_t kChunkHeaderSize = 12;

// The 32-byte stream header in its stored field order.
struct TCSFHeader {
  char Magic[4] = {'K', 'R', 'V', 'X'};
  int32_t Size32 = 0;
  int32_t Version = kCSFVersion;
  int32_t FileType = 0;
  int32_t ChunkCount = 0;
  int32_t FileVersion = 0;
  int64_t Size64 = 0;
};

class TCSFStream {
 public:
  // Works on a base stream the caller keeps alive.
  TCSFStream(TStream& base, CSFMode mode);
  // Works on a base stream it owns (nested streams own their window).
  TCSFStream(std::unique_ptr<TStream> base, CSFMode mode);
  virtual ~TCSFStream();
  TCSFStream(const TCSFStream&) = delete;
  TCSFStream& operator=(const TCSFStream&) = delete;

  // Closes what writers left open, rewrites the header when the mode asks for it and lets go of an
  // owned base. Raises when the header or the base cannot be written; the destructor swallows that,
  // so writers that must know call Release themselves.
  void Release();

  static std::string ErrorText(int code);
  [[noreturn]] static void RaiseError(int code);

  // Stream control.
  int64_t Position();
  void SetPosition(int64_t position);
  void SeekToEnd();
  void SeekToFirstChunk() { SetPosition(kCSFHeaderSize); }
  bool AtEnd();
  void WriteHeader();
  void ReadHeader();
  CSFMode Mode() const { return mode_; }
  TStream& BaseStream() { return *base_; }
  const TCSFHeader& Header() const { return header_; }
  int32_t FileType() const { return header_.FileType; }
  void SetFileType(int32_t fileType) { header_.FileType = fileType; }
  int32_t FileVersion() const { return header_.FileVersion; }
  void SetFileVersion(int32_t fileVersion) { header_.FileVersion = fileVersion; }
  int32_t ChunkCount() const { return header_.ChunkCount; }
  void SetChunkCount(int32_t chunkCount) { header_.ChunkCount = chunkCount; }
  int32_t Version() const { return header_.Version; }
  void SetVersion(int32_t version) { header_.Version = version; }
  // The stream length the header states (the 64-bit field, or the 32-bit one for old versions).
  int64_t HeaderSize() const { return header_.Size64; }
  int32_t RunningChunkCount() const { return runningCount_; }

  // Chunk framing.
  int64_t WriteChunkPlaceholder();
  void WriteChunkHeader(int32_t id, int64_t length);
  // Reads a chunk header; raises "Falscher Chunkheader!" for a wrong magic or for a length that
  // is shorter than the header or reaches past the chunk's container.
  TChunkHeader ReadChunkHeader();
  int64_t DistanceFrom(int64_t position);
  void CountChunk() { ++runningCount_; }
  void BeginChunk(int32_t id);
  void EndChunk();
  TChunkHeader BeginReadChunk();
  void EndReadChunk();
  void BeginSubChunk();
  void EndSubChunk();
  // Enters a sub-chunk and yields its payload length; raises "Fehler beim Lesen der Datei!" when
  // its length field is below 4 or reaches past its container.
  int32_t BeginReadSubChunk();
  void EndReadSubChunk();
  bool MoreInSubChunk();

  // Nested streams: a complete stream at the current position, read or written through a window.
  std::unique_ptr<TCSFStream> OpenNestedStream(NestedKind kind, bool growable);
  // Moves behind the nested stream; with release set, releases it and frees it.
  void CloseNestedStream(std::unique_ptr<TCSFStream>& nested, bool release);

  // Typed values.
  void WriteBoolean(bool value) { WriteByte(value ? 1 : 0); }
  bool ReadBoolean() { return ReadByte() != 0; }
  void WriteByte(uint8_t value) { WriteBuffer(&value, 1); }
  uint8_t ReadByte();
  void WriteInteger(int32_t value);
  int32_t ReadInteger();
  void WriteCardinal(uint32_t value);
  uint32_t ReadCardinal();
  void WriteInt64(int64_t value);
  int64_t ReadInt64();
  void WriteSingle(float value);
  float ReadSingle();
  void WriteDouble(double value);
  double ReadDouble();
  // UTF-8 in memory, Windows-1252 on the wire.
  void WriteString(std::string_view text);
  std::string ReadString();
  void WriteBuffer(const void* buffer, int64_t count);
  void ReadBuffer(void* buffer, int64_t count);
  // The class name of an object; an absent object is the empty string.
  void WriteClassName(const TObject* object);
  std::string ReadClassName() { return ReadString(); }
  // The class registered under the stored name, or none.
  const TMetaClass* ReadClass();

  // Bytes from the position to the end of the innermost frame being read (or of the base).
  int64_t RemainingInContainer();

 protected:
  // The virtual constructor: nested streams are made of the same class as their parent.
  virtual std::unique_ptr<TCSFStream> CreateSameClass(std::unique_ptr<TStream> base,
                                                      CSFMode mode) const;

 private:
  friend class TSubChunkItem;
  friend class TCSFChunkItem;

  void Open();
  int64_t ContainerEnd();
  // Raises the base stream's read error when fewer bytes remain than a stored length claims.
  void CheckAvailable(int64_t count);
  uint64_t ReadLittleEndian(int bytes);
  void WriteLittleEndian(uint64_t value, int bytes);

  std::unique_ptr<TStream> ownedBase_;
  TStream* base_;
  int32_t runningCount_ = 0;
  CSFMode mode_;
  bool released_ = false;
  TChunkStack readSubChunks_{TChunkStack::Direction::Reading};
  TChunkStack writtenSubChunks_{TChunkStack::Direction::Writing};
  TChunkStack writtenChunks_{TChunkStack::Direction::Writing};
  TChunkStack readChunks_{TChunkStack::Direction::Reading};
  TCSFHeader header_;
};

// A chunked stream on a disk file it opens by mode and owns.
class TCSFFile : public TCSFStream {
 public:
  TCSFFile(const std::string& fileName, CSFMode mode);
};

// Opens a file the way a chunked-stream file of the given mode needs it.
std::unique_ptr<TStream> OpenCSFFileStream(const std::string& fileName, CSFMode mode);

}  // namespace nimbra
