#include "templates/RenderPageTemplateList.h"

#include <mutex>
#include <string>

#include "templates/ElementBinding.h"
#include "templates/PageElementList.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TRenderPageElementListItem, TObject)
NIMBRA_DEFINE_CLASS(TRenderPageElementList, TObject)
NIMBRA_DEFINE_CLASS(TRenderPageTemplateListItem, TObject)
NIMBRA_DEFINE_CLASS(TRenderPageTemplateList, TObjectListEvent)

namespace {

// Copying writes the source out through its bag, and a picture bag that shows the slideshow's
// picture forgets its file name as it is written: pages built at the same time from the same
// templates take turns at copying them.
std::mutex& CopyLock() {
  static std::mutex lock;
  return lock;
}

// A copy of a template or element of the project.
template <typename T>
std::unique_ptr<T> CopyOf(const T& source) {
  const std::lock_guard<std::mutex> guard(CopyLock());
  return source.Clone();
}

}  // namespace

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
  std::unique_ptr<TPageTemplate> page = CopyOf(*template_);
  if (!page) return nullptr;
  page->SetTemplateList(template_->GetTemplateList());
  page->Elements().Clear();
  page->SetPageNumber(pageIndex_ + 1);
  for (int32_t i = 0; i < elements_.Count(); ++i) {
    const TRenderPageElementListItem* binding = elements_.Items(i);
    if (binding == nullptr || binding->Element() == nullptr) continue;
    std::unique_ptr<TPageElement> element = CopyOf(*binding->Element());
    if (!element) continue;
    if (auto* bound = dynamic_cast<IObjectBoundElement*>(element.get())) {
      bound->BindObject(binding->Object());
    }
    // The page belongs where its first object stands in the show. Texts have no object of their
    // own; without this their %kapitelname% would never find the chapter around the page's photo.
    if (!page->BoundItem() && binding->Object()) page->SetBoundItem(binding->Object());
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
