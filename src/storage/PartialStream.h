// A window on a range of another stream. Every packaged file and every nested chunked stream is
// read through one, so a reader never sees bytes outside its range. The base's position is kept:
// each operation saves and restores it, which lets many windows share one base stream.
#pragma once

#include <mutex>

#include "storage/Stream.h"

namespace nimbra {

class TPartialStream : public TStream {
 public:
  // With clip set, the offset is first limited to the base's size. The window never begins before
  // the base's first byte. A growable window extends as it is written past its end.
  TPartialStream(TStream& base, int64_t offset, int64_t size, bool clip, bool growable = false);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t GetSize() override { return size_; }
  // The window length, cut so that it does not reach past the end of the base, never below 0.
  void SetSize(int64_t size) override;

  int64_t Offset() const { return offset_; }
  bool Growable() const { return growable_; }
  // Windows that share a base with other threads' windows take this lock around each access.
  void SetLock(std::mutex* lock) { lock_ = lock; }

 private:
  int64_t Transfer(void* readTo, const void* writeFrom, int64_t count);

  TStream& base_;
  int64_t offset_ = 0;
  int64_t size_ = 0;
  int64_t position_ = 0;
  bool growable_ = false;
  std::mutex* lock_ = nullptr;
};

}  // namespace nimbra
