#include "album/AlbumIdentity.h"

#include <cstdint>
#include <filesystem>
#include <memory>

#include "album/DesktopNimbraProperties.h"
#include "storage/FileList.h"
#include "storage/NimbraError.h"
#include "storage/PackageFileListItem.h"
#include "storage/Packager.h"
#include "storage/Stream.h"

namespace nimbra {

namespace fs = std::filesystem;

namespace {

// FNV-1a over everything that makes the album; a key only has to tell a user's albums apart.
class TIdentityHash {
 public:
  void Add(std::string_view bytes) {
    for (const char c : bytes) {
      hash_ ^= static_cast<uint8_t>(c);
      hash_ *= 0x100000001B3ULL;
    }
    // A separator after each part, so that "ab" + "c" and "a" + "bc" differ.
    hash_ ^= 0xFF;
    hash_ *= 0x100000001B3ULL;
  }
  void Add(int64_t number) { Add(std::to_string(number)); }

  std::string Hex() const {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 0; i < 16; ++i) text[15 - i] = kDigits[(hash_ >> (4 * i)) & 0xF];
    return text;
  }

 private:
  uint64_t hash_ = 0xCBF29CE484222325ULL;
};

// The settings file's bytes, bounded: the settings are a few bytes, never a megabyte.
std::string SettingsBytes(TPackager& packager) {
  constexpr int64_t kMaxSettingsSize = 1 << 20;
  try {
    const std::unique_ptr<TStream> stream = packager.OpenEntry(kOrielPackageFile.substr(1));
    if (!stream) return {};
    const int64_t size = stream->Size();
    if (size <= 0 || size > kMaxSettingsSize) return {};
    std::string bytes(static_cast<size_t>(size), '\0');
    return stream->Read(bytes.data(), size) == size ? bytes : std::string();
  } catch (const ENimbraError&) {
    return {};
  }
}

}  // namespace

TAlbumIdentity PackagedAlbumIdentity(const std::string& executablePath, TPackager& packager) {
  TIdentityHash hash;
  hash.Add(std::string_view("package"));
  for (const auto& item : packager.Directory()) {
    hash.Add(item->FileName);
    hash.Add(item->Size);
    hash.Add(item->Offset);
  }
  hash.Add(SettingsBytes(packager));
  return {fs::path(executablePath).filename().string(), hash.Hex(), executablePath};
}

TAlbumIdentity DocumentsAlbumIdentity(const std::string& slideShowPath,
                                      const std::string& templatePath) {
  TIdentityHash hash;
  hash.Add(std::string_view("documents"));
  hash.Add(slideShowPath);
  hash.Add(templatePath);
  return {fs::path(slideShowPath).stem().string(), hash.Hex(), slideShowPath};
}

std::string AlbumStoreKey(std::string_view productKey, const TAlbumIdentity& album) {
  std::string key(productKey);
  if (!key.empty() && key.back() != '\\') key += '\\';
  return key + "Alben\\" + album.Key + "\\";
}

}  // namespace nimbra
