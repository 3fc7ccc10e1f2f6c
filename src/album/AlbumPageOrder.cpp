#include "album/AlbumPageOrder.h"

#include <random>

#include "album/AlbumStoreValue.h"

namespace nimbra {

std::string EncodePageOrder(const TAlbumPageOrder& order) {
  std::string bytes(kStoredPageOrderSize, '\0');
  bytes[0] = static_cast<char>(order.Mode);
  for (size_t i = 0; i < 4; ++i) bytes[1 + i] = static_cast<char>((order.Seed >> (8 * i)) & 0xFF);
  return bytes;
}

TAlbumPageOrder DecodePageOrder(std::string_view bytes) {
  if (bytes.size() != kStoredPageOrderSize) return {};
  const auto mode = static_cast<uint8_t>(bytes[0]);
  if (mode > static_cast<uint8_t>(TPageOrderMode::Random)) return {};
  TAlbumPageOrder order{static_cast<TPageOrderMode>(mode), 0};
  for (size_t i = 0; i < 4; ++i) {
    order.Seed |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[1 + i])) << (8 * i);
  }
  return order;
}

TAlbumPageOrder LoadPageOrder(TKeyValueStore& store, std::string_view key) {
  const std::optional<std::string> bytes =
      LoadAlbumStoreValue(store, key, kPageOrderValueName, kStoredPageOrderSize);
  return bytes ? DecodePageOrder(*bytes) : TAlbumPageOrder{};
}

bool SavePageOrder(TKeyValueStore& store, std::string_view key, const TAlbumPageOrder& order) {
  return SaveAlbumStoreValue(store, key, kPageOrderValueName, EncodePageOrder(order));
}

uint32_t NewPageOrderSeed() {
  std::random_device device;
  return device();
}

}  // namespace nimbra
