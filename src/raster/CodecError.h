// The error every picture reader and writer raises for data it cannot handle: a wrong signature,
// a size it refuses, data that ends early or contradicts itself. LoadGraphic turns it into none.
#pragma once

#include <stdexcept>

#include "storage/NimbraError.h"

namespace nimbra {

class ECodecError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

}  // namespace nimbra
