#include "templates/RenderPageTemplateList.h"

#include <string>

#include "templates/ElementBinding.h"
#include "templates/PageElementList.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TRenderPageElementListItem, TObject)
NIMBRA_DEFINE_CLASS(TRenderPageElementList, TObject)
NIMBRA_DEFINE_CLASS(TRenderPageTemplateListItem, TObject)
NIMBRA_DEFINE_CLASS(TRenderPageTemplateList, TObjectListEvent)

// ---- TRenderPageElementList ----

TRenderPageElementListItem* TRenderPageElementList::Items(int32_t index) const {
  if (index < 0 || index >= Count()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  return const_cast<TRenderPageElementListItem*>(&items_[static_cast<size_t>(index)]);
}

int32_t TRenderPageElementList::Add(std::unique_ptr<TRenderPageElementListItem> item) {
  if (!item) return -1;
  return Add(item->Element(), item->Object());
}

int32_t TRenderPageElementList::Add(TPageElement* element, TRef<ITreeItem> object) {
  items_.emplace_back(element, std::move(object));
  return Count() - 1;
}

// ---- TRenderPageTemplateListItem ----

TRenderPageTemplateListItem::TRenderPageTemplateListItem(TPageTemplate* pageTemplate)
    : template_(pageTemplate) {}

TRenderPageTemplateListItem::TRenderPageTemplateListItem(
    TPageTemplate* pageTemplate, std::unique_ptr<TRenderPageElementList> elements)
    : template_(pageTemplate) {
  SetElements(std::move(elements));
}

TRenderPageTemplateListItem::TRenderPageTemplateListItem(
    std::unique_ptr<TPageTemplate> blankTemplate)
    : template_(blankTemplate.get()), ownedTemplate_(std::move(blankTemplate)) {}

TRenderPageTemplateListItem::~TRenderPageTemplateListItem() = default;

void TRenderPageTemplateListItem::SetElements(std::unique_ptr<TRenderPageElementList> elements) {
  if (elements) elements_ = std::move(*elements);
}

std::unique_ptr<TPageTemplate> TRenderPageTemplateListItem::CreatePage() const {
  if (template_ == nullptr) return nullptr;
  std::unique_ptr<TPageTemplate> page = template_->Clone();
  if (!page) return nullptr;
  page->SetTemplateList(template_->GetTemplateList());
  page->Elements().Clear();
  page->SetPageNumber(pageIndex_ + 1);
  for (int32_t i = 0; i < elements_.Count(); ++i) {
    const TRenderPageElementListItem* binding = elements_.Items(i);
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
