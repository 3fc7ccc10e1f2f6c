// A chunk being written, closed also when the writing code between raises, so that the stream's
// open chunks stay balanced for whatever is written next (like TWriteSubChunk for sub-chunks).
#pragma once

#include <cstdint>

#include "storage/CSFStream.h"
#include "storage/FalseOnFailure.h"

namespace nimbra {

class TWriteChunk {
 public:
  TWriteChunk(TCSFStream& stream, int32_t id) : stream_(stream) { stream_.BeginChunk(id); }
  ~TWriteChunk() {
    if (!open_) return;
    // Already failing or returning early; the writer reports that. Anything but a stream's
    // failure is a broken invariant and ends the program here.
    FalseOnFailure([this] {
      stream_.EndChunk();
      return true;
    });
  }
  TWriteChunk(const TWriteChunk&) = delete;
  TWriteChunk& operator=(const TWriteChunk&) = delete;

  // Writes the chunk's header; raises when that fails.
  void End() {
    open_ = false;
    stream_.EndChunk();
  }

 private:
  TCSFStream& stream_;
  bool open_ = true;
};

}  // namespace nimbra
