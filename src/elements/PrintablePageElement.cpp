#include "elements/PrintablePageElement.h"

#include <algorithm>

#include "raster/DrawLine.h"
#include "templates/PageTemplate.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintablePageElement, TPrintWizardElement)

bool TPrintablePageElement::Render(TBitmap32& bitmap, const TPixelRect& pageRect) {
  // 1.-3. elements that draw into a target get the bitmap for the duration of the print
  auto* targetElement = dynamic_cast<ITargetBitmapElement*>(this);
  if (targetElement != nullptr) targetElement->SetTargetBitmap(&bitmap);
  Print(&bitmap, pageRect);
  if (targetElement != nullptr) targetElement->SetTargetBitmap(nullptr);
  // 4. the design-view frame
  if (RenderMode() == TRenderMode::DesignView) {
    const TPixelRect e = PixelBounds(pageRect);
    const TRect frame{std::min(e.Left, e.Right), std::min(e.Top, e.Bottom),
                      std::max(e.Left, e.Right), std::max(e.Top, e.Bottom)};
    FrameRect(bitmap, frame, kDesignFrameColor, TDrawMode::Blend);
  }
  return true;
}

void TPrintablePageElement::Print(TBitmap32*, const TPixelRect&) {}

TRenderContext TPrintablePageElement::DocumentedContext(TBitmap32* canvas,
                                                        const TPixelRect& pageRect) const {
  TRenderContext context;
  context.Mode = RenderMode();
  context.TargetBitmap = documentedTarget_;
  context.Canvas = canvas;
  context.PageRect = pageRect;
  context.Resolution = Resolution();
  context.ErrorCounter = documentedErrorCounter_;
  if (const TPrintWizardPageTemplate* page = PageTemplate()) context.BoundItem = page->BoundItem();
  return context;
}

}  // namespace nimbra
