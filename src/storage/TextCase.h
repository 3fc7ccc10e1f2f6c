// Comparing and converting text without regard to case, for the letters stored files can hold:
// ASCII and the letters of Windows-1252 (German umlauts among them). Stored names such as package
// entries and class names are compared this way.
#pragma once

#include <string>
#include <string_view>

namespace nimbra {

char32_t UpperCaseCodePoint(char32_t c);
char32_t LowerCaseCodePoint(char32_t c);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
// Compares only ASCII letters without regard to case (class names).
bool SameTextAscii(std::string_view a, std::string_view b);
// Orders two texts without regard to case: negative, 0 or positive.
int CompareText(std::string_view a, std::string_view b);

}  // namespace nimbra
