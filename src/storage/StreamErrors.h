// Exceptions raised by streams when the platform cannot read, write, open or create a file.
#pragma once

#include <stdexcept>
#include <string>

namespace nimbra {

// Base of every stream failure; carries the message text.
class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
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
