#include "render/PrintWizardRenderEngine.h"

#include <numeric>
#include <stdexcept>

#include "elements/ElementErrorReporting.h"
#include "elements/ElementInterfaces.h"
#include "raster/Blend.h"
#include "render/ProgressStepScope.h"
#include "templates/ElementBinding.h"
#include "templates/PageTemplate.h"
#include "templates/VirtualProjectRenderer.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardRenderEngine, TInterfacedPlugin)

namespace {

// Takes the engine's error counter back from an element however its drawing ends.
class TErrorCounterHandBack {
 public:
  explicit TErrorCounterHandBack(IErrorReportingElement* element) : element_(element) {}
  ~TErrorCounterHandBack() {
    if (element_ != nullptr) element_->SetErrorCounter(nullptr);
  }
  TErrorCounterHandBack(const TErrorCounterHandBack&) = delete;
  TErrorCounterHandBack& operator=(const TErrorCounterHandBack&) = delete;

 private:
  IErrorReportingElement* element_;
};

// The page bitmap lives for one page, however the page ends.
class TPageBitmapScope {
 public:
  explicit TPageBitmapScope(std::unique_ptr<TBitmap32>& bitmap) : bitmap_(bitmap) {}
  ~TPageBitmapScope() { bitmap_.reset(); }
  TPageBitmapScope(const TPageBitmapScope&) = delete;
  TPageBitmapScope& operator=(const TPageBitmapScope&) = delete;

 private:
  std::unique_ptr<TBitmap32>& bitmap_;
};

}  // namespace

TPrintWizardRenderEngine::TPrintWizardRenderEngine() = default;

TPrintWizardRenderEngine::~TPrintWizardRenderEngine() = default;

double TPrintWizardRenderEngine::Resolution() const { return 96; }

void TPrintWizardRenderEngine::DrawPageBackground(TBitmap32* canvas, TBitmap32& bitmap,
                                                  TPageTemplate& page) {
  if (auto* wizardPage = dynamic_cast<TPrintWizardPageTemplate*>(&page)) {
    wizardPage->DrawBackground(bitmap, TPixelRect{0, 0, bitmap.Width(), bitmap.Height()});
  }
  if (canvas != nullptr && canvas != &bitmap) {
    DrawBitmap(*canvas, 0, 0, bitmap, TDrawMode::Opaque);
  }
}

std::unique_ptr<TRenderPageTemplateList> TPrintWizardRenderEngine::BuildPageList() {
  TSlideShowVirtualProjectRenderer renderer;
  renderer.SetProject(project_);
  renderer.SetSlideShowTree(slideShowTree_);
  renderer.SetInsertBlankPages(properties_ != nullptr && properties_->InsertBlankPages());
  return renderer.Execute();
}

void TPrintWizardRenderEngine::RenderElement(TPageElement& element) {
  auto* printable = Supports<IPrintablePageElement>(&element);
  if (printable == nullptr) return;
  // 1. output, not the design view
  if (auto* wizardElement = dynamic_cast<TPrintWizardElement*>(&element)) {
    wizardElement->SetRendering(1);
  }
  // 2.
  if (auto* target = Supports<ITargetBitmapElement>(&element)) {
    target->SetTargetBitmap(pageBitmap_.get());
  }
  // Missing and unreadable pictures are counted for whoever runs the engine; the element keeps
  // the counter only while it draws.
  auto* reporting = Supports<IErrorReportingElement>(&element);
  if (reporting != nullptr) reporting->SetErrorCounter(errorCounter_);
  const TErrorCounterHandBack handBack(reporting);
  // 3.
  auto* notify = Supports<IRenderNotify>(&element);
  if (notify != nullptr) notify->BeginRender();
  // 4.
  PrintElement(element);
  // 5. the pass onto the page bitmap's own canvas; for the picture engine that is the canvas of
  // step 4 again, so an element that blends must skip it or it is blended twice
  const TPixelRect pageRect = PageRect();
  if (auto* bitmapPrintable = Supports<IBitmapPrintable>(&element)) {
    if (pageBitmap_) bitmapPrintable->PrintToBitmap(*pageBitmap_, Canvas(), pageRect);
  } else {
    auto* passControl = Supports<ICanvasPassControl>(&element);
    if (passControl == nullptr || !passControl->SkipsCanvasPass()) {
      printable->Print(pageBitmap_.get(), pageRect);
    }
  }
  // 6.
  if (notify != nullptr) notify->EndRender();
}

void TPrintWizardRenderEngine::PrintElement(TPageElement& element) {
  if (auto* printable = Supports<IPrintablePageElement>(&element)) {
    printable->Print(Canvas(), PageRect());
  }
}

void TPrintWizardRenderEngine::RenderPage(const TRenderPageTemplateListItem& record) {
  // 1.
  TProgressStepScope step(progress_, 0, record.Elements().Count(), kPageElementCaption);
  // 2. (8. the bitmap goes when the page ends, also when it fails)
  const TPageBitmapScope bitmapScope(pageBitmap_);
  const TPixelRect pageRect = PageRect();
  pageBitmap_ = std::make_unique<TBitmap32>(pageRect.Width(), pageRect.Height());
  // 3. a record always has a template; without one the page stays empty
  std::unique_ptr<TPageTemplate> page = record.CreatePage();
  if (page) {
    // 4. centimetre sizes inside the page convert at the output's resolution
    if (auto* bag = page->PropertiesAs<TPrintWizardPageTemplateProperties>()) {
      bag->SetResolution(Resolution());
    }
    // 5.
    DrawPageBackground(Canvas(), *pageBitmap_, *page);
    // 6.
    DrawElements(*page, step);
  }
  // 7.
  page.reset();
  EndPage();
}

void TPrintWizardRenderEngine::DrawElements(TPageTemplate& page, TProgressStepScope& step) {
  TPageElementList& elements = page.Elements();
  for (int32_t i = 0; i < elements.Count(); ++i) {
    TPageElement* element = elements.Items(i);
    if (element == nullptr) continue;
    // Variables expanded while the element draws (the chapter name, say) see its object.
    if (auto* bound = Supports<IObjectBoundElement>(element)) {
      page.SetBoundItem(bound->GetBoundObject());
    }
    RenderElement(*element);
    page.SetBoundItem(nullptr);
    step.StepBy(std::to_string(i + 1));
  }
}

void TPrintWizardRenderEngine::RenderAll() {
  // 1.
  ResetPageNumber();
  const std::unique_ptr<TRenderPageTemplateList> list = BuildPageList();
  std::vector<int32_t> indices(static_cast<size_t>(list->Count()));
  std::iota(indices.begin(), indices.end(), 0);
  RunPages(*list, indices, false);
}

void TPrintWizardRenderEngine::RenderPages(const TRenderPageTemplateList& list,
                                           const std::vector<int32_t>& indices) {
  for (const int32_t index : indices) {
    if (index < 0 || index >= list.Count()) {
      throw std::out_of_range("page " + std::to_string(index + 1) + " is not in the list of " +
                              std::to_string(list.Count()));
    }
  }
  RunPages(list, indices, true);
}

void TPrintWizardRenderEngine::RunPages(const TRenderPageTemplateList& list,
                                        const std::vector<int32_t>& indices,
                                        bool numberByIndex) {
  // 2.
  const auto count = static_cast<int32_t>(indices.size());
  TProgressStepScope step(progress_, 1, count, kPagesCaption);
  cancelled_ = false;
  StartJob();
  // 3.
  try {
    for (int32_t k = 0; k < count; ++k) {
      step.StepBy(std::to_string(k + 1) + "/" + std::to_string(count));
      if (numberByIndex) {
        pageNumber_ = indices[static_cast<size_t>(k)] + 1;
      } else if (k > 0) {
        NextPageNumber();
      }
      RenderPage(*list.Items(indices[static_cast<size_t>(k)]));
      if (cancelled_) break;
    }
  } catch (...) {
    // A run that fails is over as much as a cancelled one.
    AbortJob();
    throw;
  }
  // 4.
  if (cancelled_) {
    AbortJob();
  } else {
    EndJob();
  }
}

}  // namespace nimbra
