// The ordered elements of a page template. List order is drawing order: later elements cover
// earlier ones. The list owns its elements and is their owner link; its own owner is the template.
// It is stored as a nested chunked stream of its own, one chunk per element holding the element's
// class name and data, so a reader skips elements of classes it does not know and stays in step.
#pragma once

#include <cstdint>

#include "framework/OwnerList.h"
#include "templates/PageElement.h"

namespace nimbra {

class TCSFStream;
class TPageTemplate;

// The chunk id of one stored element.
inline constexpr int32_t kPageElementChunkId = 256;

class TPageElementList : public TOwnerList, public IHasOwner {
  NIMBRA_DECLARE_CLASS()

 public:
  TPageElementList();
  ~TPageElementList() override;

  TObject* GetOwner() const override { return owner_; }
  void SetOwner(TObject* owner) override { owner_ = owner; }
  // The owner as a template, or none.
  TPageTemplate* Template() const;

  // The element at index (raises EListError outside the list); none for an entry that is no
  // element.
  TPageElement* Items(int32_t index) const { return ItemAs<TPageElement>(index); }

  // Reads as many chunks as the stream's header counts; elements of chunk id 256 are appended,
  // other chunks are skipped. False when a chunk header is damaged (the elements read so far
  // stay).
  virtual bool ReadItems(TCSFStream& stream);
  // Every element with WriteItem (chunk id 256); the logical AND of the results.
  virtual bool WriteItems(TCSFStream& stream) const;
  // One chunk of the id (256 for 0): the class name, then the element's data.
  virtual bool WriteItem(TCSFStream& stream, const TPageElement& element, int32_t chunkId) const;
  // The class name and the element's data at the stream's position (inside an element chunk). An
  // element of a known class is appended before it reads itself and stays even when that read
  // fails; an unknown class leaves the rest of the chunk unread. True when an element was read.
  virtual bool ReadItem(TCSFStream& stream);
  // Moves (or with copy set, copies) every element of source to index, or to the end for -1.
  // Elements moved within this list change place; elements from another owning list leave it.
  virtual bool AddElements(TPageElementList& source, int32_t index, bool copy);

  // The list as a nested stream at the outer stream's position, which ends up behind it.
  bool WriteNested(TCSFStream& outer) const;
  bool ReadNested(TCSFStream& outer);

 protected:
  // An element that leaves stops telling the template that held it of its changes.
  void Notify(TObject* object, TListNotification action) override;

 private:
  TObject* owner_ = nullptr;
};

}  // namespace nimbra
