#include "album/DesktopNimbraProperties.h"

#include <memory>
#include <string>

#include "framework/ApplicationInfo.h"
#include "framework/FieldWriter.h"
#include "framework/KeyValueStore.h"
#include "storage/CSFStream.h"
#include "storage/FileAccess.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TDesktopNimbraProperties, TProperties)

namespace {

// The settings are stored without a header, so the file type and version say nothing.
constexpr int32_t kStoredFileType = 0;
constexpr int32_t kStoredFileVersion = 0;

std::string ProductKey() {
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  return info ? info->RegistryKey() : std::string();
}

}  // namespace

std::string TDesktopNimbraProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TProperties::EditorFrameClassNames(),
                                    "TDesktopNimbraPropertyEditorFrame");
}

bool TDesktopNimbraProperties::WriteToStream(TCSFStream& stream) const {
  if (!TProperties::WriteToStream(stream)) return false;
  try {
    stream.WriteInteger(interval_);
    stream.WriteBuffer(&changeMode_, 1);
    stream.WriteInteger(page_);
    return true;
  } catch (...) {
    return false;
  }
}

bool TDesktopNimbraProperties::ReadFromStream(TCSFStream& stream) {
  if (!TProperties::ReadFromStream(stream)) return false;
  try {
    const int32_t interval = stream.ReadInteger();
    uint8_t mode = 0;
    stream.ReadBuffer(&mode, 1);
    const int32_t page = stream.ReadInteger();
    interval_ = interval;
    changeMode_ = mode;
    page_ = page;
    return true;
  } catch (...) {
    return false;
  }
}

void TDesktopNimbraProperties::DescribeFields(TFieldWriter& fields) const {
  TProperties::DescribeFields(fields);
  fields.Integer("Interval", interval_);
  fields.Integer("ChangeMode", changeMode_);
  fields.Integer("Page", page_);
}

bool TDesktopNimbraProperties::LoadFromPackageFile() {
  const std::shared_ptr<IFileAccess> access = FileAccess();
  if (!access) return false;
  try {
    const std::unique_ptr<TStream> stream = access->OpenFile(kOrielPackageFile);
    return stream && LoadFromStream(*stream, kStoredFileType, kStoredFileVersion);
  } catch (...) {
    return false;
  }
}

bool TDesktopNimbraProperties::LoadFromUserStore(TKeyValueStore& store) {
  const std::string key = ProductKey();
  if (key.empty() || !store.OpenKeyReadOnly(key)) return false;
  const bool loaded =
      LoadFromRegistry(store, std::string(kOrielValueName), kStoredFileType, kStoredFileVersion);
  store.CloseKey();
  return loaded;
}

std::string TDesktopNimbraProperties::UserStoreFolder(const TKeyValueStore& store) {
  return store.KeyFolder(ProductKey()).value_or(store.RootFolder());
}

bool TDesktopNimbraProperties::SaveToUserStore(TKeyValueStore& store) const {
  const std::string key = ProductKey();
  if (key.empty() || !store.OpenKey(key, true)) return false;
  const bool saved =
      SaveToRegistry(store, std::string(kOrielValueName), kStoredFileType, kStoredFileVersion);
  store.CloseKey();
  return saved;
}

}  // namespace nimbra
