#include "storage/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string_view>

#include "storage/StreamErrors.h"

namespace nimbra {

namespace {

constexpr std::string_view kTemporaryMark = ".tmp-";

std::string UniqueSuffix() {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = std::random_device{}();
  return std::string(kTemporaryMark) + std::to_string(::getpid()) + "-" +
         std::to_string(seed % 100000) + "-" + std::to_string(counter++);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

void SyncPath(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

TAtomicFile::TAtomicFile(std::string destination, mode_t mode)
    : destination_(std::move(destination)) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = destination_ + UniqueSuffix();
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) {
      ::close(fd);
      return;
    }
    if (errno != EEXIST) break;
  }
  const int code = errno;
  temporary_.clear();
  throw EFCreateError("Cannot create file \"" + destination_ + "\": " + std::strerror(code), code);
}

TAtomicFile::~TAtomicFile() {
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void TAtomicFile::Commit() {
  const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) {
    const int code = errno;
    if (fd >= 0) ::close(fd);
    throw EWriteError("Cannot write file \"" + destination_ + "\": " + std::strerror(code), code);
  }
  ::close(fd);
  if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) {
    const int code = errno;
    throw EWriteError("Cannot replace file \"" + destination_ + "\": " + std::strerror(code), code);
  }
  committed_ = true;
  // The rename itself reaches the disk with the folder's entry.
  SyncPath(FolderOf(destination_), O_RDONLY | O_DIRECTORY);
}

void TAtomicFile::RemoveLeftovers(const std::string& destination) {
  const std::filesystem::path path(destination);
  const std::string prefix = path.filename().string() + std::string(kTemporaryMark);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(path.parent_path(), error)) {
    if (entry.path().filename().string().starts_with(prefix)) {
      std::filesystem::remove(entry.path(), error);
    }
  }
}

}  // namespace nimbra
