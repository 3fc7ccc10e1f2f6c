// How the render engine draws one element of a page (its RenderElement steps): the elements of the
// system take everything from the render context and keep nothing of it; elements that know only
// the documented interfaces are told the mode, the target and the error counter first and hear
// BeginRender and EndRender around their print calls, as before.
#pragma once

namespace nimbra {

class TPageElement;
struct TRenderContext;

// The print call on the context's canvas, then the pass onto the target (the page bitmap's own
// canvas) unless the element prints to bitmaps or skips that pass. Elements that do not print are
// left alone.
void DrawElement(TPageElement& element, const TRenderContext& context);

}  // namespace nimbra
