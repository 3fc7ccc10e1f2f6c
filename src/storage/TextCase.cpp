#include "storage/TextCase.h"

#include "storage/Windows1252.h"

namespace nimbra {

namespace {

template <typename Map>
std::string MapCodePoints(std::string_view text, Map map) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) AppendUtf8(out, map(NextCodePoint(text, i)));
  return out;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

char32_t UpperCaseCodePoint(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  switch (c) {
    case 0xFF: return 0x178;   // ÿ
    case 0x161: return 0x160;  // š
    case 0x153: return 0x152;  // œ
    case 0x17E: return 0x17D;  // ž
    default: return c;
  }
}

char32_t LowerCaseCodePoint(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  switch (c) {
    case 0x178: return 0xFF;
    case 0x160: return 0x161;
    case 0x152: return 0x153;
    case 0x17D: return 0x17E;
    default: return c;
  }
}

std::string UpperCase(std::string_view text) { return MapCodePoints(text, UpperCaseCodePoint); }
std::string LowerCase(std::string_view text) { return MapCodePoints(text, LowerCaseCodePoint); }

int CompareText(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t x = LowerCaseCodePoint(NextCodePoint(a, i));
    const char32_t y = LowerCaseCodePoint(NextCodePoint(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool SameText(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace nimbra
