// The error of the chunked stream format, with its numbered German message texts.
#pragma once

#include <stdexcept>
#include <string>

#include "storage/NimbraError.h"

namespace nimbra {

inline constexpr int kCSFNoError = 0;
inline constexpr int kCSFCannotOpen = -2;
inline constexpr int kCSFNotFound = -3;
inline constexpr int kCSFNoCSFFile = -4;
inline constexpr int kCSFWrongChunkHeader = -5;
inline constexpr int kCSFWrongFileFormat = -6;
inline constexpr int kCSFCannotCreate = -7;
inline constexpr int kCSFReadError = -8;
inline constexpr int kCSFWriteError = -9;

// The message text of an error code.
std::string CSFErrorText(int code);

class ECSFError : public ENimbraError {
 public:
  explicit ECSFError(int code) : ENimbraError(CSFErrorText(code)), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

}  // namespace nimbra
