// libFuzzer target for the XML view of settings bags. The bytes are an XML file that
// LoadXMLFromFile reads into a bag publishing escaped properties whose names begin alike ("Si" and
// "Size") and an unescaped one. Text that cannot be taken apart is refused with EXMLError; what
// the sanitizers or libFuzzer's limits catch, or a broken promise checked below, is a bug: the
// escaped values read must come back the same through the bag's own document.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "FreshFile.h"
#include "framework/XMLProperties.h"
#include "storage/Windows1252.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

class TFuzzXMLBag : public TXMLProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  std::string Name;
  std::string Si;
  std::string Size;
  // Written as it is, so it may hold markup.
  std::string Raw;

 protected:
  std::vector<TXMLProperty> PublishedProperties() const override {
    auto* self = const_cast<TFuzzXMLBag*>(this);
    const auto property = [self](const char* name, std::string TFuzzXMLBag::*field, bool escaped) {
      return TXMLProperty{name, [self, field] { return self->*field; },
                          [self, field](const std::string& value) { self->*field = value; },
                          escaped};
    };
    return {property("Name", &TFuzzXMLBag::Name, true), property("Si", &TFuzzXMLBag::Si, true),
            property("Size", &TFuzzXMLBag::Size, true), property("Raw", &TFuzzXMLBag::Raw, false)};
  }
};

NIMBRA_DEFINE_PLUGIN(TFuzzXMLBag, TXMLProperties)

std::string& XMLFile() {
  static std::string file;
  return file;
}

// Escaping writes 8-bit text: a value with characters beyond it cannot come back unchanged.
bool Writable(const std::string& value) {
  return Windows1252ToUtf8(Utf8ToWindows1252(value)) == value;
}

// Unescaped markup may break the document it is written into, so only the escaped values are
// promised to come back.
void CheckRoundTrip(TFuzzXMLBag& bag) {
  bag.Raw.clear();
  TFuzzXMLBag again;
  again.SetXML(bag.DocumentXML());
  for (std::string TFuzzXMLBag::*field :
       {&TFuzzXMLBag::Name, &TFuzzXMLBag::Si, &TFuzzXMLBag::Size}) {
    if (Writable(bag.*field)) Expect(again.*field == bag.*field);
  }
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "nimbra-xml-fuzz-XXXXXX").string();
  const int descriptor = ::mkstemp(pattern.data());
  if (descriptor < 0) std::abort();
  ::close(descriptor);
  nimbra::fuzz::XMLFile() = pattern;
  std::atexit([] { std::filesystem::remove(nimbra::fuzz::XMLFile()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra::fuzz;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Expect(WriteFreshFile(XMLFile(), bytes));
  TFuzzXMLBag bag;
  try {
    const std::string text = bag.LoadXMLFromFile(XMLFile());
    Expect(text == nimbra::Windows1252ToUtf8(bytes));
  } catch (const nimbra::EXMLError&) {
    return 0;
  }
  CheckRoundTrip(bag);
  return 0;
}
