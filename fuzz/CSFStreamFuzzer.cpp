// libFuzzer target for the chunked-stream reader. It walks arbitrary bytes the way document readers
// walk a stream (header, chunks skipped by their length, sub-chunks, typed values, fonts, nested
// streams), then once more as a headerless stream driven by selector bytes. A raised stream error
// is the expected answer to bad bytes; what the sanitizers or libFuzzer's limits catch is a bug.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>
#include <string_view>

#include "CSFReadOps.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra::fuzz {

namespace {

// Real documents nest a few levels; the bound only keeps a self-nesting input from exhausting the
// fuzzer's own stack.
constexpr int kMaxDepth = 12;
// Every headerless step consumes at least its selector byte; the bound is a second safety net.
constexpr int kMaxHeaderlessSteps = 1 << 16;

// Runs a read and reports whether it finished. ECSFError and EStreamError are how readers refuse
// bad bytes, but a length_error or bad_alloc means a stored length was taken on trust: a finding.
template <typename Read>
bool Guarded(Read read) {
  try {
    read();
    return true;
  } catch (const std::length_error&) {
    __builtin_trap();
  } catch (const std::bad_alloc&) {
    __builtin_trap();
  } catch (const std::exception&) {
  }
  return false;
}

// Leaves the sub-chunk however its body ends, as readers do in their finally step.
class SubChunk {
 public:
  explicit SubChunk(TCSFStream& csf) : csf_(csf) { csf_.BeginReadSubChunk(); }
  ~SubChunk() { csf_.EndReadSubChunk(); }
  SubChunk(const SubChunk&) = delete;
  SubChunk& operator=(const SubChunk&) = delete;

 private:
  TCSFStream& csf_;
};

void RunOp(TCSFStreamWinTypes& csf, ReadOp op, int depth);

// The document pattern: ChunkCount times remember the position, read the chunk header, read what
// the id selects, and continue at the chunk's start plus its length. A body that fails is skipped
// like an object of an unknown class; a broken chunk header ends the document.
void WalkChunks(TCSFStreamWinTypes& csf, int depth) {
  Guarded([&] {
    csf.SeekToFirstChunk();
    for (int32_t i = 0; i < csf.ChunkCount(); ++i) {
      const int64_t start = csf.Position();
      const TChunkHeader header = csf.ReadChunkHeader();
      Guarded([&] { RunOp(csf, ReadOpOf(static_cast<uint32_t>(header.Id)), depth); });
      csf.SetPosition(start + header.Length);
    }
  });
}

void ReadChildChunks(TCSFStreamWinTypes& csf, int depth) {
  if (depth >= kMaxDepth) return;
  while (csf.RemainingInContainer() >= kChunkHeaderSize) {
    const TChunkHeader header = csf.BeginReadChunk();
    Guarded([&] { RunOp(csf, ReadOpOf(static_cast<uint32_t>(header.Id)), depth + 1); });
    csf.EndReadChunk();
  }
}

void ReadNestedStream(TCSFStreamWinTypes& csf, int depth) {
  if (depth >= kMaxDepth) return;
  std::unique_ptr<TCSFStream> nested = csf.OpenNestedStream(NestedKind::Read, false);
  if (!nested) return;
  // A nested stream is made of its parent's class, so it reads fonts and rectangles too.
  auto* typed = dynamic_cast<TCSFStreamWinTypes*>(nested.get());
  if (typed == nullptr) __builtin_trap();
  WalkChunks(*typed, depth + 1);
  csf.CloseNestedStream(nested, true);
}

void RunOp(TCSFStreamWinTypes& csf, ReadOp op, int depth) {
  switch (op) {
    case ReadOp::Skip:
      break;
    case ReadOp::ChildChunks:
      ReadChildChunks(csf, depth);
      break;
    case ReadOp::IntegerList: {
      SubChunk sub(csf);
      while (csf.MoreInSubChunk()) csf.ReadInteger();
      break;
    }
    case ReadOp::Values: {
      SubChunk sub(csf);
      csf.ReadString();
      csf.ReadInteger();
      csf.ReadInt64();
      csf.ReadDouble();
      break;
    }
    case ReadOp::WinTypes:
      csf.ReadFont();
      csf.ReadDoubleRect();
      break;
    case ReadOp::NestedStream:
      ReadNestedStream(csf, depth);
      break;
    case ReadOp::NestedSubChunks: {
      SubChunk outer(csf);
      csf.ReadClass();
      SubChunk inner(csf);
      csf.ReadBoolean();
      csf.ReadByte();
      csf.ReadCardinal();
      csf.ReadSingle();
      break;
    }
    case ReadOp::StringList: {
      SubChunk sub(csf);
      while (csf.MoreInSubChunk()) csf.ReadString();
      break;
    }
  }
}

void ReadAsDocument(std::string_view bytes) {
  TMemoryStream stream(bytes);
  Guarded([&] {
    TCSFStreamWinTypes csf(stream, CSFMode::Read);
    WalkChunks(csf, 0);
    csf.Release();
  });
}

// Settings bags and nested headerless streams carry no header: values start at the first byte.
// Like their readers, the walk stops at the first value that cannot be read.
void ReadHeaderless(std::string_view bytes) {
  TMemoryStream stream(bytes);
  TCSFStreamWinTypes csf(stream, CSFMode::HeaderlessRead);
  bool readable = true;
  for (int step = 0; readable && step < kMaxHeaderlessSteps && csf.RemainingInContainer() > 0;
       ++step) {
    const uint8_t selector = csf.ReadByte();
    readable = Guarded([&] { RunOp(csf, ReadOpOf(selector), 0); });
  }
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  nimbra::fuzz::ReadAsDocument(bytes);
  nimbra::fuzz::ReadHeaderless(bytes);
  return 0;
}
