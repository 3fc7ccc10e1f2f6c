// A value of its own in an album's key of the settings store, beside the album's settings: for
// choices the settings' stored form has no room for.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace nimbra {

class TKeyValueStore;

// The value's bytes; none when the key or the value is missing or the value is not exactly size
// bytes long (refused before it is read).
std::optional<std::string> LoadAlbumStoreValue(TKeyValueStore& store, std::string_view key,
                                               std::string_view name, size_t size);
// Writes the value, creating the key when needed; false when the store refuses.
bool SaveAlbumStoreValue(TKeyValueStore& store, std::string_view key, std::string_view name,
                         const std::string& bytes);

}  // namespace nimbra
