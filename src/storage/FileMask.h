// File-name masks as users type them: "*" any run of characters, "?" one character, "[a-c]" or
// "[!xyz]" one character of (or not of) a set. Letters match without regard to case.
#pragma once

#include <string_view>

namespace nimbra {

bool MatchesMask(std::string_view name, std::string_view mask);

}  // namespace nimbra
