#include "platform/FileUri.h"

#include "platform/WallpaperBackend.h"

namespace nimbra {

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~' || c == '/';
}

}  // namespace

std::string FileUri(const std::string& absolutePath) {
  if (absolutePath.empty() || absolutePath[0] != '/') {
    throw EWallpaperError("kein absoluter Pfad: " + absolutePath);
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const char ch : absolutePath) {
    const auto c = static_cast<unsigned char>(ch);
    if (Unreserved(c)) {
      uri += ch;
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

}  // namespace nimbra
