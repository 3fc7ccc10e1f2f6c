#include "framework/InterfacedPlugin.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TInterfacedPlugin, TPlugin)

}  // namespace nimbra
