#include "templates/PageTemplateList.h"

#include <algorithm>

#include "storage/CSFStream.h"
#include "storage/ChunkList.h"
#include "storage/FalseOnFailure.h"
#include "templates/ChunkScope.h"
#include "templates/ListTransfer.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TPageTemplateList, TOwnerList)

TPageTemplateList::TPageTemplateList() : TOwnerList(true) {}

TPageTemplateList::~TPageTemplateList() = default;

TPageTemplateProject* TPageTemplateList::Project() const {
  return dynamic_cast<TPageTemplateProject*>(owner_);
}

void TPageTemplateList::DoAttached(int32_t index) {
  TOwnerList::DoAttached(index);
  if (TPageTemplate* arrived = Items(index)) arrived->SetID(NextID());
}

uint32_t TPageTemplateList::NextID() const {
  uint32_t largest = 0;
  for (int32_t i = 0; i < Count(); ++i) {
    if (const TPageTemplate* pageTemplate = Items(i)) {
      largest = std::max(largest, pageTemplate->ID());
    }
  }
  // Past the largest possible ID the count starts again at 1 rather than at the "no template" 0.
  const uint32_t next = largest + 1;
  return next != 0 ? next : 1;
}

TPageTemplate* TPageTemplateList::FindByID(uint32_t id) const {
  for (int32_t i = 0; i < Count(); ++i) {
    TPageTemplate* pageTemplate = Items(i);
    if (pageTemplate != nullptr && pageTemplate->ID() == id) return pageTemplate;
  }
  return nullptr;
}

bool TPageTemplateList::ReadItems(TCSFStream& stream) {
  // A template that fails keeps what it read, and the chunks after it are still read.
  return FalseOnFailure([&] {
    ReadChunks(stream,
               [&](int32_t chunkId) { return chunkId != kTemplateChunkId || ReadItem(stream); });
    return true;
  });
}

bool TPageTemplateList::WriteItems(TCSFStream& stream) const {
  // Every template is written, and a failure of any of them is reported, so that a file is never
  // taken as saved when part of it is missing.
  bool result = true;
  for (int32_t i = 0; i < Count(); ++i) {
    if (const TPageTemplate* pageTemplate = Items(i)) {
      result = WriteItem(stream, *pageTemplate, 0) && result;
    }
  }
  return result;
}

bool TPageTemplateList::WriteList(TCSFStream& stream, int32_t chunkId) const {
  return FalseOnFailure([&] {
    TWriteChunk chunk(stream, chunkId != 0 ? chunkId : kTemplateListChunkId);
    std::unique_ptr<TCSFStream> nested = stream.OpenNestedStream(NestedKind::Write, true);
    if (!nested) return false;
    const bool written = WriteItems(*nested);
    stream.CloseNestedStream(nested, true);
    chunk.End();
    return written;
  });
}

bool TPageTemplateList::ReadList(TCSFStream& stream) {
  return FalseOnFailure([&] {
    std::unique_ptr<TCSFStream> nested = stream.OpenNestedStream(NestedKind::Read, false);
    if (!nested) return false;
    const bool read = ReadItems(*nested);
    stream.CloseNestedStream(nested, true);
    return read;
  });
}

bool TPageTemplateList::ReadItem(TCSFStream& stream) {
  const TMetaClass* meta = stream.ReadClass();
  if (meta == nullptr) return false;
  std::unique_ptr<TPageTemplate> created = CreateAs<TPageTemplate>(*meta);
  if (!created) return false;
  TPageTemplate& pageTemplate = *created;
  // Added first, so the stored ID read next replaces the fresh one the list hands out.
  Add(std::unique_ptr<TObject>(created.release()));
  return pageTemplate.ReadFromStream(stream);
}

bool TPageTemplateList::WriteItem(TCSFStream& stream, const TPageTemplate& pageTemplate,
                                  int32_t chunkId) const {
  return FalseOnFailure([&] {
    TWriteChunk chunk(stream, chunkId != 0 ? chunkId : kTemplateChunkId);
    stream.WriteClassName(&pageTemplate);
    const bool written = pageTemplate.WriteToStream(stream);
    chunk.End();
    return written;
  });
}

bool TPageTemplateList::AddTemplates(TPageTemplateList& source, int32_t index, bool copy) {
  const auto cloneTemplate = [](TObject* item) -> std::unique_ptr<TObject> {
    const auto* pageTemplate = dynamic_cast<const TPageTemplate*>(item);
    if (pageTemplate == nullptr) return nullptr;
    return std::unique_ptr<TObject>(pageTemplate->Clone().release());
  };
  const auto templateList = [](TObject* item) -> TObjectListEvent* {
    const auto* pageTemplate = dynamic_cast<const TPageTemplate*>(item);
    return pageTemplate != nullptr ? pageTemplate->GetTemplateList() : nullptr;
  };
  return TransferItems(*this, source, index, copy, cloneTemplate, templateList);
}

}  // namespace nimbra
