// The order in which an album shows its pictures: as the slideshow holds them, by the capture
// dates the pictures' EXIF records give, or shuffled. Each user chooses it per album; it is kept
// beside the album's settings in the album's own key, as a value of its own, so that the settings'
// stored form stays as every other reader of it knows it.
//
// Stored value "Reihenfolge", five bytes: the order (0 as stored, 1 by capture date, 2 random),
// then the shuffle's seed as unsigned 32-bit little-endian. The seed is kept, so that a remembered
// page means the same picture on the next start.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbra {

class TKeyValueStore;

enum class TPageOrderMode : uint8_t { AsStored = 0, ByCaptureDate = 1, Random = 2 };

struct TAlbumPageOrder {
  TPageOrderMode Mode = TPageOrderMode::AsStored;
  // Only the random order uses it.
  uint32_t Seed = 0;

  bool operator==(const TAlbumPageOrder&) const = default;
};

// Whether two orders put the pages alike: the seed counts for the random order alone.
constexpr bool OrdersAlike(const TAlbumPageOrder& a, const TAlbumPageOrder& b) {
  return a.Mode == b.Mode && (a.Mode != TPageOrderMode::Random || a.Seed == b.Seed);
}

inline constexpr std::string_view kPageOrderValueName = "Reihenfolge";
inline constexpr size_t kStoredPageOrderSize = 5;

std::string EncodePageOrder(const TAlbumPageOrder& order);
// A value of another size or with an unknown order reads as "as stored".
TAlbumPageOrder DecodePageOrder(std::string_view bytes);

// The value in the store's key; "as stored" when the key, the value or its bytes are missing or
// damaged.
TAlbumPageOrder LoadPageOrder(TKeyValueStore& store, std::string_view key);
// Writes the value, creating the key when needed; false when the store refuses.
bool SavePageOrder(TKeyValueStore& store, std::string_view key, const TAlbumPageOrder& order);

// A seed for a newly chosen random order.
uint32_t NewPageOrderSeed();

// What the settings dialog edits besides the change mode: the album's settings bag implements it.
class IAlbumPageOrderSettings {
 public:
  virtual ~IAlbumPageOrderSettings() = default;
  virtual TAlbumPageOrder PageOrder() const = 0;
  virtual void SetPageOrder(const TAlbumPageOrder& order) = 0;
};

// The order as a member, for a settings bag to inherit.
class TAlbumPageOrderSetting : public IAlbumPageOrderSettings {
 public:
  TAlbumPageOrder PageOrder() const override { return pageOrder_; }
  void SetPageOrder(const TAlbumPageOrder& order) override { pageOrder_ = order; }

 private:
  TAlbumPageOrder pageOrder_;
};

}  // namespace nimbra
