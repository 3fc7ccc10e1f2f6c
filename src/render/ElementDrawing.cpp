#include "render/ElementDrawing.h"

#include "elements/ElementErrorReporting.h"
#include "elements/ElementInterfaces.h"
#include "elements/RenderContext.h"
#include "templates/ElementBinding.h"
#include "templates/PageTemplate.h"

namespace nimbra {

namespace {

// Takes the context's error counter back from an element however its drawing ends.
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

// 5. the pass onto the page bitmap's own canvas; for the picture engine that is the canvas of
// step 4 again, so an element that blends must skip it or it is blended twice. An element that
// prints to bitmaps is drawn onto the page bitmap only when that is not the canvas: on the same
// bitmap a text would be drawn twice. Elements of the system draw onto it with the context, as
// on the canvas; the others through PrintToBitmap.
template <typename PrintOnTarget>
void PassOntoTarget(TPageElement& element, const TRenderContext& context,
                    PrintOnTarget printOnTarget) {
  if (auto* bitmapPrintable = Supports<IBitmapPrintable>(&element)) {
    if (context.TargetBitmap == nullptr || context.TargetBitmap == context.Canvas) return;
    if (Supports<IContextPrintable>(&element) != nullptr) {
      printOnTarget();
    } else {
      bitmapPrintable->PrintToBitmap(*context.TargetBitmap, context.Canvas, context.PageRect);
    }
    return;
  }
  auto* passControl = Supports<ICanvasPassControl>(&element);
  if (passControl == nullptr || !passControl->SkipsCanvasPass()) printOnTarget();
}

void DrawWithContext(TPageElement& element, IContextPrintable& contextual,
                     const TRenderContext& context) {
  // 4. (1.-3. are the context; a random turn is drawn by the print call itself)
  contextual.PrintWith(context);
  // 5. and again onto the target, where the element asks for it
  PassOntoTarget(element, context, [&] {
    TRenderContext onTarget = context;
    onTarget.Canvas = context.TargetBitmap;
    contextual.PrintWith(onTarget);
  });
}

void DrawThroughInterfaces(TPageElement& element, IPrintablePageElement& printable,
                           const TRenderContext& context) {
  // 1. the render mode
  if (auto* wizardElement = dynamic_cast<TPrintWizardElement*>(&element)) {
    wizardElement->SetRenderMode(context.Mode);
  }
  // 2. the target bitmap
  if (auto* target = Supports<ITargetBitmapElement>(&element)) {
    target->SetTargetBitmap(context.TargetBitmap);
  }
  // Missing and unreadable pictures are counted for whoever runs the engine; the element keeps
  // the counter only while it draws.
  auto* reporting = Supports<IErrorReportingElement>(&element);
  if (reporting != nullptr) reporting->SetErrorCounter(context.ErrorCounter);
  const TErrorCounterHandBack handBack(reporting);
  // 3. the element hears that rendering begins
  auto* notify = Supports<IRenderNotify>(&element);
  if (notify != nullptr) notify->BeginRender();
  // 4. onto the canvas
  printable.Print(context.Canvas, context.PageRect);
  // 5. and again onto the target, where the element asks for it
  PassOntoTarget(element, context, [&] { printable.Print(context.TargetBitmap, context.PageRect); });
  // 6. and that it ends
  if (notify != nullptr) notify->EndRender();
}

}  // namespace

TElementBindingScope::TElementBindingScope(TPageTemplate& page, TPageElement& element,
                                           TRenderContext& context)
    : page_(page), pageItem_(page.BoundItem()) {
  auto* bound = Supports<IObjectBoundElement>(&element);
  context.BoundItem = bound != nullptr ? bound->GetBoundObject() : pageItem_;
  page_.SetBoundItem(context.BoundItem);
}

TElementBindingScope::~TElementBindingScope() { page_.SetBoundItem(pageItem_); }

void DrawElement(TPageElement& element, const TRenderContext& context) {
  auto* printable = Supports<IPrintablePageElement>(&element);
  if (printable == nullptr) return;
  if (auto* contextual = Supports<IContextPrintable>(&element)) {
    DrawWithContext(element, *contextual, context);
  } else {
    DrawThroughInterfaces(element, *printable, context);
  }
}

}  // namespace nimbra
