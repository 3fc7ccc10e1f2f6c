#include "framework/Properties.h"
#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/DocumentDescriptions.h"
#include "nimbra-kit/JsonFieldWriter.h"
#include "storage/CSFStreamWinTypes.h"

namespace nimbra::kit {

namespace {

constexpr int32_t kBagChunk = 257;

// A bag's fields; a class the program does not know shows its stored bytes instead.
TJson DescribeBag(TCSFStream& stream, const std::string& className, int64_t payloadEnd) {
  TJson bag;
  bag["class"] = className;
  const int64_t start = stream.Position();
  bag["size"] = payloadEnd - start;
  const TMetaClass* meta = GetClass(className);
  std::unique_ptr<TProperties> properties = meta != nullptr ? CreateProperties(*meta) : nullptr;
  bag["known"] = properties != nullptr;
  if (properties) {
    bag["readable"] = properties->ReadFromStream(stream);
    TJson fields = TJson::object();
    TJsonFieldWriter writer(fields);
    properties->DescribeFields(writer);
    bag["fields"] = std::move(fields);
  } else {
    std::string bytes(static_cast<size_t>(payloadEnd - start), '\0');
    stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    bag["data"] = HexText(bytes);
  }
  return bag;
}

}  // namespace

TJson InspectBagList(TStream& stream) {
  TCSFStreamWinTypes csf(stream, CSFMode::Read);
  TJson json;
  json["fileType"] = csf.FileType();
  json["fileVersion"] = csf.FileVersion();
  json["chunkCount"] = csf.ChunkCount();
  json["bags"] = TJson::array();
  for (int32_t i = 0; i < csf.ChunkCount(); ++i) {
    const int64_t chunkStart = csf.Position();
    const TChunkHeader header = csf.ReadChunkHeader();
    if (header.Id == kBagChunk) {
      const std::string className = csf.ReadClassName();
      const int32_t payload = csf.BeginReadSubChunk();
      json["bags"].push_back(DescribeBag(csf, className, csf.Position() + payload));
      csf.EndReadSubChunk();
    }
    csf.SetPosition(chunkStart + header.Length);
  }
  return json;
}

TJson InspectSingleBag(TStream& stream, const std::string& bagClass, int32_t fileVersion) {
  const TMetaClass* meta = GetClass(bagClass);
  if (meta == nullptr || !CreateProperties(*meta)) {
    throw ECommandError("'" + bagClass + "' is no settings bag class this program knows");
  }
  TCSFStreamWinTypes csf(stream, CSFMode::HeaderlessRead);
  csf.SetFileVersion(fileVersion);
  TJson json = DescribeBag(csf, meta->ClassName(), stream.Size());
  json["unreadBytes"] = csf.RemainingInContainer();
  return json;
}

}  // namespace nimbra::kit
