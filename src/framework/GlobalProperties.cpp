#include "framework/GlobalProperties.h"

#include <utility>

namespace nimbra {

namespace {

std::unique_ptr<TPropertiesList>& GlobalList() {
  static std::unique_ptr<TPropertiesList> list;
  return list;
}

}  // namespace

TPropertiesList* GlobalPropertiesList() { return GlobalList().get(); }

std::unique_ptr<TPropertiesList> SetGlobalPropertiesList(std::unique_ptr<TPropertiesList> list) {
  return std::exchange(GlobalList(), std::move(list));
}

}  // namespace nimbra
