#include "slideshow/MetadataText.h"

#include <cstdint>
#include <vector>

#include "storage/Windows1252.h"

namespace nimbra {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const size_t start = i;
    // The decoder gives the replacement character for malformed input; only the character's own
    // three bytes may stand for it.
    if (NextCodePoint(bytes, i) == kReplacement && bytes.substr(start, 3) != "\xEF\xBF\xBD") {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string MetadataText(std::string_view bytes) {
  return IsUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

std::string Utf16Text(std::string_view bytes, bool bigEndian) {
  std::vector<char32_t> units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<uint8_t>(bytes[i]);
    const auto second = static_cast<uint8_t>(bytes[i + 1]);
    units.push_back(bigEndian ? (char32_t{first} << 8) | second : (char32_t{second} << 8) | first);
  }
  std::string text;
  for (size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00));
    } else {
      // A surrogate without its partner stands for nothing readable.
      AppendUtf8(text, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
  }
  return text;
}

}  // namespace nimbra
