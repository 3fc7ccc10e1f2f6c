#include "framework/Plugin.h"

namespace nimbra {

std::unique_ptr<TPlugin> TPluginClass::CreatePlugin() const { return CreateAs<TPlugin>(*this); }

const TPluginClass& TPlugin::StaticClass() {
  static const TImmortal<TPluginClassOf<TPlugin>> meta("TPlugin", &TObject::StaticClass());
  return meta.Get();
}

void TPlugin::Assign(const TPlugin&) {}

}  // namespace nimbra
