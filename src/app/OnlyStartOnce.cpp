#include "app/OnlyStartOnce.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <cstdlib>
#include <memory>

#include "framework/ApplicationInfo.h"

namespace nimbra {

namespace {

std::unique_ptr<TOnlyStartOnce>& ProcessGuard() {
  static std::unique_ptr<TOnlyStartOnce> guard;
  return guard;
}

}  // namespace

std::string TOnlyStartOnce::DefaultLockFile(const std::string& name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat info {};
  if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &info) == 0 &&
      S_ISDIR(info.st_mode) && info.st_uid == ::getuid()) {
    return std::string(runtime) + "/" + name + ".lock";
  }
  // The temporary folder is shared: the user's id keeps users apart.
  return QDir::tempPath().toStdString() + "/" + name + "-" + std::to_string(::getuid()) + ".lock";
}

TOnlyStartOnce::TOnlyStartOnce(std::string lockFile) : lockFile_(std::move(lockFile)) {}

TOnlyStartOnce::~TOnlyStartOnce() {
  if (fd_ >= 0) ::close(fd_);
}

bool TOnlyStartOnce::Acquire() {
  if (fd_ >= 0) return true;
  // No symbolic links: in a shared folder another user could point one at a file of ours.
  const int fd = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || info.st_uid != ::getuid()) {
    ::close(fd);
    return true;
  }
  int result = 0;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const bool taken = errno == EWOULDBLOCK;
    ::close(fd);
    return !taken;
  }
  fd_ = fd;
  return true;
}

std::string AlreadyRunningMessage(const std::string& companyAndProduct,
                                  const std::string& albumName) {
  const std::string who =
      albumName.empty() ? companyAndProduct : companyAndProduct + " „" + albumName + "“";
  return who + " läuft bereits. Bitte beenden Sie Anwendung, bevor Sie sie erneut starten";
}

std::string ClaimOnlyInstance(const TAlbumIdentity& album) {
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  const std::string product = info ? info->ProductName() : std::string("Nimbra");
  const std::string company = info ? info->CompanyName() : std::string();
  auto guard = std::make_unique<TOnlyStartOnce>(
      TOnlyStartOnce::DefaultLockFile("Desktop_" + product + "_" + album.Key));
  if (!guard->Acquire()) return AlreadyRunningMessage(company + " " + product, album.Name);
  ProcessGuard() = std::move(guard);
  return {};
}

void ReleaseOnlyStartOnce() { ProcessGuard().reset(); }

}  // namespace nimbra
