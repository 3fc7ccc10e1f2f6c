#include "storage/Stream.h"

#include <algorithm>
#include <vector>

#include "storage/StreamErrors.h"

namespace nimbra {

namespace {
constexpr int64_t kCopyBufferSize = 1 << 20;
}

int64_t TStream::Remaining() {
  const int64_t position = Position();
  const int64_t size = Size();
  return position < size ? size - position : 0;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count <= 0) return;
  if (Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count <= 0) return;
  if (Write(buffer, count) != count) throw EWriteError();
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  if (count <= 0) return 0;
  std::vector<char> buffer(static_cast<size_t>(std::min(count, kCopyBufferSize)));
  int64_t left = count;
  while (left > 0) {
    const int64_t n = std::min<int64_t>(left, static_cast<int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

}  // namespace nimbra
