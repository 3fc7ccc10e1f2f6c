// The chunks a stream's header counts, read one by one: lists of stored objects (elements,
// templates, settings bags, play-list items) are stored this way, one chunk per entry.
#pragma once

#include <cstdint>
#include <functional>

namespace nimbra {

class TCSFStream;

// Hands each chunk to read, with its id, positioned behind the chunk's header; read says whether
// the chunk was read, and a chunk whose read raises the project's error or runs out of memory
// counts as not read. Every chunk is left where its length says, whatever was read of it. True
// when every chunk was read. A damaged chunk header raises: nothing after it can be found.
bool ReadChunks(TCSFStream& stream, const std::function<bool(int32_t chunkId)>& read);

}  // namespace nimbra
