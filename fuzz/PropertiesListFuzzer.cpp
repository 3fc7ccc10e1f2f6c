// libFuzzer target for the reader of settings-bag lists. It reads arbitrary bytes as a list file
// into a list of bags that know integers, strings, doubles, fonts and nested sub-chunks, then as
// one headerless bag, the way the settings store's values are read. ReadFromStream answers bad
// bytes with false; what the sanitizers or libFuzzer's limits catch, or a broken promise checked
// below, is a bug: whatever was read must write and read back to the same values.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/ExternalPlugins.h"
#include "framework/PropertiesList.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

// Fields of every width in a first sub-chunk, a font from file version 2 on, and a second
// sub-chunk that older data lacks.
class TFuzzBag : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  int32_t Number = 0;
  std::string Text;
  double Ratio = 0;
  std::optional<TFontRecord> Font;
  int64_t Later = 0;

  bool operator==(const TFuzzBag& other) const {
    // Doubles compare by their bits, so a NaN read back counts as the same value.
    return Number == other.Number && Text == other.Text &&
           std::bit_cast<uint64_t>(Ratio) == std::bit_cast<uint64_t>(other.Ratio) &&
           Font == other.Font && Later == other.Later;
  }

  bool WriteToStream(TCSFStream& stream) const override {
    if (!TProperties::WriteToStream(stream)) return false;
    try {
      TWriteSubChunk first(stream);
      stream.WriteInteger(Number);
      stream.WriteString(Text);
      stream.WriteDouble(Ratio);
      if (stream.FileVersion() >= 2) dynamic_cast<TCSFStreamWinTypes&>(stream).WriteFont(Font);
      first.End();
      TWriteSubChunk second(stream);
      stream.WriteInt64(Later);
      second.End();
      return true;
    } catch (...) {
      return false;
    }
  }

  bool ReadFromStream(TCSFStream& stream) override {
    if (!TProperties::ReadFromStream(stream)) return false;
    try {
      {
        TReadSubChunk first(stream);
        Number = stream.ReadInteger();
        Text = stream.ReadString();
        Ratio = stream.ReadDouble();
        if (stream.FileVersion() >= 2) Font = dynamic_cast<TCSFStreamWinTypes&>(stream).ReadFont();
      }
      TReadSubChunk second(stream);
      Later = stream.ReadInt64();
      return true;
    } catch (...) {
      return false;
    }
  }
};

NIMBRA_DEFINE_PLUGIN(TFuzzBag, TProperties)

std::unique_ptr<TPropertiesList> NewList() {
  auto list = std::make_unique<TPropertiesList>();
  list->AddNew(TExternalPluginProperties::StaticClass(), TExternalPluginProperties::StaticClass(),
               "Grundeinstellungen");
  list->AddNew(TFuzzBag::StaticClass(), TFuzzBag::StaticClass(), "Fuzz");
  return list;
}

const TFuzzBag& FuzzBag(const TPropertiesList& list) {
  return static_cast<const TFuzzBag&>(*list.ByClass(TFuzzBag::StaticClass()));
}

// The package lines; empty lines at the end are no lines once joined and split again.
std::vector<std::string> PackageLines(const TPropertiesList& list) {
  std::vector<std::string> lines = static_cast<const TExternalPluginProperties&>(
      *list.ByClass(TExternalPluginProperties::StaticClass())).Lines();
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

// A list file: whatever was read writes and reads back to the same values.
void ReadAsListFile(std::string_view bytes) {
  const std::unique_ptr<TPropertiesList> list = NewList();
  try {
    TMemoryStream stream(bytes);
    TCSFStreamWinTypes csf(stream, CSFMode::Read);
    list->ReadFromStream(csf);
  } catch (const std::exception&) {
    return;  // no list header: nothing was read
  }
  TMemoryStream copy;
  {
    TCSFStreamWinTypes csf(copy, CSFMode::Create);
    csf.SetFileVersion(2);
    Expect(list->WriteToStream(csf));
    csf.Release();
  }
  const std::unique_ptr<TPropertiesList> again = NewList();
  TCSFStreamWinTypes csf(copy, CSFMode::Read);
  Expect(again->ReadFromStream(csf));
  Expect(FuzzBag(*again) == FuzzBag(*list));
  Expect(PackageLines(*again) == PackageLines(*list));
}

// A settings-store value: one bag without header, read as data of the version the first byte picks.
void ReadAsHeaderlessBag(std::string_view bytes) {
  if (bytes.empty()) return;
  const int32_t version = static_cast<unsigned char>(bytes[0]) % 3;
  TMemoryStream stream(bytes.substr(1));
  TFuzzBag bag;
  if (!bag.LoadFromStream(stream, 0, version)) return;
  TMemoryStream copy;
  Expect(bag.SaveToStream(copy, 0, version));
  copy.SetPosition(0);
  TFuzzBag again;
  Expect(again.LoadFromStream(copy, 0, version));
  Expect(again == bag);
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  nimbra::fuzz::ReadAsListFile(bytes);
  nimbra::fuzz::ReadAsHeaderlessBag(bytes);
  return 0;
}
