#include "render/PrintWizardRenderEngine.h"

#include <functional>
#include <numeric>
#include <optional>
#include <utility>
#include <stdexcept>

#include "elements/DecodedPictures.h"
#include "elements/ElementInterfaces.h"
#include "raster/Blend.h"
#include "render/ElementDrawing.h"
#include "render/PictureDecodePool.h"
#include "render/ProgressStepScope.h"
#include "templates/PageTemplate.h"
#include "templates/VirtualProjectRenderer.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintWizardRenderEngine, TInterfacedPlugin)

namespace {

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

void DrawBackgroundOf(TBitmap32* canvas, TBitmap32& bitmap, TPageTemplate& page) {
  if (auto* wizardPage = dynamic_cast<TPrintWizardPageTemplate*>(&page)) {
    wizardPage->DrawBackground(bitmap, TPixelRect{0, 0, bitmap.Width(), bitmap.Height()});
  } else {
    bitmap.Clear(kColor32Transparent);  // a page without a background of its own
  }
  if (canvas != nullptr && canvas != &bitmap) {
    DrawBitmap(*canvas, 0, 0, bitmap, TDrawMode::Opaque);
  }
}

// Tells the pool's threads that the page's pictures are not wanted any more, however the page
// ends, so that none waits for room that is never given.
class TAbandonScope {
 public:
  explicit TAbandonScope(TDecodedPictures& decoded) : decoded_(decoded) {}
  ~TAbandonScope() { decoded_.Abandon(); }
  TAbandonScope(const TAbandonScope&) = delete;
  TAbandonScope& operator=(const TAbandonScope&) = delete;

 private:
  TDecodedPictures& decoded_;
};

// What the page's elements take as their resolution: their page template's.
double ElementResolution(const TPageTemplate& page) {
  const auto* wizardPage = dynamic_cast<const TPrintWizardPageTemplate*>(&page);
  return wizardPage != nullptr ? wizardPage->WizardProperties().Resolution()
                               : TPrintWizardElement::kDefaultResolution;
}

}  // namespace

TPrintWizardRenderEngine::TPrintWizardRenderEngine() = default;

TPrintWizardRenderEngine::~TPrintWizardRenderEngine() = default;

double TPrintWizardRenderEngine::Resolution() const { return 96; }

void TPrintWizardRenderEngine::DrawPageBackground(TBitmap32* canvas, TBitmap32& bitmap,
                                                  TPageTemplate& page) {
  DrawBackgroundOf(canvas, bitmap, page);
}

std::unique_ptr<TRenderPageTemplateList> TPrintWizardRenderEngine::BuildPageList() {
  TSlideShowVirtualProjectRenderer renderer;
  renderer.SetProject(project_);
  renderer.SetSlideShowTree(slideShowTree_);
  renderer.SetInsertBlankPages(properties_ != nullptr && properties_->InsertBlankPages());
  return renderer.Execute();
}

TRenderContext TPrintWizardRenderEngine::OutputContext(TBitmap32* bitmap,
                                                      TBitmap32* canvas) const {
  TRenderContext context;
  context.Mode = TRenderMode::FinalRendering;
  context.TargetBitmap = bitmap;
  context.Canvas = canvas;
  context.PageRect = PageRect();
  context.Resolution = Resolution();
  context.ErrorCounter = errorCounter_;
  return context;
}

void TPrintWizardRenderEngine::RenderElement(TPageElement& element) {
  TRenderContext context = OutputContext(pageBitmap_.get(), Canvas());
  if (const auto* wizardElement = dynamic_cast<const TPrintWizardElement*>(&element)) {
    context.Resolution = wizardElement->Resolution();
  }
  DrawElement(element, context);
}

void TPrintWizardRenderEngine::PrintElement(TPageElement& element) {
  if (auto* printable = Supports<IPrintablePageElement>(&element)) {
    printable->Print(Canvas(), PageRect());
  }
}

void TPrintWizardRenderEngine::RenderPage(const TRenderPageTemplateListItem& record) {
  // 1. progress over the page's elements
  TProgressStepScope step(progress_, 0, record.Elements().Count(), kPageElementCaption);
  // 2. (8. the bitmap goes when the page ends, also when it fails)
  const TPageBitmapScope bitmapScope(pageBitmap_);
  const TPixelRect pageRect = PageRect();
  pageBitmap_ = std::make_unique<TBitmap32>(std::move(spareBitmap_));
  if (pageBitmap_->Width() != pageRect.Width() || pageBitmap_->Height() != pageRect.Height()) {
    pageBitmap_->SetSizeForOverwrite(pageRect.Width(), pageRect.Height());
  }
  // 3.-7.
  TRenderContext context = OutputContext(pageBitmap_.get(), Canvas());
  DrawRecord(record, context, &step);
  EndPage();
}

void TPrintWizardRenderEngine::DrawRecord(const TRenderPageTemplateListItem& record,
                                          TRenderContext& context,
                                          TProgressStepScope* step) const {
  // Chance drawn while the page is built (a collage picture's seed) comes from the page's
  // generator too.
  const TDrawingRandomScope chance(context.Chance());
  // 3. a record always has a template; without one the page stays empty
  const std::unique_ptr<TPageTemplate> page = record.CreatePage();
  if (!page) {
    context.TargetBitmap->Clear(kColor32Transparent);
    return;
  }
  // 4. centimetre sizes inside the page convert at the output's resolution
  if (auto* bag = page->PropertiesAs<TPrintWizardPageTemplateProperties>()) {
    bag->SetResolution(context.Resolution);
  }
  context.Resolution = ElementResolution(*page);
  // The pictures are decoded on the pool's threads while the page is composed in order; each
  // element waits for its own. However the page ends, the pictures are abandoned, then the
  // threads joined (the batch goes), then the pictures freed.
  // Besides the picture being drawn, as many as there are threads are decoded or wait: drawing
  // a picture takes a fraction of the time decoding it does, and counting the drawing thread as
  // a decoder left one processor idle for most of a page.
  const TPictureDecodePool pool(decodeThreads_);
  TDecodedPictures decoded(static_cast<size_t>(pool.Threads()));
  std::unique_ptr<TPictureDecodeBatch> batch;
  const TAbandonScope abandon(decoded);
  if (pool.Threads() > 1) {
    batch = DecodeAhead(*page, context, pool, decoded);
    context.Decoded = &decoded;
  }
  // 5. the background
  DrawBackgroundOf(context.Canvas, *context.TargetBitmap, *page);
  // 6. the elements, in order
  DrawElements(*page, context, step);
  // 7. the page goes with this scope, before the output's EndPage
}

std::unique_ptr<TPictureDecodeBatch> TPrintWizardRenderEngine::DecodeAhead(
    TPageTemplate& page, const TRenderContext& context, const TPictureDecodePool& pool,
    TDecodedPictures& decoded) const {
  std::vector<std::pair<const TPageElement*, TPictureDecodeRequest>> requests;
  TPageElementList& elements = page.Elements();
  for (int32_t i = 0; i < elements.Count(); ++i) {
    TPageElement* element = elements.Items(i);
    auto* ahead = element != nullptr ? Supports<IPictureDecodeAhead>(element) : nullptr;
    if (ahead == nullptr) continue;
    if (std::optional<TPictureDecodeRequest> request = ahead->DecodeRequest(context)) {
      requests.emplace_back(element, std::move(*request));
    }
  }
  // One picture is decoded by its element as well as here.
  if (requests.size() < 2) return nullptr;
  std::vector<std::function<void()>> jobs;
  jobs.reserve(requests.size());
  for (auto& entry : requests) {
    decoded.Expect(entry.first);
    jobs.emplace_back([&decoded, element = entry.first, request = std::move(entry.second)] {
      // A picture that fails here is left to its element, which then fails the same way on the
      // drawing thread, where failures are reported.
      const bool room = decoded.BeginDecode(element);
      TDecodedPicture picture;
      try {
        if (room) picture = DecodePicture(request);
      } catch (...) {
        picture = {};  // the element decodes it again
      }
      decoded.Put(element, std::move(picture), room);
    });
  }
  return pool.Start(std::move(jobs));
}

void TPrintWizardRenderEngine::DrawElements(TPageTemplate& page, TRenderContext& context,
                                            TProgressStepScope* step) const {
  TPageElementList& elements = page.Elements();
  for (int32_t i = 0; i < elements.Count(); ++i) {
    TPageElement* element = elements.Items(i);
    if (element == nullptr) continue;
    {
      const TElementBindingScope binding(page, *element, context);
      DrawElement(*element, context);
    }
    if (step != nullptr) step->StepBy(std::to_string(i + 1));
  }
}

void TPrintWizardRenderEngine::RenderAll() {
  // 1. numbering from the first page, over every page of the list
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
  // 2. progress over the pages, and the job begins
  const auto count = static_cast<int32_t>(indices.size());
  TProgressStepScope step(progress_, 1, count, kPagesCaption);
  cancelled_ = false;
  StartJob();
  // 3. each page with its number, until the run is cancelled
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
  // 4. a cancelled job is aborted, a finished one ended
  if (cancelled_) {
    AbortJob();
  } else {
    EndJob();
  }
}

}  // namespace nimbra
