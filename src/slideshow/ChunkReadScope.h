// Reading one chunk's payload as the frame of whatever reads it: sub-chunks and lengths inside are
// checked against the chunk's end, and leaving the scope, however the read ended, puts the stream
// behind the chunk.
#pragma once

#include <cstdint>

#include "storage/CSFStream.h"

namespace nimbra {

class TChunkReadScope {
 public:
  // Enters the chunk whose header starts at start (the header is read again).
  TChunkReadScope(TCSFStream& stream, int64_t start) : stream_(stream) {
    stream_.SetPosition(start);
    stream_.BeginReadChunk();
  }
  // A destructor may run while an exception is on its way, so it must not raise itself; the read
  // that ended the scope reports its own failure.
  ~TChunkReadScope() {
    try {
      stream_.EndReadChunk();
    } catch (...) {
    }
  }
  TChunkReadScope(const TChunkReadScope&) = delete;
  TChunkReadScope& operator=(const TChunkReadScope&) = delete;

 private:
  TCSFStream& stream_;
};

}  // namespace nimbra
