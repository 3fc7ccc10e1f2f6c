// What a desktop of several screens shows: the same page on every screen, or consecutive pages of
// the album, one per screen in reading order. Each user chooses it per album; like the page order
// it is kept beside the album's settings in the album's own key, as a value of its own, so that
// the settings' stored form stays as every other reader of it knows it.
//
// Stored value "Bildschirme", one byte: 0 the same page, 1 consecutive pages.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbra {

class TKeyValueStore;

enum class TScreenPages : uint8_t { SamePage = 0, ConsecutivePages = 1 };

// A desk of two screens is read like an open book.
inline constexpr TScreenPages kDefaultScreenPages = TScreenPages::ConsecutivePages;

inline constexpr std::string_view kScreenPagesValueName = "Bildschirme";

std::string EncodeScreenPages(TScreenPages pages);
// A value of another size or with an unknown mode reads as the default.
TScreenPages DecodeScreenPages(std::string_view bytes);

// The value in the store's key; the default when the key, the value or its byte is missing or
// damaged.
TScreenPages LoadScreenPages(TKeyValueStore& store, std::string_view key);
// Writes the value, creating the key when needed; false when the store refuses.
bool SaveScreenPages(TKeyValueStore& store, std::string_view key, TScreenPages pages);

// What the settings dialog edits for several screens: the album's settings bag implements it.
class IScreenPagesSettings {
 public:
  virtual ~IScreenPagesSettings() = default;
  virtual TScreenPages ScreenPages() const = 0;
  virtual void SetScreenPages(TScreenPages pages) = 0;
};

// The choice as a member, for a settings bag to inherit.
class TScreenPagesSetting : public IScreenPagesSettings {
 public:
  TScreenPages ScreenPages() const override { return screenPages_; }
  void SetScreenPages(TScreenPages pages) override { screenPages_ = pages; }

 private:
  TScreenPages screenPages_ = kDefaultScreenPages;
};

}  // namespace nimbra
