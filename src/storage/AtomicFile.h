// A file written under a temporary name beside its destination and renamed over the destination
// only when complete, so that a crash or a failure never leaves a half-written file behind. Errors
// name the destination, the file the caller knows; streams on the temporary file should do the
// same (TFileStream's nameInMessages).
#pragma once

#include <sys/types.h>

#include <string>

namespace nimbra {

class TAtomicFile {
 public:
  // Creates the temporary file with the given permission bits (less the umask); raises
  // EFCreateError when the destination's folder cannot take it.
  explicit TAtomicFile(std::string destination, mode_t mode = 0666);
  // Removes the temporary file unless it was committed.
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  const std::string& TemporaryName() const { return temporary_; }
  const std::string& Destination() const { return destination_; }
  // Puts the temporary file's bytes on the disk and renames it over the destination; raises
  // EWriteError on failure. Streams on the temporary file must be closed first.
  void Commit();

  // Removes the temporary files that writers of destination left behind when they died before
  // their rename. Only call where no other writer of destination can be at work.
  static void RemoveLeftovers(const std::string& destination);

 private:
  std::string destination_;
  std::string temporary_;
  bool committed_ = false;
};

}  // namespace nimbra
