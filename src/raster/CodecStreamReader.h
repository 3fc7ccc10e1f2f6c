// Buffered, bounds-checked reading of a picture file for the hand-written readers (Targa, PCX,
// BMP). Positions count from where the stream stood when the reader was made, so a picture inside
// a larger stream reads like a file of its own; reading past the end raises ECodecError.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nimbra {

class TStream;

class TCodecStreamReader {
 public:
  // format names the reader in error messages.
  TCodecStreamReader(TStream& stream, std::string format);

  int64_t Size() const { return size_; }
  int64_t Position() const { return bufferStart_ + static_cast<int64_t>(bufferPos_); }
  int64_t Remaining() const { return size_ - Position(); }

  // Moves to a position between 0 and Size().
  void Seek(int64_t position);
  void Skip(int64_t count) { Seek(Position() + count); }

  uint8_t ReadU8() {
    if (bufferPos_ == buffer_.size()) Fill();
    return buffer_[bufferPos_++];
  }
  uint16_t ReadU16();  // little-endian, like every field of the formats it serves
  uint32_t ReadU32();
  int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
  void Read(void* buffer, int64_t count);

  // Raises ECodecError with the message, prefixed by the format name.
  [[noreturn]] void Fail(const std::string& message) const;

 private:
  void Fill();

  TStream& stream_;
  std::string format_;
  int64_t origin_ = 0;
  int64_t size_ = 0;
  std::vector<uint8_t> buffer_;
  size_t bufferPos_ = 0;
  int64_t bufferStart_ = 0;
};

}  // namespace nimbra
