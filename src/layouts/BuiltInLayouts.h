// The layouts that come with the program: the JSON files of data/layouts, built into it so that an
// album can be made without any file beside the program.
#pragma once

#include <span>
#include <string_view>

namespace nimbra {

struct TBuiltInLayout {
  std::string_view Name;  // the file name without ".json"
  std::string_view Json;
};

// In the order of their names.
std::span<const TBuiltInLayout> BuiltInLayouts();
// The layout of that name, or none.
const TBuiltInLayout* FindBuiltInLayout(std::string_view name);

}  // namespace nimbra
