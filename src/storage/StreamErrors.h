// Exceptions raised by streams when the platform cannot read, write, open or create a file.
#pragma once

#include <stdexcept>
#include <string>

#include "storage/NimbraError.h"

namespace nimbra {

// Base of every stream failure; carries the message text and, where the system reported one, its
// error number, so that callers can tell a full disk from a missing folder.
class EStreamError : public ENimbraError {
 public:
  explicit EStreamError(const std::string& message, int systemCode = 0)
      : ENimbraError(message), systemCode_(systemCode) {}
  // errno of the failing system call; 0 when the failure was not the system's.
  int SystemCode() const { return systemCode_; }

 private:
  int systemCode_;
};

// A read that runs past the end of the data, or a failing read of the platform.
class EReadError : public EStreamError {
 public:
  EReadError() : EStreamError("Stream read error") {}
  using EStreamError::EStreamError;
};

// A write that could not store all of its bytes.
class EWriteError : public EStreamError {
 public:
  EWriteError() : EStreamError("Stream write error") {}
  using EStreamError::EStreamError;
};

// A file that cannot be opened.
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// A file that cannot be created.
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

}  // namespace nimbra
