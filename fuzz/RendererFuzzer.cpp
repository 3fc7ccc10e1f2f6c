// libFuzzer target for the virtual project renderer. It reads arbitrary bytes as a project
// structure (through the tree reader, as a project file's structure chunk is read) and walks it
// over a small slideshow shaped by the first byte. Whatever the structure, the walk must end, and
// the page list must stay within the documented limit and hold only well-formed pages.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "RendererFuzzInput.h"
#include "framework/Plugins.h"
#include "framework/TreeImplement.h"
#include "slideshow/SlideShowTree.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/TemplateRegistration.h"
#include "templates/VirtualProjectRenderer.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

void CheckPage(const TRenderPageTemplateListItem& page, int32_t index) {
  Expect(page.PageIndex() == index);
  const TPageTemplate* pageTemplate = page.Template();
  Expect(pageTemplate != nullptr);
  if (page.Blank()) {
    Expect(page.Elements().Count() == 0 && pageTemplate->Elements().Count() == 0);
    return;
  }
  Expect(page.Elements().Count() == pageTemplate->Elements().Count());
  for (int32_t i = 0; i < page.Elements().Count(); ++i) {
    const TRenderPageElementListItem& binding = *page.Elements().Items(i);
    Expect(binding.Element() == pageTemplate->Elements().Items(i));
    Expect(!binding.Object() || SlideShowObjectOf(binding.Object()) != nullptr);
  }
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  nimbra::SetMainPlugins(std::make_unique<nimbra::TPlugins>());
  nimbra::PageTemplatesStartup();
  std::atexit([] {
    nimbra::PageTemplatesShutdown();
    nimbra::SetMainPlugins(nullptr);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra;
  using namespace nimbra::fuzz;
  if (size == 0) return 0;
  const uint8_t control = data[0];

  TPrintWizardPageTemplateProject project;
  BuildTemplates(project);
  {
    TMemoryStream input(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    TCSFStreamWinTypes stream(input, CSFMode::HeaderlessRead);
    stream.SetFileType(kTemplateProjectFileType);
    stream.SetFileVersion(kTemplateProjectFileVersion);
    project.Structure().ReadFromStream(stream);
  }
  TSlideShow show;
  BuildShow(control, show);
  auto tree = std::make_unique<TCustomTree>();
  BuildSlideShowTree(show, *tree);
  const TRef<ITree> treeRef(tree.get());

  const int64_t limitUnit = TTreeImplement::Count(TRef<ITree>(&project.Structure())) +
                            TTreeImplement::Count(treeRef) + 1;
  {
    TSlideShowVirtualProjectRenderer renderer;
    renderer.SetProject(&project);
    renderer.SetSlideShowTree(treeRef);
    renderer.SetInsertBlankPages((control & kBlankPages) != 0);
    const std::unique_ptr<TRenderPageTemplateList> pages = renderer.Execute();
    // The last step may add a blank page and a page beyond the limit it then stops at.
    Expect(pages->Count() <= TVirtualProjectRenderer::kPagesPerUnit * limitUnit + 2);
    for (int32_t i = 0; i < pages->Count(); ++i) CheckPage(*pages->Items(i), i);
    if (pages->Count() > 0) {
      const TRenderPageTemplateListItem& last = *pages->Items(pages->Count() - 1);
      const std::unique_ptr<TPageTemplate> page = last.CreatePage();
      Expect(page != nullptr && page->Elements().Count() == last.Elements().Count());
      Expect(page->PageNumber() == pages->Count());
    }
  }
  return 0;
}
