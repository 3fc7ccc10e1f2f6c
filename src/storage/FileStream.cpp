#include "storage/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "storage/StreamErrors.h"

namespace nimbra {

namespace {

constexpr int64_t kBufferSize = 16 * 1024;
// What a small read fills the buffer with where it does not go on from the buffer's end: reading
// a package's directory jumps from record to record over the files between them, and a whole
// buffer there would be copied for a record's hundred bytes.
constexpr int64_t kReadAheadAfterJump = 1024;

// The error for a failing system call, with errno kept for callers that explain it.
template <typename TError>
[[noreturn]] void RaiseSystemError(const std::string& what, const std::string& fileName) {
  const int code = errno;
  throw TError(what + " \"" + fileName + "\": " + std::strerror(code), code);
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, FileMode mode,
                         const std::string& nameInMessages)
    : fileName_(fileName), nameInMessages_(nameInMessages.empty() ? fileName : nameInMessages) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case FileMode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case FileMode::OpenRead: flags |= O_RDONLY; break;
    case FileMode::OpenReadWrite: flags |= O_RDWR; break;
  }
  fd_ = ::open(fileName.c_str(), flags, 0666);
  if (fd_ < 0) {
    if (mode == FileMode::Create) {
      RaiseSystemError<EFCreateError>("Cannot create file", nameInMessages_);
    }
    RaiseSystemError<EFOpenError>("Cannot open file", nameInMessages_);
  }
  struct stat info {};
  if (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd_);
    errno = EISDIR;
    RaiseSystemError<EFOpenError>("Cannot open file", nameInMessages_);
  }
  size_ = info.st_size;
}

TFileStream::~TFileStream() {
  try {
    Flush();
  } catch (const EStreamError&) {
    // A destructor cannot report; callers that must know call Flush first.
  }
  ::close(fd_);
}

int64_t TFileStream::ReadDirect(void* buffer, int64_t count, int64_t at) {
  auto* out = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd_, out + done, static_cast<size_t>(count - done), at + done);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseSystemError<EReadError>("Cannot read file", nameInMessages_);
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

void TFileStream::WriteDirect(const void* buffer, int64_t count, int64_t at) {
  const auto* in = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::pwrite(fd_, in + done, static_cast<size_t>(count - done), at + done);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseSystemError<EWriteError>("Cannot write file", nameInMessages_);
    }
    done += n;
  }
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ < 0) return 0;
  Flush();
  auto* out = static_cast<char*>(buffer);
  int64_t done = 0;
  // Serve what the read buffer already holds.
  if (position_ >= readStart_ && position_ < readStart_ + readLength_) {
    const int64_t n = std::min(count, readStart_ + readLength_ - position_);
    std::memcpy(out, readBuffer_.data() + (position_ - readStart_), static_cast<size_t>(n));
    done = n;
    position_ += n;
  }
  if (done == count) return done;
  if (count - done >= kBufferSize) {
    const int64_t n = ReadDirect(out + done, count - done, position_);
    position_ += n;
    return done + n;
  }
  const bool goesOn = position_ == readStart_ + readLength_;
  readBuffer_.resize(kBufferSize);
  readStart_ = position_;
  readLength_ = ReadDirect(readBuffer_.data(),
                           std::max(count - done, goesOn ? kBufferSize : kReadAheadAfterJump),
                           position_);
  const int64_t n = std::min(count - done, readLength_);
  std::memcpy(out + done, readBuffer_.data(), static_cast<size_t>(n));
  position_ += n;
  return done + n;
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ < 0) {
    throw EWriteError("Cannot write before the start of \"" + nameInMessages_ + "\"");
  }
  DropReadBuffer();
  const bool continues = !writeBuffer_.empty() &&
                         position_ == writeStart_ + static_cast<int64_t>(writeBuffer_.size());
  if (!continues) Flush();
  if (static_cast<int64_t>(writeBuffer_.size()) + count > kBufferSize) {
    Flush();
    if (count >= kBufferSize) {
      WriteDirect(buffer, count, position_);
      position_ += count;
      size_ = std::max(size_, position_);
      return count;
    }
  }
  if (writeBuffer_.empty()) {
    writeBuffer_.reserve(kBufferSize);
    writeStart_ = position_;
  }
  const auto* in = static_cast<const char*>(buffer);
  writeBuffer_.insert(writeBuffer_.end(), in, in + count);
  position_ += count;
  size_ = std::max(size_, position_);
  return count;
}

void TFileStream::Flush() {
  if (writeBuffer_.empty()) return;
  try {
    WriteDirect(writeBuffer_.data(), static_cast<int64_t>(writeBuffer_.size()), writeStart_);
  } catch (...) {
    // Only drops the bytes, so that a later flush does not write them again; the failure goes on.
    writeBuffer_.clear();
    throw;
  }
  writeBuffer_.clear();
}

void TFileStream::Sync() {
  Flush();
  if (::fsync(fd_) != 0) RaiseSystemError<EWriteError>("Cannot write file", nameInMessages_);
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
  switch (origin) {
    case SeekOrigin::Beginning: position_ = offset; break;
    case SeekOrigin::Current: position_ += offset; break;
    case SeekOrigin::End: position_ = size_ + offset; break;
  }
  return position_;
}

int64_t TFileStream::GetSize() { return size_; }

void TFileStream::SetSize(int64_t size) {
  Flush();
  DropReadBuffer();
  if (size < 0 || ::ftruncate(fd_, size) != 0) {
    RaiseSystemError<EWriteError>("Cannot change the size of", nameInMessages_);
  }
  size_ = size;
  if (position_ > size_) position_ = size_;
}

}  // namespace nimbra
