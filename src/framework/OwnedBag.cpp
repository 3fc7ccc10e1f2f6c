#include "framework/OwnedBag.h"

#include "storage/CSFStream.h"
#include "storage/FalseOnFailure.h"

namespace nimbra {

bool WriteBagInSubChunk(TCSFStream& stream, const TProperties& bag) {
  return FalseOnFailure([&] {
    TWriteSubChunk chunk(stream);
    const bool written = bag.WriteToStream(stream);
    chunk.End();
    return written;
  });
}

bool ReadBagInSubChunk(TCSFStream& stream, TProperties& bag) {
  return FalseOnFailure([&] {
    TReadSubChunk chunk(stream);
    return bag.ReadFromStream(stream);
  });
}

}  // namespace nimbra
