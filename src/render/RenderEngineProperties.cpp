#include "render/RenderEngineProperties.h"

#include "framework/FieldWriter.h"
#include "storage/CSFStream.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TRenderEngineProperties, TXMLProperties)

bool TRenderEngineProperties::WriteToStream(TCSFStream& stream) const {
  if (!TXMLProperties::WriteToStream(stream)) return false;
  try {
    TWriteSubChunk chunk(stream);
    stream.WriteBoolean(insertBlankPages_);
    chunk.End();
    return true;
  } catch (...) {
    return false;
  }
}

bool TRenderEngineProperties::ReadFromStream(TCSFStream& stream) {
  if (!TXMLProperties::ReadFromStream(stream)) return false;
  try {
    TReadSubChunk chunk(stream);
    insertBlankPages_ = stream.ReadByte() != 0;
    return true;
  } catch (...) {
    return false;
  }
}

void TRenderEngineProperties::DescribeFields(TFieldWriter& fields) const {
  TXMLProperties::DescribeFields(fields);
  fields.Boolean("InsertBlankPages", insertBlankPages_);
}

}  // namespace nimbra
