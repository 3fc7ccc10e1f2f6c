// The catch of a boundary that reports failure by its result: the project's errors and a failed
// allocation become false; any other exception is a broken invariant and passes on.
#pragma once

#include <new>

#include "storage/NimbraError.h"

namespace nimbra {

template <typename Operation>
bool FalseOnFailure(Operation&& operation) {
  try {
    return operation();
  } catch (const ENimbraError&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace nimbra
