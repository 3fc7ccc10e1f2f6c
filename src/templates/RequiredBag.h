// The typed bag of a structure element, event or jump. Each kind's constructor makes its bag from
// a class of the kind's own bag type, so the bag is always there; a kind made with a foreign bag
// class is a programming error, reported instead of read through a null pointer.
#pragma once

#include "storage/Check.h"

namespace nimbra {

// Kept out of line: once inlined, the optimiser follows the cast's null result past the check and
// warns about a dereference that cannot happen.
template <typename T>
[[gnu::noinline]] T& RequiredBag(T* bag) {
  NIMBRA_CHECK(bag != nullptr, "an object without the bag of its kind");
  return *bag;
}

}  // namespace nimbra
