#include "storage/PartialStream.h"

#include <algorithm>

namespace nimbra {

namespace {

// Restores the base stream's position however the operation ends.
class PositionKeeper {
 public:
  explicit PositionKeeper(TStream& stream) : stream_(stream), saved_(stream.Position()) {}
  ~PositionKeeper() { stream_.SetPosition(saved_); }
  PositionKeeper(const PositionKeeper&) = delete;
  PositionKeeper& operator=(const PositionKeeper&) = delete;

 private:
  TStream& stream_;
  int64_t saved_;
};

}  // namespace

TPartialStream::TPartialStream(TStream& base, int64_t offset, int64_t size, bool clip,
                               bool growable)
    : base_(base), offset_(std::max<int64_t>(offset, 0)), growable_(growable) {
  if (clip) offset_ = std::min(offset_, base_.Size());
  SetSize(size);
}

void TPartialStream::SetSize(int64_t size) {
  const int64_t available = std::max<int64_t>(base_.Size() - offset_, 0);
  size_ = std::clamp<int64_t>(size, 0, available);
}

int64_t TPartialStream::Seek(int64_t offset, SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::Beginning: position_ = offset; break;
    case SeekOrigin::Current: position_ += offset; break;
    case SeekOrigin::End: position_ = size_ + offset; break;
  }
  return position_;
}

int64_t TPartialStream::Read(void* buffer, int64_t count) {
  return Transfer(buffer, nullptr, count);
}

int64_t TPartialStream::Write(const void* buffer, int64_t count) {
  return Transfer(nullptr, buffer, count);
}

int64_t TPartialStream::Transfer(void* readTo, const void* writeFrom, int64_t count) {
  // A position before the window's start would reach bytes that are not the window's.
  if (count <= 0 || position_ < 0) return 0;
  const bool grows = writeFrom != nullptr && growable_;
  const int64_t available = grows ? count : size_ - position_;
  if (available <= 0) return 0;
  const int64_t n = std::min(count, available);

  std::unique_lock<std::mutex> guard;
  if (lock_ != nullptr) guard = std::unique_lock<std::mutex>(*lock_);
  PositionKeeper keeper(base_);
  base_.SetPosition(offset_ + position_);
  const int64_t done = readTo != nullptr ? base_.Read(readTo, n) : base_.Write(writeFrom, n);
  position_ += done;
  if (grows) size_ = std::max(size_, position_);
  return done;
}

}  // namespace nimbra
