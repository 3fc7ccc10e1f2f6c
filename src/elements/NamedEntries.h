// The stored form of a list a bag holds whose items say their class: the number of items, then
// per item a sub-chunk with the item's class name and its fields. Readers differ (some lists make
// the stored classes, some fill the items they have), so only writing is shared.
#pragma once

#include <cstdint>

#include "framework/Properties.h"
#include "storage/CSFStream.h"

namespace nimbra {

// TList has Count() and Items(index); its items have WriteToStream. False when an item failed;
// the items after it are still written.
template <typename TList>
bool WriteNamedEntries(TCSFStream& stream, const TList& list) {
  stream.WriteInteger(list.Count());
  bool written = true;
  for (int32_t i = 0; i < list.Count(); ++i) {
    const auto& item = list.Items(i);
    TWriteSubChunk entry(stream);
    stream.WriteClassName(&item);
    written = item.WriteToStream(stream) && written;
    entry.End();
  }
  return written;
}

}  // namespace nimbra
