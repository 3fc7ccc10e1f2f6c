// Arguments for the command-line fuzz targets: the input split at zero bytes, which no argument
// can hold, as a program's arguments arrive.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra::fuzz {

inline std::vector<std::string> SplitAtZeros(std::string_view bytes) {
  std::vector<std::string> arguments;
  for (size_t start = 0; start <= bytes.size();) {
    const size_t zero = std::min(bytes.find('\0', start), bytes.size());
    arguments.emplace_back(bytes.substr(start, zero - start));
    start = zero + 1;
  }
  return arguments;
}

}  // namespace nimbra::fuzz
