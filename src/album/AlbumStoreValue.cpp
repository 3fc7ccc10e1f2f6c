#include "album/AlbumStoreValue.h"

#include "framework/KeyValueStore.h"
#include "storage/FalseOnFailure.h"

namespace nimbra {

std::optional<std::string> LoadAlbumStoreValue(TKeyValueStore& store, std::string_view key,
                                               std::string_view name, size_t size) {
  if (key.empty() || !store.OpenKeyReadOnly(key)) return std::nullopt;
  std::optional<std::string> bytes;
  FalseOnFailure([&] {
    if (store.GetDataSize(name) != static_cast<int64_t>(size)) return false;
    bytes = store.ReadBinaryData(name);
    return true;
  });
  store.CloseKey();
  return bytes;
}

bool SaveAlbumStoreValue(TKeyValueStore& store, std::string_view key, std::string_view name,
                         const std::string& bytes) {
  if (key.empty() || !store.OpenKey(key, true)) return false;
  const bool saved = FalseOnFailure([&] {
    store.WriteBinaryData(name, bytes);
    return true;
  });
  store.CloseKey();
  return saved;
}

}  // namespace nimbra
