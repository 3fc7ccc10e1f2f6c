#include "render/RenderEngineProperties.h"

#include "framework/FieldMap.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TRenderEngineProperties, TXMLProperties)

void TRenderEngineProperties::MapFields(TFieldMap& map) {
  TXMLProperties::MapFields(map);
  map.SubChunk([&] { map.Boolean("InsertBlankPages", insertBlankPages_); });
}

}  // namespace nimbra
