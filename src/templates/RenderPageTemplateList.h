// The renderer's result: one record per page, in page order, saying which template the page uses
// and which slideshow object each of its elements shows. Pages are built from their records only
// when they are drawn. Records refer to the project's templates and elements, so the project must
// outlive the list.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

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

// The bindings of one page, owned. A plain list: it is filled once and then only read, and an
// album holds one per page, so it carries none of the event list's hooks and counts, and keeps
// its items in one block. Adding may move the items: take their addresses once the list is made.
class TRenderPageElementList : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // Raises EListError for an index outside the list.
  TRenderPageElementListItem* Items(int32_t index) const;
  // The new item's index; none adds nothing and gives -1.
  int32_t Add(std::unique_ptr<TRenderPageElementListItem> item);
  int32_t Add(TPageElement* element, TRef<ITreeItem> object);
  void Reserve(int32_t count) { items_.reserve(static_cast<size_t>(count)); }

 private:
  std::vector<TRenderPageElementListItem> items_;
};

class TRenderPageTemplateListItem : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  // A page of a template of the project (not owned).
  explicit TRenderPageTemplateListItem(TPageTemplate* pageTemplate);
  // The same with its element bindings made already.
  TRenderPageTemplateListItem(TPageTemplate* pageTemplate,
                              std::unique_ptr<TRenderPageElementList> elements);
  // An inserted blank page: the item owns its template.
  explicit TRenderPageTemplateListItem(std::unique_ptr<TPageTemplate> blankTemplate);
  ~TRenderPageTemplateListItem() override;

  // -1 until the item is placed in a list, then its position.
  int32_t PageIndex() const { return pageIndex_; }
  void SetPageIndex(int32_t index) { pageIndex_ = index; }
  TPageTemplate* Template() const { return template_; }
  // One binding per element of Template, in element order; empty for a blank page.
  TRenderPageElementList& Elements() const { return elements_; }
  void SetElements(std::unique_ptr<TRenderPageElementList> elements);
  // Whether the page was inserted to bring the next template onto the side it asks for.
  bool Blank() const { return ownedTemplate_ != nullptr; }

  // A page ready for drawing: a clone of Template, linked to the template's list (and so to the
  // project), numbered PageIndex + 1, with a clone of each bound element that is bound to its
  // object, and itself bound to the first object of its bindings. None without a template. The
  // caller owns the page.
  virtual std::unique_ptr<TPageTemplate> CreatePage() const;

 private:
  int32_t pageIndex_ = -1;
  TPageTemplate* template_;
  std::unique_ptr<TPageTemplate> ownedTemplate_;
  // Held in the record itself: one allocation less for each of an album's pages.
  mutable TRenderPageElementList elements_;
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
