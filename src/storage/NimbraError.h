// The root of every exception the project raises, so that a boundary (an operation that reports
// failure by its result, a program's main) can tell the project's own failures from the standard
// library's and from broken invariants.
#pragma once

#include <stdexcept>
#include <string>

namespace nimbra {

class ENimbraError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace nimbra
