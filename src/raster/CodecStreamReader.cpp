#include "raster/CodecStreamReader.h"

#include <algorithm>
#include <cstring>

#include "raster/CodecError.h"
#include "storage/Stream.h"

namespace nimbra {

namespace {
constexpr int64_t kBufferSize = 64 * 1024;
}

TCodecStreamReader::TCodecStreamReader(TStream& stream, std::string format)
    : stream_(stream), format_(std::move(format)) {
  origin_ = stream_.Position();
  size_ = stream_.Remaining();
}

void TCodecStreamReader::Seek(int64_t position) {
  if (position < 0 || position > size_) Fail("position outside the file");
  const int64_t bufferEnd = bufferStart_ + static_cast<int64_t>(buffer_.size());
  if (position >= bufferStart_ && position <= bufferEnd) {
    bufferPos_ = static_cast<size_t>(position - bufferStart_);
    return;
  }
  buffer_.clear();
  bufferPos_ = 0;
  bufferStart_ = position;
}

uint16_t TCodecStreamReader::ReadU16() {
  const uint16_t low = ReadU8();
  return static_cast<uint16_t>(low | (ReadU8() << 8));
}

uint32_t TCodecStreamReader::ReadU32() {
  const uint32_t low = ReadU16();
  return low | (uint32_t{ReadU16()} << 16);
}

void TCodecStreamReader::Read(void* buffer, int64_t count) {
  if (count < 0 || count > Remaining()) Fail("the data ends early");
  auto* out = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    if (bufferPos_ == buffer_.size()) Fill();
    const size_t n = std::min(static_cast<size_t>(count), buffer_.size() - bufferPos_);
    std::memcpy(out, buffer_.data() + bufferPos_, n);
    bufferPos_ += n;
    out += n;
    count -= static_cast<int64_t>(n);
  }
}

void TCodecStreamReader::Fail(const std::string& message) const {
  throw ECodecError(format_ + ": " + message);
}

void TCodecStreamReader::Fill() {
  const int64_t position = Position();
  const int64_t wanted = std::min(kBufferSize, size_ - position);
  if (wanted <= 0) Fail("the data ends early");
  buffer_.resize(static_cast<size_t>(wanted));
  stream_.SetPosition(origin_ + position);
  int64_t got = 0;
  while (got < wanted) {
    const int64_t n = stream_.Read(buffer_.data() + got, wanted - got);
    if (n <= 0) break;
    got += n;
  }
  // A stream that delivers less than its size promised ends there.
  if (got == 0) {
    size_ = position;
    Fail("the data ends early");
  }
  buffer_.resize(static_cast<size_t>(got));
  bufferStart_ = position;
  bufferPos_ = 0;
}

}  // namespace nimbra
