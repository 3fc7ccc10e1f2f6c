#include "storage/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "storage/StreamErrors.h"

namespace nimbra {

namespace {

std::string UniqueSuffix() {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = std::random_device{}();
  return ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(seed % 100000) + "-" +
         std::to_string(counter++);
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
  const std::string why = std::strerror(errno);
  temporary_.clear();
  throw EFCreateError("Cannot create file \"" + destination_ + "\": " + why);
}

TAtomicFile::~TAtomicFile() {
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void TAtomicFile::Commit() {
  const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) {
    const std::string why = std::strerror(errno);
    if (fd >= 0) ::close(fd);
    throw EWriteError("Cannot write file \"" + destination_ + "\": " + why);
  }
  ::close(fd);
  if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) {
    throw EWriteError("Cannot replace file \"" + destination_ + "\": " + std::strerror(errno));
  }
  committed_ = true;
  // The rename itself reaches the disk with the folder's entry.
  SyncPath(FolderOf(destination_), O_RDONLY | O_DIRECTORY);
}

}  // namespace nimbra
