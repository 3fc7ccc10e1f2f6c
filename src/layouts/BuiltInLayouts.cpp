#include "layouts/BuiltInLayouts.h"

namespace nimbra {

const TBuiltInLayout* FindBuiltInLayout(std::string_view name) {
  for (const TBuiltInLayout& layout : BuiltInLayouts()) {
    if (layout.Name == name) return &layout;
  }
  return nullptr;
}

}  // namespace nimbra
