// The catch of a boundary that reports failure by its result: the project's errors and a failed
// allocation become false (or the result that stands for failure); any other exception is a
// broken invariant and passes on.
#pragma once

#include <new>
#include <utility>

#include "storage/NimbraError.h"

namespace nimbra {

template <typename Result, typename Operation>
Result ResultOnFailure(Result failed, Operation&& operation) {
  try {
    return operation();
  } catch (const ENimbraError&) {
    return failed;
  } catch (const std::bad_alloc&) {
    return failed;
  }
}

template <typename Operation>
bool FalseOnFailure(Operation&& operation) {
  return ResultOnFailure(false, std::forward<Operation>(operation));
}

}  // namespace nimbra
