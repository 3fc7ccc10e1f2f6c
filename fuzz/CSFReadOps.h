// The reading steps the chunked-stream fuzzer takes, chosen by the input's own bytes: a chunk's id,
// or a selector byte in a headerless stream. The seed generator writes bodies in the same layouts,
// so that seeds lead the fuzzer past the first length check into the deeper readers.
#pragma once

#include <cstdint>

namespace nimbra::fuzz {

enum class ReadOp : uint32_t {
  Skip = 0,         // an id no reader knows: the body is skipped by its length
  ChildChunks,      // chunks inside the body, entered with BeginReadChunk until the body ends
  IntegerList,      // a sub-chunk of integers, read while MoreInSubChunk
  Values,           // a sub-chunk holding a string, an integer, an int64 and a double
  WinTypes,         // a font record, then a rectangle of doubles
  NestedStream,     // a complete stream, read through OpenNestedStream(NestedKind::Read)
  NestedSubChunks,  // a class name, then a sub-chunk of boolean, byte, cardinal, single
  StringList,       // a sub-chunk of strings, read while MoreInSubChunk
};

inline constexpr uint32_t kReadOpCount = 8;

inline ReadOp ReadOpOf(uint32_t selector) {
  return static_cast<ReadOp>(selector % kReadOpCount);
}

// The chunk id that selects op; family picks one of the many ids that select the same op.
inline int32_t ChunkIdFor(ReadOp op, int32_t family = 0) {
  return family * static_cast<int32_t>(kReadOpCount) + static_cast<int32_t>(op);
}

}  // namespace nimbra::fuzz
