#include "storage/MemoryStream.h"

#include <algorithm>
#include <cstring>

#include "storage/StreamErrors.h"

namespace nimbra {

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  const int64_t size = GetSize();
  if (count <= 0 || position_ < 0 || position_ >= size) return 0;
  const int64_t n = std::min(count, size - position_);
  std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ < 0) throw EWriteError();
  const int64_t end = position_ + count;
  if (end > GetSize()) bytes_.resize(static_cast<size_t>(end));
  std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::Beginning: position_ = offset; break;
    case SeekOrigin::Current: position_ += offset; break;
    case SeekOrigin::End: position_ = GetSize() + offset; break;
  }
  return position_;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) throw EWriteError();
  bytes_.resize(static_cast<size_t>(size));
  position_ = std::min(position_, size);
}

}  // namespace nimbra
