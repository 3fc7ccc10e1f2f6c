#include "templates/PageElementList.h"

#include "storage/CSFStream.h"
#include "storage/ChunkList.h"
#include "storage/FalseOnFailure.h"
#include "templates/ChunkScope.h"
#include "templates/ListTransfer.h"
#include "templates/PageTemplate.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TPageElementList, TOwnerList)

TPageElementList::TPageElementList() : TOwnerList(true) {}

// Cleared here, while the owner-link override still runs for every element that leaves.
TPageElementList::~TPageElementList() {
  DestroyItems();
}

void TPageElementList::Notify(TObject* object, TListNotification action) {
  if (action != TListNotification::Added) {
    if (auto* element = dynamic_cast<TPageElement*>(object)) element->OnChange = nullptr;
  }
  TOwnerList::Notify(object, action);
}

TPageTemplate* TPageElementList::Template() const {
  return dynamic_cast<TPageTemplate*>(owner_);
}

bool TPageElementList::ReadItems(TCSFStream& stream) {
  // A element that fails keeps what it read, and the chunks after it are still read.
  return FalseOnFailure([&] {
    ReadChunks(stream,
               [&](int32_t chunkId) { return chunkId != kPageElementChunkId || ReadItem(stream); });
    return true;
  });
}

bool TPageElementList::WriteItems(TCSFStream& stream) const {
  bool result = true;
  for (int32_t i = 0; i < Count(); ++i) {
    if (const TPageElement* element = Items(i)) {
      result = WriteItem(stream, *element, 0) && result;
    }
  }
  return result;
}

bool TPageElementList::WriteItem(TCSFStream& stream, const TPageElement& element,
                                 int32_t chunkId) const {
  return FalseOnFailure([&] {
    TWriteChunk chunk(stream, chunkId != 0 ? chunkId : kPageElementChunkId);
    stream.WriteClassName(&element);
    const bool written = element.WriteToStream(stream);
    chunk.End();
    return written;
  });
}

bool TPageElementList::ReadItem(TCSFStream& stream) {
  const TMetaClass* meta = stream.ReadClass();
  if (meta == nullptr) return false;
  std::unique_ptr<TPageElement> created = CreateAs<TPageElement>(*meta);
  if (!created) return false;
  TPageElement& element = *created;
  Add(std::unique_ptr<TObject>(created.release()));
  return element.ReadFromStream(stream);
}

bool TPageElementList::AddElements(TPageElementList& source, int32_t index, bool copy) {
  const auto cloneElement = [](TObject* item) -> std::unique_ptr<TObject> {
    const auto* element = dynamic_cast<const TPageElement*>(item);
    if (element == nullptr) return nullptr;
    return std::unique_ptr<TObject>(element->Clone().release());
  };
  const auto elementList = [](TObject* item) -> TObjectListEvent* {
    const auto* element = dynamic_cast<const TPageElement*>(item);
    return element != nullptr ? element->GetElementList() : nullptr;
  };
  return TransferItems(*this, source, index, copy, cloneElement, elementList);
}

bool TPageElementList::WriteNested(TCSFStream& outer) const {
  std::unique_ptr<TCSFStream> nested = outer.OpenNestedStream(NestedKind::Write, true);
  if (!nested) return false;
  const bool written = WriteItems(*nested);
  outer.CloseNestedStream(nested, true);
  return written;
}

bool TPageElementList::ReadNested(TCSFStream& outer) {
  std::unique_ptr<TCSFStream> nested = outer.OpenNestedStream(NestedKind::Read, false);
  if (!nested) return false;
  const bool read = ReadItems(*nested);
  outer.CloseNestedStream(nested, true);
  return read;
}

}  // namespace nimbra
