// The error every picture reader and writer raises for data it cannot handle: a wrong signature,
// a size it refuses, data that ends early or contradicts itself. LoadGraphic turns it into none.
#pragma once

#include <stdexcept>

namespace nimbra {

class ECodecError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace nimbra
