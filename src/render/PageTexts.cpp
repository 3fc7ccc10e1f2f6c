#include "render/PageTexts.h"

#include <memory>

#include "elements/PrintPageElementText.h"
#include "elements/RenderContext.h"
#include "render/ElementDrawing.h"
#include "templates/PageTemplate.h"
#include "templates/RenderPageTemplateList.h"

namespace nimbra {

namespace {

// The template indices of the page's elements: the page leaves out bindings without an element.
std::vector<int32_t> TemplateIndices(const TRenderPageTemplateListItem& record) {
  std::vector<int32_t> indices;
  for (int32_t i = 0; i < record.Elements().Count(); ++i) {
    const TRenderPageElementListItem* binding = record.Elements().Items(i);
    if (binding != nullptr && binding->Element() != nullptr) indices.push_back(i);
  }
  return indices;
}

}  // namespace

std::vector<TPageText> FinalPageTexts(const TRenderPageTemplateListItem& record) {
  std::vector<TPageText> texts;
  const std::unique_ptr<TPageTemplate> page = record.CreatePage();
  if (!page) return texts;
  const std::vector<int32_t> indices = TemplateIndices(record);
  TRenderContext context;
  context.Mode = TRenderMode::FinalRendering;
  TPageElementList& elements = page->Elements();
  for (int32_t i = 0; i < elements.Count(); ++i) {
    auto* text = dynamic_cast<TPrintPageElementText*>(elements.Items(i));
    if (text == nullptr) continue;
    const TElementBindingScope binding(*page, *text, context);
    const int32_t index = static_cast<size_t>(i) < indices.size() ? indices[i] : i;
    texts.push_back({index, text->ClassName(), text->TextFor(context)});
  }
  return texts;
}

}  // namespace nimbra
