#include "templates/RenderPageTemplateList.h"

#include "templates/ElementBinding.h"
#include "templates/PageElementList.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TRenderPageElementListItem, TObject)
NIMBRA_DEFINE_CLASS(TRenderPageElementList, TObjectListEvent)
NIMBRA_DEFINE_CLASS(TRenderPageTemplateListItem, TObject)
NIMBRA_DEFINE_CLASS(TRenderPageTemplateList, TObjectListEvent)

// ---- TRenderPageTemplateListItem ----

TRenderPageTemplateListItem::TRenderPageTemplateListItem(TPageTemplate* pageTemplate)
    : template_(pageTemplate), elements_(std::make_unique<TRenderPageElementList>()) {}

TRenderPageTemplateListItem::TRenderPageTemplateListItem(
    std::unique_ptr<TPageTemplate> blankTemplate)
    : template_(blankTemplate.get()),
      ownedTemplate_(std::move(blankTemplate)),
      elements_(std::make_unique<TRenderPageElementList>()) {}

TRenderPageTemplateListItem::~TRenderPageTemplateListItem() = default;

void TRenderPageTemplateListItem::SetElements(std::unique_ptr<TRenderPageElementList> elements) {
  if (elements) elements_ = std::move(elements);
}

std::unique_ptr<TPageTemplate> TRenderPageTemplateListItem::CreatePage() const {
  if (template_ == nullptr) return nullptr;
  std::unique_ptr<TPageTemplate> page = template_->Clone();
  if (!page) return nullptr;
  page->SetTemplateList(template_->GetTemplateList());
  page->Elements().Clear();
  page->SetPageNumber(pageIndex_ + 1);
  for (int32_t i = 0; i < elements_->Count(); ++i) {
    const TRenderPageElementListItem* binding = elements_->Items(i);
    if (binding == nullptr || binding->Element() == nullptr) continue;
    std::unique_ptr<TPageElement> element = binding->Element()->Clone();
    if (!element) continue;
    if (auto* bound = dynamic_cast<IObjectBoundElement*>(element.get())) {
      bound->BindObject(binding->Object());
    }
    page->Elements().Add(std::move(element));
  }
  return page;
}

// ---- TRenderPageTemplateList ----

void TRenderPageTemplateList::DoAttached(int32_t index) {
  TObjectListEvent::DoAttached(index);
  if (TRenderPageTemplateListItem* item = Items(index)) item->SetPageIndex(index);
}

}  // namespace nimbra
