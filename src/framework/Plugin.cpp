#include "framework/Plugin.h"

namespace nimbra {

std::unique_ptr<TPlugin> TPluginClass::CreatePlugin() const { return CreateAs<TPlugin>(*this); }

const TPluginClass& TPlugin::StaticClass() {
  static const TPluginClassOf<TPlugin> meta("TPlugin", &TObject::StaticClass());
  return meta;
}

void TPlugin::Assign(const TPlugin&) {}

}  // namespace nimbra
