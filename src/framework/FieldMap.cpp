#include "framework/FieldMap.h"

#include "storage/CSFStream.h"

namespace nimbra {

bool TFieldMap::Since(int32_t fileVersion) {
  return Has([fileVersion](TCSFStream& stream) { return stream.FileVersion() >= fileVersion; });
}

bool TFieldMap::More() {
  return Has([](TCSFStream& stream) { return stream.MoreInSubChunk(); });
}

}  // namespace nimbra
