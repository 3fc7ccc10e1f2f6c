// The guard against the same album running twice: the first instance holds an exclusive lock on a
// file named "Desktop_" + product name + "_" + the album's key until it ends (the system releases
// it however the process ends, so a crash leaves nothing stale behind). Different albums have
// different locks and run side by side. The lock file lies in $XDG_RUNTIME_DIR, or else in a
// per-user file of the temporary folder.
#pragma once

#include <string>

#include "album/AlbumIdentity.h"

namespace nimbra {

class TOnlyStartOnce {
 public:
  // The lock file of the given name in the default folder.
  static std::string DefaultLockFile(const std::string& name);

  explicit TOnlyStartOnce(std::string lockFile);
  ~TOnlyStartOnce();
  TOnlyStartOnce(const TOnlyStartOnce&) = delete;
  TOnlyStartOnce& operator=(const TOnlyStartOnce&) = delete;

  // True when this is the only instance; the lock is then held until this object goes. A lock
  // file that cannot be made at all lets the program run (it cannot tell, and refusing to start
  // would be worse).
  bool Acquire();
  bool Held() const { return fd_ >= 0; }
  const std::string& LockFile() const { return lockFile_; }

 private:
  std::string lockFile_;
  int fd_ = -1;
};

// "%s läuft bereits. Bitte beenden Sie Anwendung, bevor Sie sie erneut starten" for company +
// " " + product name, and the album's name in quotes after them when there is one.
std::string AlreadyRunningMessage(const std::string& companyAndProduct,
                                  const std::string& albumName = {});

// Takes the album's lock for the rest of the program. Empty when this is the album's only
// instance; otherwise the message naming the album.
std::string ClaimOnlyInstance(const TAlbumIdentity& album);
// Lets the lock go (program end; tests).
void ReleaseOnlyStartOnce();

}  // namespace nimbra
