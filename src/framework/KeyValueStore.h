// The per-user settings store that stands in for the registry: keys are folders below a root
// folder, and each key keeps all of its named binary values in one file, "values.nkv". Every change
// replaces that file as a whole (temporary file, fsync, rename), so a crash leaves the old file or
// the new one, never a torn mixture.
//
// Key paths are written the Windows way ("\Software\Velmora\Nimbra\1.x\"); "/" separates as well.
// A leading "Software" component maps away, so the product key lands in <root>/Velmora/Nimbra/1.x/.
// Paths always start at the root; "." and ".." are no key names.
//
// values.nkv (all numbers unsigned 32-bit little-endian):
//   "NKVS"     magic
//   1          format version
//   n          number of values
//   n times:   name length, name bytes (UTF-8), data length, data bytes
// Nothing follows the last value and no name appears twice. A file that breaks any of this, is
// larger than kMaxValuesFileSize or holds more than kMaxValueCount values, is damaged: it reads as
// an empty key and is reported once; the next write moves it aside to "values.nkv.damaged" before
// replacing it, so its bytes stay available to whoever wants to rescue them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/NimbraError.h"

namespace nimbra {

// A write without a writable key, a missing value read, or a file the system refuses.
class EKeyValueStoreError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// The values of one key, in the order they were first written.
using TKeyValues = std::vector<std::pair<std::string, std::string>>;

inline constexpr std::string_view kValuesFileName = "values.nkv";
inline constexpr std::string_view kDamagedValuesFileName = "values.nkv.damaged";
// Settings values are small and few; the bounds keep a foreign file from being read into memory
// whole or from turning into millions of values.
inline constexpr int64_t kMaxValuesFileSize = 16 * 1024 * 1024;
inline constexpr uint32_t kMaxValueCount = 65536;

// The bytes of a values file holding these values.
std::string EncodeKeyValues(const TKeyValues& values);
// The values a file's bytes hold; raises EKeyValueStoreError, saying why, for damaged bytes.
TKeyValues DecodeKeyValues(std::string_view bytes);

class TKeyValueStore {
 public:
  using TReporter = std::function<void(const std::string& message)>;

  // The store below rootFolder; by default $NIMBRA_CONFIG_HOME, else $XDG_CONFIG_HOME, else
  // ~/.config.
  explicit TKeyValueStore(std::string rootFolder = DefaultRootFolder());
  static std::string DefaultRootFolder();
  const std::string& RootFolder() const { return root_; }
  // Who hears of damaged files; standard error unless replaced.
  void SetReporter(TReporter reporter) { reporter_ = std::move(reporter); }

  // Makes the key current; creates it (with its parents) when missing and canCreate is set.
  bool OpenKey(std::string_view path, bool canCreate);
  // Makes an existing key current for reading only.
  bool OpenKeyReadOnly(std::string_view path);
  void CloseKey();
  bool HasCurrentKey() const { return !currentFolder_.empty(); }
  const std::string& CurrentKeyFolder() const { return currentFolder_; }
  bool KeyExists(std::string_view path) const;
  // Removes the key with its values and sub-keys; the root itself is never removed.
  bool DeleteKey(std::string_view path);
  // The folder of a key path, or none when the path cannot name a key.
  std::optional<std::string> KeyFolder(std::string_view path) const;

  // Values of the current key. Without a current key nothing exists.
  bool ValueExists(std::string_view name) const;
  // The value's size in bytes, or -1 when it does not exist.
  int64_t GetDataSize(std::string_view name) const;
  // Raises EKeyValueStoreError when the value does not exist.
  std::string ReadBinaryData(std::string_view name) const;
  // Raises EKeyValueStoreError without a writable current key or when the file cannot be replaced.
  void WriteBinaryData(std::string_view name, std::string_view data);
  std::vector<std::string> GetValueNames() const;
  // True when the value existed and is gone.
  bool DeleteValue(std::string_view name);

 private:
  std::string ValuesFile() const;
  // The current key's values; a damaged file reads as none and is reported.
  TKeyValues ReadValues() const;
  // Replaces the current key's values under the key's lock.
  template <typename Change>
  bool ChangeValues(Change change);
  void Report(const std::string& path, const std::string& why) const;

  std::string root_;
  std::string currentFolder_;
  bool readOnly_ = false;
  TReporter reporter_;
  mutable std::set<std::string> reported_;
};

}  // namespace nimbra
