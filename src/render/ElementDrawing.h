// How the render engine draws one element of a page (its RenderElement steps): the elements of the
// system take everything from the render context and keep nothing of it; elements that know only
// the documented interfaces are told the mode, the target and the error counter first and hear
// BeginRender and EndRender around their print calls, as before.
#pragma once

#include "elements/RenderContext.h"

namespace nimbra {

class TPageElement;
class TPageTemplate;

// Binds an element of a page to its object for as long as it draws: the context carries the item
// and the page is bound to it too, since variables expanded while the element draws (the chapter
// name, say) look it up there. An element without an object of its own (a text) sees the page's
// item. The page goes back to its own item when the scope ends.
class TElementBindingScope {
 public:
  TElementBindingScope(TPageTemplate& page, TPageElement& element, TRenderContext& context);
  ~TElementBindingScope();
  TElementBindingScope(const TElementBindingScope&) = delete;
  TElementBindingScope& operator=(const TElementBindingScope&) = delete;

 private:
  TPageTemplate& page_;
  TRef<ITreeItem> pageItem_;
};

// The print call on the context's canvas, then the pass onto the target (the page bitmap's own
// canvas) unless the element prints to bitmaps or skips that pass. Elements that do not print are
// left alone.
void DrawElement(TPageElement& element, const TRenderContext& context);

}  // namespace nimbra
