// libFuzzer target for the layout reader: the input is the JSON text of a layout. Bad text must
// only raise ELayoutError; what the sanitizers or libFuzzer's limits catch, or a broken promise
// below, is a bug: a layout that was accepted is stored as a project that reads back whole.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "elements/ElementRegistration.h"
#include "layouts/LayoutJson.h"
#include "layouts/LayoutReader.h"
#include "storage/MemoryStream.h"
#include "templates/PageTemplateProject.h"
#include "templates/TemplateRegistration.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

// The units run from the first input to the program's end.
struct TUnits {
  TUnits() {
    PageTemplatesStartup();
    ElementsStartup();
  }
  ~TUnits() {
    ElementsShutdown();
    PageTemplatesShutdown();
  }
  TUnits(const TUnits&) = delete;
  TUnits& operator=(const TUnits&) = delete;
};

void Check(std::string_view text) {
  TLayout layout;
  try {
    layout = ReadLayout(text);
  } catch (const ELayoutError&) {
    return;
  }
  TMemoryStream stored;
  Expect(layout.Project->SaveToStream(stored));
  stored.SetPosition(0);
  TPrintWizardPageTemplateProject reread;
  Expect(reread.LoadFromStream(stored));
  Expect(reread.Templates().Count() == layout.Project->Templates().Count());
  Expect(reread.Structure().GetItems()->Count() == layout.Project->Structure().GetItems()->Count());
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const nimbra::fuzz::TUnits units;
  nimbra::fuzz::Check(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
