#include "album/DesktopNimbraProperties.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include "framework/ApplicationInfo.h"
#include "framework/FieldMap.h"
#include "framework/KeyValueStore.h"
#include "storage/FileAccess.h"
#include "storage/NimbraError.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TDesktopNimbraProperties, TProperties)

namespace {

// The settings are stored without a header, so the file type and version say nothing.
constexpr int32_t kStoredFileType = 0;
constexpr int32_t kStoredFileVersion = 0;

std::string KeyOrProductKey(std::string_view key) {
  return key.empty() ? TDesktopNimbraProperties::ProductKey() : std::string(key);
}

}  // namespace

std::string TDesktopNimbraProperties::ProductKey() {
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  return info ? info->RegistryKey() : std::string();
}

std::string TDesktopNimbraProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TProperties::EditorFrameClassNames(),
                                    "TDesktopNimbraPropertyEditorFrame");
}

void TDesktopNimbraProperties::Assign(const TPlugin& source) {
  TProperties::Assign(source);
  if (const auto* settings = dynamic_cast<const TDesktopNimbraProperties*>(&source)) {
    SetPageOrder(settings->PageOrder());
    SetScreenPages(settings->ScreenPages());
  }
}

void TDesktopNimbraProperties::Reset() {
  const TAlbumPageOrder order = PageOrder();
  const TScreenPages screenPages = ScreenPages();
  TProperties::Reset();
  SetPageOrder(order);
  SetScreenPages(screenPages);
}

void TDesktopNimbraProperties::MapFields(TFieldMap& map) {
  TProperties::MapFields(map);
  map.Whole([&] {
    map.Integer("Interval", interval_);
    map.Byte("ChangeMode", changeMode_);
    map.Integer("Page", page_);
  });
}

bool TDesktopNimbraProperties::ReadFromStream(TCSFStream& stream) {
  if (!TProperties::ReadFromStream(stream)) return false;
  interval_ = std::max(interval_, kMinimumChangeInterval);
  return true;
}

bool TDesktopNimbraProperties::LoadFromPackageFile() {
  const std::shared_ptr<IFileAccess> access = FileAccess();
  if (!access) return false;
  try {
    const std::unique_ptr<TStream> stream = access->OpenFile(kOrielPackageFile);
    return stream && LoadFromStream(*stream, kStoredFileType, kStoredFileVersion);
  } catch (const ENimbraError&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool TDesktopNimbraProperties::LoadFromUserStore(TKeyValueStore& store, std::string_view storeKey) {
  const std::string key = KeyOrProductKey(storeKey);
  if (key.empty() || !store.OpenKeyReadOnly(key)) return false;
  const bool loaded =
      LoadFromRegistry(store, std::string(kOrielValueName), kStoredFileType, kStoredFileVersion);
  store.CloseKey();
  return loaded;
}

std::string TDesktopNimbraProperties::UserStoreFolder(const TKeyValueStore& store,
                                                      std::string_view key) {
  return store.KeyFolder(KeyOrProductKey(key)).value_or(store.RootFolder());
}

bool TDesktopNimbraProperties::SaveToUserStore(TKeyValueStore& store,
                                               std::string_view storeKey) const {
  const std::string key = KeyOrProductKey(storeKey);
  if (key.empty() || !store.OpenKey(key, true)) return false;
  const bool saved =
      SaveToRegistry(store, std::string(kOrielValueName), kStoredFileType, kStoredFileVersion);
  store.CloseKey();
  return saved;
}

}  // namespace nimbra
