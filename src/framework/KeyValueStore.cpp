#include "framework/KeyValueStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

#include "framework/FrameworkFolders.h"
#include "storage/AtomicFile.h"
#include "storage/FileStream.h"
#include "storage/StreamErrors.h"
#include "storage/TextCase.h"

namespace nimbra {

namespace fs = std::filesystem;

namespace {

constexpr char kMagic[4] = {'N', 'K', 'V', 'S'};
constexpr uint32_t kFormatVersion = 1;
// A value needs at least its two length fields.
constexpr size_t kSmallestEntry = 8;

// Walks the bytes of a values file; every length is checked against what is left before it is used.
class TValuesReader {
 public:
  explicit TValuesReader(std::string_view bytes) : bytes_(bytes) {}

  size_t Remaining() const { return bytes_.size() - at_; }

  uint32_t Number(const char* what) {
    if (Remaining() < 4) throw EKeyValueStoreError(std::string("cut off in ") + what);
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes_[at_ + i]);
    at_ += 4;
    return value;
  }

  std::string_view Bytes(uint32_t count, const char* what) {
    if (count > Remaining()) throw EKeyValueStoreError(std::string(what) + " reaches past the end");
    const std::string_view part = bytes_.substr(at_, count);
    at_ += count;
    return part;
  }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

void AppendNumber(std::string& out, size_t value) {
  if (value > UINT32_MAX) throw EKeyValueStoreError("value too large for the settings store");
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Serialises the writers of one key, across processes too: every change reads the file, changes it
// and replaces it, and two of those interleaved would lose one change.
class TKeyLock {
 public:
  explicit TKeyLock(const std::string& folder)
      : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ < 0) Fail(folder);
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        Fail(folder);
      }
    }
  }
  ~TKeyLock() { ::close(fd_); }
  TKeyLock(const TKeyLock&) = delete;
  TKeyLock& operator=(const TKeyLock&) = delete;

 private:
  [[noreturn]] static void Fail(const std::string& folder) {
    throw EKeyValueStoreError("Cannot lock key \"" + folder + "\": " + std::strerror(errno));
  }
  int fd_;
};

struct TLoadedValues {
  TKeyValues Values;
  std::string Damage;  // why the file could not be read; empty when it could or does not exist
};

TLoadedValues LoadValuesFile(const std::string& path) {
  std::error_code error;
  if (!fs::exists(path, error)) return {};
  std::string bytes;
  try {
    TFileStream in(path, FileMode::OpenRead);
    const int64_t size = in.Size();
    if (size > kMaxValuesFileSize) return {{}, "larger than a settings file can be"};
    bytes.resize(static_cast<size_t>(size));
    in.ReadBuffer(bytes.data(), size);
  } catch (const EStreamError& e) {
    // Removed by another process between the two looks: an empty key, not a damaged one.
    if (!fs::exists(path, error)) return {};
    return {{}, e.what()};
  }
  try {
    return {DecodeKeyValues(bytes), {}};
  } catch (const EKeyValueStoreError& e) {
    return {{}, e.what()};
  }
}

void WriteValuesFile(const std::string& path, const TKeyValues& values) {
  const std::string bytes = EncodeKeyValues(values);
  try {
    // Settings are the user's own business.
    TAtomicFile file(path, 0600);
    {
      TFileStream out(file.TemporaryName(), FileMode::Create, path);
      out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
      out.Flush();
    }
    file.Commit();
  } catch (const EStreamError& e) {
    throw EKeyValueStoreError(e.what());
  }
}


std::optional<std::vector<std::string>> KeyComponents(std::string_view path) {
  std::vector<std::string> components;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view part = path.substr(start, end - start);
    if (!part.empty()) {
      if (part == "." || part == ".." || part.find('\0') != std::string_view::npos) {
        return std::nullopt;
      }
      components.emplace_back(part);
    }
    start = end + 1;
  }
  // The registry's per-user "Software" branch is the whole store here.
  if (!components.empty() && SameTextAscii(components.front(), "Software")) {
    components.erase(components.begin());
  }
  return components;
}

std::string WithoutTrailingSlashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string EncodeKeyValues(const TKeyValues& values) {
  std::string out(kMagic, sizeof kMagic);
  AppendNumber(out, kFormatVersion);
  if (values.size() > kMaxValueCount) {
    throw EKeyValueStoreError("more values than a key can hold");
  }
  AppendNumber(out, values.size());
  for (const auto& [name, data] : values) {
    AppendNumber(out, name.size());
    out += name;
    AppendNumber(out, data.size());
    out += data;
  }
  if (static_cast<int64_t>(out.size()) > kMaxValuesFileSize) {
    throw EKeyValueStoreError("values too large for the settings store");
  }
  return out;
}

TKeyValues DecodeKeyValues(std::string_view bytes) {
  if (static_cast<int64_t>(bytes.size()) > kMaxValuesFileSize) {
    throw EKeyValueStoreError("larger than a settings file can be");
  }
  TValuesReader reader(bytes);
  if (reader.Remaining() < sizeof kMagic ||
      reader.Bytes(sizeof kMagic, "magic") != std::string_view(kMagic, sizeof kMagic)) {
    throw EKeyValueStoreError("not a settings file");
  }
  const uint32_t version = reader.Number("the format version");
  if (version != kFormatVersion) {
    throw EKeyValueStoreError("unknown format version " + std::to_string(version));
  }
  const uint32_t count = reader.Number("the value count");
  if (count > reader.Remaining() / kSmallestEntry) {
    throw EKeyValueStoreError("value count reaches past the end");
  }
  if (count > kMaxValueCount) throw EKeyValueStoreError("more values than a key can hold");
  TKeyValues values;
  values.reserve(count);
  std::set<std::string_view> names;
  for (uint32_t i = 0; i < count; ++i) {
    const std::string_view name = reader.Bytes(reader.Number("a name length"), "a name");
    const std::string_view data = reader.Bytes(reader.Number("a data length"), "a value");
    if (!names.insert(name).second) throw EKeyValueStoreError("value name stored twice");
    values.emplace_back(name, data);
  }
  if (reader.Remaining() != 0) throw EKeyValueStoreError("bytes after the last value");
  return values;
}

TKeyValueStore::TKeyValueStore(std::string rootFolder)
    : root_(WithoutTrailingSlashes(std::move(rootFolder))) {}

std::string TKeyValueStore::DefaultRootFolder() {
  if (const char* own = std::getenv("NIMBRA_CONFIG_HOME"); own != nullptr && *own != '\0') {
    return own;
  }
  // A relative XDG path is invalid by the base-directory rules and is ignored.
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') return xdg;
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/.config";
}

std::optional<std::string> TKeyValueStore::KeyFolder(std::string_view path) const {
  if (root_.empty()) return std::nullopt;
  const auto components = KeyComponents(path);
  if (!components) return std::nullopt;
  std::string folder = root_;
  for (const std::string& component : *components) folder += "/" + component;
  return folder;
}

bool TKeyValueStore::OpenKey(std::string_view path, bool canCreate) {
  const auto folder = KeyFolder(path);
  if (!folder) return false;
  std::error_code error;
  if (!fs::is_directory(*folder, error)) {
    if (!canCreate) return false;
    fs::create_directories(*folder, error);
    if (!fs::is_directory(*folder, error)) return false;
  }
  currentFolder_ = *folder;
  readOnly_ = false;
  return true;
}

bool TKeyValueStore::OpenKeyReadOnly(std::string_view path) {
  const auto folder = KeyFolder(path);
  std::error_code error;
  if (!folder || !fs::is_directory(*folder, error)) return false;
  currentFolder_ = *folder;
  readOnly_ = true;
  return true;
}

void TKeyValueStore::CloseKey() {
  currentFolder_.clear();
  readOnly_ = false;
}

bool TKeyValueStore::KeyExists(std::string_view path) const {
  const auto folder = KeyFolder(path);
  std::error_code error;
  return folder && fs::is_directory(*folder, error);
}

bool TKeyValueStore::DeleteKey(std::string_view path) {
  const auto folder = KeyFolder(path);
  if (!folder || *folder == root_) return false;
  std::error_code error;
  if (!fs::is_directory(*folder, error)) return false;
  if (currentFolder_ == *folder || currentFolder_.starts_with(*folder + "/")) CloseKey();
  fs::remove_all(*folder, error);
  return !error;
}

std::string TKeyValueStore::ValuesFile() const {
  return currentFolder_ + "/" + std::string(kValuesFileName);
}

void TKeyValueStore::Report(const std::string& path, const std::string& why) const {
  if (!reported_.insert(path).second) return;
  const std::string message =
      "Damaged settings file \"" + path + "\" (" + why + ") is read as an empty key";
  if (reporter_) {
    reporter_(message);
  } else {
    std::fprintf(stderr, "nimbra: %s\n", message.c_str());
  }
}

TKeyValues TKeyValueStore::ReadValues() const {
  if (!HasCurrentKey()) return {};
  const std::string path = ValuesFile();
  TLoadedValues loaded = LoadValuesFile(path);
  if (!loaded.Damage.empty()) Report(path, loaded.Damage);
  return std::move(loaded.Values);
}

template <typename Change>
bool TKeyValueStore::ChangeValues(Change change) {
  if (!HasCurrentKey()) throw EKeyValueStoreError("No key is open");
  if (readOnly_) throw EKeyValueStoreError("Key \"" + currentFolder_ + "\" is open for reading");
  TKeyLock lock(currentFolder_);
  const std::string path = ValuesFile();
  TLoadedValues loaded = LoadValuesFile(path);
  if (!change(loaded.Values)) return false;
  if (!loaded.Damage.empty()) {
    Report(path, loaded.Damage);
    const std::string aside = currentFolder_ + "/" + std::string(kDamagedValuesFileName);
    if (std::rename(path.c_str(), aside.c_str()) != 0) {
      throw EKeyValueStoreError("Cannot move \"" + path + "\" aside: " + std::strerror(errno));
    }
  }
  WriteValuesFile(path, loaded.Values);
  // A damaged file that was replaced is worth a report again should it break once more.
  reported_.erase(path);
  // Under the key's lock no other writer is between writing and renaming: what is left is strays.
  TAtomicFile::RemoveLeftovers(path);
  return true;
}

bool TKeyValueStore::ValueExists(std::string_view name) const { return GetDataSize(name) >= 0; }

int64_t TKeyValueStore::GetDataSize(std::string_view name) const {
  for (const auto& [valueName, data] : ReadValues()) {
    if (valueName == name) return static_cast<int64_t>(data.size());
  }
  return -1;
}

std::string TKeyValueStore::ReadBinaryData(std::string_view name) const {
  for (auto& [valueName, data] : ReadValues()) {
    if (valueName == name) return std::move(data);
  }
  throw EKeyValueStoreError("Value \"" + std::string(name) + "\" does not exist");
}

void TKeyValueStore::WriteBinaryData(std::string_view name, std::string_view data) {
  ChangeValues([&](TKeyValues& values) {
    for (auto& [valueName, stored] : values) {
      if (valueName == name) {
        stored = data;
        return true;
      }
    }
    values.emplace_back(name, data);
    return true;
  });
}

std::vector<std::string> TKeyValueStore::GetValueNames() const {
  std::vector<std::string> names;
  for (auto& [valueName, data] : ReadValues()) names.push_back(std::move(valueName));
  return names;
}

bool TKeyValueStore::DeleteValue(std::string_view name) {
  return ChangeValues([&](TKeyValues& values) {
    for (auto it = values.begin(); it != values.end(); ++it) {
      if (it->first == name) {
        values.erase(it);
        return true;
      }
    }
    return false;
  });
}

}  // namespace nimbra
