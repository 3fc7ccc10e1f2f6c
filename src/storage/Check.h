// Invariants of the program's own making. A broken one is a bug, not bad input: the test and fuzz
// builds stop at once with the place and the message, so that a test or a fuzzer reports it where
// it happened; other builds raise ELogicError, which no boundary catches (boundaries catch
// ENimbraError and std::bad_alloc only), so the bug is not mistaken for a failed read or write.
#pragma once

#include <stdexcept>
#include <string>

namespace nimbra {

class ELogicError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// Reports the broken invariant as the build asks for; never returns.
[[noreturn]] void BrokenInvariant(const char* file, int line, const std::string& message);

}  // namespace nimbra

// NIMBRA_CHECK(condition, message): message is evaluated only when condition is false.
#define NIMBRA_CHECK(condition, message)                                        \
  do {                                                                          \
    if (!(condition)) ::nimbra::BrokenInvariant(__FILE__, __LINE__, (message)); \
  } while (false)
