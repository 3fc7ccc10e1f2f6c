// The renderer's result: one record per page, in page order, saying which template the page uses
// and which slideshow object each of its elements shows. Pages are built from their records only
// when they are drawn. Records refer to the project's templates and elements, so the project must
// outlive the list.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/CustomTree.h"
#include "framework/ObjectListEvent.h"
#include "templates/PageTemplate.h"

namespace nimbra {

// One element of a page and the slideshow object bound to it (none for no object).
class TRenderPageElementListItem : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  TRenderPageElementListItem(TPageElement* element, TRef<ITreeItem> object)
      : element_(element), object_(std::move(object)) {}

  // The element of the project's template; not owned.
  TPageElement* Element() const { return element_; }
  const TRef<ITreeItem>& Object() const { return object_; }

 private:
  TPageElement* element_;
  TRef<ITreeItem> object_;
};

class TRenderPageElementList : public TObjectListEvent {
  NIMBRA_DECLARE_CLASS()

 public:
  TRenderPageElementList() : TObjectListEvent(true) {}

  TRenderPageElementListItem* Items(int32_t index) const {
    return ItemAs<TRenderPageElementListItem>(index);
  }
};

class TRenderPageTemplateListItem : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  // A page of a template of the project (not owned).
  explicit TRenderPageTemplateListItem(TPageTemplate* pageTemplate);
  // An inserted blank page: the item owns its template.
  explicit TRenderPageTemplateListItem(std::unique_ptr<TPageTemplate> blankTemplate);
  ~TRenderPageTemplateListItem() override;

  // -1 until the item is placed in a list, then its position.
  int32_t PageIndex() const { return pageIndex_; }
  void SetPageIndex(int32_t index) { pageIndex_ = index; }
  TPageTemplate* Template() const { return template_; }
  // One binding per element of Template, in element order; empty for a blank page.
  TRenderPageElementList& Elements() const { return *elements_; }
  void SetElements(std::unique_ptr<TRenderPageElementList> elements);
  // Whether the page was inserted to bring the next template onto the side it asks for.
  bool Blank() const { return ownedTemplate_ != nullptr; }

  // A page ready for drawing: a clone of Template, linked to the template's list (and so to the
  // project), numbered PageIndex + 1, with a clone of each bound element that is bound to its
  // object. None without a template. The caller owns the page.
  virtual std::unique_ptr<TPageTemplate> CreatePage() const;

 private:
  int32_t pageIndex_ = -1;
  TPageTemplate* template_;
  std::unique_ptr<TPageTemplate> ownedTemplate_;
  std::unique_ptr<TRenderPageElementList> elements_;
};

class TRenderPageTemplateList : public TObjectListEvent {
  NIMBRA_DECLARE_CLASS()

 public:
  TRenderPageTemplateList() : TObjectListEvent(true) {}

  TRenderPageTemplateListItem* Items(int32_t index) const {
    return ItemAs<TRenderPageTemplateListItem>(index);
  }

 protected:
  // The arriving page learns its index.
  void DoAttached(int32_t index) override;
};

}  // namespace nimbra
