// libFuzzer target for the template project reader. It reads arbitrary bytes as a project file
// whose class registry knows one element class and one structure element class, then stores what
// it read and reads that again. Bad bytes must only ever give false or a partial project; what the
// sanitizers or libFuzzer's limits catch, or a broken promise checked below, is a bug.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "TemplateFuzzClasses.h"
#include "storage/MemoryStream.h"
#include "templates/PageTemplateProject.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

std::string Save(const TPrintWizardPageTemplateProject& project) {
  TMemoryStream buffer;
  // Whatever was read, complete or not, is a project the writer can store.
  Expect(project.SaveToStream(buffer));
  return buffer.ToString();
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  using namespace nimbra::fuzz;
  static const TRegistration registration;

  TPrintWizardPageTemplateProject first;
  TMemoryStream input(std::string_view(reinterpret_cast<const char*>(data), size));
  first.LoadFromStream(input);
  const std::string saved = Save(first);

  // What was stored reads back whole and stores the same bytes again, also through a clone.
  TPrintWizardPageTemplateProject second;
  TMemoryStream again(saved);
  Expect(second.LoadFromStream(again));
  Expect(second.Templates().Count() == first.Templates().Count());
  Expect(Save(second) == saved);
  std::unique_ptr<TPageTemplateProject> clone = second.Clone();
  Expect(Save(dynamic_cast<TPrintWizardPageTemplateProject&>(*clone)) == saved);
  return 0;
}
