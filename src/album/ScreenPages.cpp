#include "album/ScreenPages.h"

#include "album/AlbumStoreValue.h"

namespace nimbra {

std::string EncodeScreenPages(TScreenPages pages) {
  return std::string(1, static_cast<char>(pages));
}

TScreenPages DecodeScreenPages(std::string_view bytes) {
  if (bytes.size() != 1) return kDefaultScreenPages;
  const auto mode = static_cast<uint8_t>(bytes[0]);
  if (mode > static_cast<uint8_t>(TScreenPages::ConsecutivePages)) return kDefaultScreenPages;
  return static_cast<TScreenPages>(mode);
}

TScreenPages LoadScreenPages(TKeyValueStore& store, std::string_view key) {
  const std::optional<std::string> bytes =
      LoadAlbumStoreValue(store, key, kScreenPagesValueName, 1);
  return bytes ? DecodeScreenPages(*bytes) : kDefaultScreenPages;
}

bool SaveScreenPages(TKeyValueStore& store, std::string_view key, TScreenPages pages) {
  return SaveAlbumStoreValue(store, key, kScreenPagesValueName, EncodeScreenPages(pages));
}

}  // namespace nimbra
