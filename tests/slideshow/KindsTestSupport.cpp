#include "KindsTestSupport.h"

#include "slideshow/SlideShowRegistration.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra::test {

TKindsRegistry::TKindsRegistry() : previous_(SetMainPlugins(std::make_unique<TPlugins>())) {
  RegisterSlideShowKinds(*MainPlugins());
}

TKindsRegistry::~TKindsRegistry() {
  UnregisterSlideShowKinds(*MainPlugins());
  SetMainPlugins(std::move(previous_));
}

std::string ObjectBytes(const TSlideShowObject& object, int32_t version) {
  TMemoryStream bytes;
  {
    TCSFStreamWinTypes stream(bytes, CSFMode::Headerless);
    stream.SetFileType(kSlideShowFileType);
    stream.SetFileVersion(version);
    if (!object.WriteToStream(stream)) return "write failed";
    stream.Release();
  }
  return bytes.ToString();
}

TReadOutcome ReadObjectBytes(TSlideShowObject& object, const std::string& bytes, int32_t version) {
  TMemoryStream source(bytes);
  TCSFStreamWinTypes stream(source, CSFMode::HeaderlessRead);
  stream.SetFileType(kSlideShowFileType);
  stream.SetFileVersion(version);
  TReadOutcome outcome;
  outcome.Read = object.ReadFromStream(stream);
  outcome.Unread = source.Size() - source.Position();
  return outcome;
}

TWireBytes NewPlayableBytes() {
  TWireBytes bytes;
  bytes.Byte(1).Int(-1).Int(-1).Int(0).Str("").Int(0);
  return bytes;
}

TWireBytes NewBitmapBytes() {
  TWireBytes bytes = NewPlayableBytes();
  bytes.Byte(1).Byte(0);
  for (double value : {0.0, 0.0, 1.0, 1.0}) Double(bytes, value);
  bytes.Byte(1).Byte(1).Int(static_cast<int32_t>(0xFF000000u)).Byte(0);
  return bytes;
}

TWireBytes NewExtBitmapBytes() {
  TWireBytes bytes = NewBitmapBytes();
  for (int curve = 0; curve < 4; ++curve) bytes.SubChunk(TWireBytes().Int(0));
  bytes.SubChunk(TWireBytes().Int(1).Str("TRandomTransitionPlugin").Byte(1).Int(2000));
  return bytes;
}

TWireBytes& Font(TWireBytes& bytes, const std::string& name, int32_t size, int32_t colour,
                 uint8_t style) {
  const auto length = static_cast<int32_t>(17 + name.size());
  return bytes.Int(length).Int(length).Int(colour).Str(name).Int(size).Byte(style);
}

}  // namespace nimbra::test
