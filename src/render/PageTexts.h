// The final texts of a page's text elements, for tools that show what a page says without drawing
// it. Each text element is bound to its object and page exactly as the engine binds it to draw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nimbra {

class TRenderPageTemplateListItem;

struct TPageText {
  // The element's index in its template.
  int32_t Element = 0;
  std::string ClassName;
  std::string Text;
};

// The texts in element order; none for a page without a template.
std::vector<TPageText> FinalPageTexts(const TRenderPageTemplateListItem& record);

}  // namespace nimbra
