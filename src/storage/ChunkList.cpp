#include "storage/ChunkList.h"

#include "storage/CSFStream.h"
#include "storage/FalseOnFailure.h"

namespace nimbra {

bool ReadChunks(TCSFStream& stream, const std::function<bool(int32_t chunkId)>& read) {
  bool all = true;
  const int32_t count = stream.ChunkCount();
  for (int32_t i = 0; i < count; ++i) {
    const TChunkHeader header = stream.BeginReadChunk();
    all = FalseOnFailure([&] { return read(header.Id); }) && all;
    stream.EndReadChunk();
  }
  return all;
}

}  // namespace nimbra
