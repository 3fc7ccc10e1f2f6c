// The error every picture reader and writer raises for data it cannot handle: a wrong signature,
// a size it refuses, data that ends early or contradicts itself. LoadGraphic turns it into none.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "storage/NimbraError.h"

namespace nimbra {

class ECodecError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// The file is no picture of a format the readers know. Its message is the one users see.
class EFormatNotSupported : public ECodecError {
 public:
  EFormatNotSupported() : ECodecError("Format nicht unterstützt") {}
};

// The picture has more pixels than its reader accepts. The message, the one users see, gives both
// in megapixels: the picture's rounded up, the limit's rounded down, so that they never look equal.
class EPictureTooLarge : public ECodecError {
 public:
  EPictureTooLarge(int64_t pixels, int64_t maxPixels);
};

}  // namespace nimbra
