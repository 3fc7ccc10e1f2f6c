// The byte stream every reader and writer of the system works on: a position, a size, reads and
// writes of raw bytes. Files, memory and windows on other streams implement it.
#pragma once

#include <cstdint>

namespace nimbra {

enum class SeekOrigin { Beginning, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Reads up to count bytes; yields how many were read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes up to count bytes; yields how many were written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position and yields the new one.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual int64_t GetSize() = 0;
  virtual void SetSize(int64_t size) = 0;
  // Hands gathered bytes to the device; raises EWriteError when it refuses them.
  virtual void Flush() {}

  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(int64_t position) { Seek(position, SeekOrigin::Beginning); }
  int64_t Size() { return GetSize(); }
  // Bytes between the position and the end; 0 when the position is at or past the end.
  int64_t Remaining();

  // Reads exactly count bytes or raises EReadError.
  void ReadBuffer(void* buffer, int64_t count);
  // Writes exactly count bytes or raises EWriteError.
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies count bytes (all from position 0 when count is 0) from source; yields the number copied.
  int64_t CopyFrom(TStream& source, int64_t count);
};

}  // namespace nimbra
