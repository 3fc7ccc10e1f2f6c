// File-name masks as users type them: "*" any run of characters, "?" one character, "[a-c]" or
// "[!xyz]" one character of (or not of) a set. Letters match without regard to case.
#pragma once

#include <string_view>
#include <vector>

namespace nimbra {

// A mask folded once, for matching many names.
class TFileMask {
 public:
  explicit TFileMask(std::string_view mask);
  bool Matches(std::string_view name) const;

 private:
  std::vector<char32_t> mask_;  // case-folded code points
};

bool MatchesMask(std::string_view name, std::string_view mask);

}  // namespace nimbra
