// The guard against a second running album: the first instance holds an exclusive lock on a file
// named "Desktop_" + product name until it ends (the system releases it however the process ends,
// so a crash leaves nothing stale behind). The lock file lies in $XDG_RUNTIME_DIR, or else in a
// per-user file of the temporary folder.
#pragma once

#include <functional>
#include <string>

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
// " " + product name.
std::string AlreadyRunningMessage(const std::string& companyAndProduct);

// The start-up step: takes the lock "Desktop_" + product name for the rest of the program; when
// another instance holds it, shows the message and asks the program to end.
void CheckOnlyStartOnce(const std::function<void(const std::string& message)>& showMessage,
                        const std::function<void()>& terminate);
// Queues CheckOnlyStartOnce as a step after initialisation.
void RegisterOnlyStartOnce(std::function<void(const std::string& message)> showMessage,
                           std::function<void()> terminate);
// Lets the lock go (program end; tests).
void ReleaseOnlyStartOnce();

}  // namespace nimbra
