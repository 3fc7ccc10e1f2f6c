// A plug-in with a reference count and interfaces. Its owner holds it in a std::unique_ptr and frees
// it with Free; interface references (TRef) keep counts on top of the owner's.
#pragma once

#include "framework/InterfacedObject.h"
#include "framework/Plugin.h"

namespace nimbra {

class TInterfacedPlugin : public TPlugin, public TInterfacedObject {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TInterfacedPlugin() : TInterfacedObject(Lifetime::Owned) {}

 protected:
  std::string ReferencedClassName() const override { return ClassName(); }
};

}  // namespace nimbra
