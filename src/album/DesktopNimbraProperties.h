// The album's settings: how often and when the wallpaper changes, and the page shown last. They
// come with the album (the package file "|Oriel.cfg"), are overridden by the user's copy in the
// settings store (value "OrielProperties" in the album's own key below the product key, so that
// albums on one machine keep their own) and are written back there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "album/AlbumPageOrder.h"
#include "album/DesktopNimbraSettings.h"
#include "album/ScreenPages.h"
#include "framework/Properties.h"

namespace nimbra {

class TKeyValueStore;

inline constexpr std::string_view kOrielPackageFile = "|Oriel.cfg";
inline constexpr std::string_view kOrielValueName = "OrielProperties";

// The page order and the pages of several screens ride along in memory (the dialog edits them
// with the rest) but are no part of the stored form: each is stored on its own (AlbumPageOrder.h,
// ScreenPages.h).
class TDesktopNimbraProperties : public TProperties,
                                 public IDesktopNimbraSettings,
                                 public TAlbumPageOrderSetting,
                                 public TScreenPagesSetting {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static constexpr int32_t kDefaultInterval = 1800000;
  // Interval, change mode, page: 4 + 1 + 4 bytes, without any header.
  static constexpr int kStoredSize = 9;

  TDesktopNimbraProperties() = default;

  int32_t Interval() const override { return interval_; }
  void SetInterval(int32_t milliseconds) override { interval_ = milliseconds; }
  uint8_t ChangeMode() const override { return changeMode_; }
  void SetChangeMode(uint8_t mode) override { changeMode_ = mode; }
  // The page shown last; -1 starts with the first page.
  int32_t Page() const { return page_; }
  void SetPage(int32_t page) { page_ = page; }

  std::string EditorFrameClassNames() const override;
  // A copy carries the page order and the screens' pages as well.
  void Assign(const TPlugin& source) override;
  // Back to the settings the bag starts with; the page order and the screens' pages, which no
  // album comes with, stay.
  void Reset() override;
  // Read all or none: a short copy changes nothing.
  void MapFields(TFieldMap& map) override;
  // As stored, except that an interval below kMinimumChangeInterval reads as that minimum (the
  // package's "|Oriel.cfg" and the user's copy alike); the stored form stays the same.
  bool ReadFromStream(TCSFStream& stream) override;

  // "|Oriel.cfg" through the global file access; false (bag unchanged) when there is none.
  bool LoadFromPackageFile();
  // The user's copy in the store's key (empty: the product key of the application information); a
  // missing key or value leaves the bag unchanged and yields false.
  bool LoadFromUserStore(TKeyValueStore& store, std::string_view key = {});
  // Writes the user's copy, creating the key when needed.
  bool SaveToUserStore(TKeyValueStore& store, std::string_view key = {}) const;
  // The folder of the store that holds the user's copy.
  static std::string UserStoreFolder(const TKeyValueStore& store, std::string_view key = {});
  // The product key of the application information; empty without one.
  static std::string ProductKey();

 private:
  int32_t interval_ = kDefaultInterval;
  uint8_t changeMode_ = 0;
  int32_t page_ = -1;
};

}  // namespace nimbra
