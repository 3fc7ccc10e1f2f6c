// Conversion between the 8-bit Windows-1252 characters of stored files and the UTF-8 text the
// program works with. Every one of the 256 byte values maps to its own character and back; the five
// bytes Windows-1252 leaves unassigned map to the control characters of the same number.
#pragma once

#include <string>
#include <string_view>

namespace nimbra {

std::string Windows1252ToUtf8(std::string_view bytes);
// Characters without a Windows-1252 byte (and malformed UTF-8) become '?', as Windows writes them.
std::string Utf8ToWindows1252(std::string_view text);

// The Unicode character of a Windows-1252 byte.
char32_t Windows1252ToCodePoint(unsigned char byte);
// Decodes one UTF-8 character at position i and advances i; malformed input yields U+FFFD.
char32_t NextCodePoint(std::string_view text, size_t& i);
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace nimbra
