#include "storage/Check.h"

#include <cstdio>
#include <cstdlib>

namespace nimbra {

void BrokenInvariant(const char* file, int line, const std::string& message) {
#if defined(NIMBRA_ABORT_ON_BROKEN_INVARIANTS)
  std::fprintf(stderr, "%s:%d: broken invariant: %s\n", file, line, message.c_str());
  std::abort();
#else
  throw ELogicError(std::string(file) + ":" + std::to_string(line) + ": " + message);
#endif
}

}  // namespace nimbra
