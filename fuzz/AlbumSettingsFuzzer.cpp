// libFuzzer target for the album's settings as the album reads them: the bytes are the "Oriel.cfg"
// entry of its package, the user's value in the settings store, and then the store's whole values
// file, which other programs may have written. The settings are nine bytes without a header
// (TDesktopNimbraProperties): with all nine there every reading takes them and they write back as
// the same bytes (but for an interval below the shortest, which reads as the shortest); with fewer
// the settings stay as they were. What the sanitizers or libFuzzer's
// limits catch, or a broken promise checked below, is a bug.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "FreshFile.h"
#include "album/DesktopNimbraProperties.h"
#include "album/NimbraApplicationInfo.h"
#include "framework/KeyValueStore.h"
#include "storage/FileAccess.h"
#include "storage/MemoryStream.h"
#include "storage/Packager.h"

namespace nimbra::fuzz {

namespace {

namespace fs = std::filesystem;

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

// The store of this process, below a folder of its own that goes at exit.
std::string& StoreRoot() {
  static std::string root;
  return root;
}

std::string Stored(const TDesktopNimbraProperties& settings) {
  TMemoryStream stream;
  Expect(settings.SaveToStream(stream, 0, 0));
  return stream.ToString();
}

// Each reading starts from settings that differ from the defaults, so that a reading which resets
// them is told apart from one that leaves them alone.
constexpr int32_t kPageBeforeReading = -2;

std::string StoredBeforeReading() {
  TDesktopNimbraProperties settings;
  settings.SetPage(kPageBeforeReading);
  return Stored(settings);
}

// The nine bytes as a reading takes them: an interval below the shortest one (the first four
// bytes, little-endian) reads as the shortest.
std::string AsRead(std::string_view nineBytes) {
  std::string bytes(nineBytes);
  uint32_t stored = 0;
  for (int i = 3; i >= 0; --i) stored = stored << 8 | static_cast<uint8_t>(bytes[i]);
  if (static_cast<int32_t>(stored) < kMinimumChangeInterval) {
    for (int i = 0; i < 4; ++i) {
      bytes[i] =
          static_cast<char>((static_cast<uint32_t>(kMinimumChangeInterval) >> (8 * i)) & 0xFF);
    }
  }
  return bytes;
}

// What one reading of a value must have done: taken its first nine bytes, or nothing at all.
void CheckReading(bool loaded, const TDesktopNimbraProperties& settings,
                  std::optional<std::string_view> value) {
  const bool complete = value && value->size() >= TDesktopNimbraProperties::kStoredSize;
  Expect(loaded == complete);
  const std::string expected = complete
                                   ? AsRead(value->substr(0, TDesktopNimbraProperties::kStoredSize))
                                   : StoredBeforeReading();
  Expect(Stored(settings) == expected);
}

void ReadFromPackage(std::string_view bytes) {
  TMemoryStream package;
  {
    TPackager writer;
    Expect(writer.CreatePackageStream(package));
    TMemoryStream entry(bytes);
    Expect(writer.AddStream(
        entry, std::make_unique<TPackageFileListItem>(std::string(kOrielPackageFile.substr(1)))));
    Expect(writer.Close());
  }
  auto reader = std::make_unique<TPackager>();
  Expect(reader->OpenPackageStream(package));
  const auto access = std::make_shared<TFileAccess>();
  access->AddPackager(std::move(reader), "ALBUM");
  SetFileAccess(access);
  TDesktopNimbraProperties settings;
  settings.SetPage(kPageBeforeReading);
  const bool loaded = settings.LoadFromPackageFile();
  SetFileAccess(nullptr);
  CheckReading(loaded, settings, bytes);
}

// Replaces the product key's values file with the bytes and reads the settings from the store.
bool ReadFromStore(std::string_view valuesFile, TDesktopNimbraProperties& settings) {
  TKeyValueStore store(StoreRoot());
  store.SetReporter([](const std::string&) {});
  const std::optional<std::string> folder = store.KeyFolder(NimbraApplicationInfo()->RegistryKey());
  Expect(folder.has_value());
  fs::create_directories(*folder);
  Expect(WriteFreshFile(fs::path(*folder) / kValuesFileName, valuesFile));
  return settings.LoadFromUserStore(store);
}

void ReadAsStoreValue(std::string_view bytes) {
  TDesktopNimbraProperties settings;
  settings.SetPage(kPageBeforeReading);
  const std::string valuesFile =
      EncodeKeyValues({{std::string(kOrielValueName), std::string(bytes)}});
  CheckReading(ReadFromStore(valuesFile, settings), settings, bytes);
}

// A damaged file reads as a key without values.
void ReadAsValuesFile(std::string_view bytes) {
  std::optional<std::string> value;
  try {
    for (const auto& [name, data] : DecodeKeyValues(bytes)) {
      if (name == kOrielValueName) value = data;
    }
  } catch (const EKeyValueStoreError&) {
    value.reset();
  }
  TDesktopNimbraProperties settings;
  settings.SetPage(kPageBeforeReading);
  CheckReading(ReadFromStore(bytes, settings), settings, value);
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  nimbra::InstallApplicationInfo();
  std::string pattern =
      (std::filesystem::temp_directory_path() / "nimbra-settings-fuzz-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) std::abort();
  nimbra::fuzz::StoreRoot() = pattern;
  std::atexit([] {
    std::error_code error;
    std::filesystem::remove_all(nimbra::fuzz::StoreRoot(), error);
    nimbra::ClearApplicationInfo();
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  nimbra::fuzz::ReadFromPackage(bytes);
  nimbra::fuzz::ReadAsStoreValue(bytes);
  nimbra::fuzz::ReadAsValuesFile(bytes);
  return 0;
}
