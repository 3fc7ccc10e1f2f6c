// The templates of a project. Each template arriving in the list receives a fresh identifier (one
// above the largest), by which page structure elements refer to it. Stored as a chunk holding a
// nested chunked stream with one chunk per template (its class name and data).
#pragma once

#include <cstdint>

#include "framework/OwnerList.h"
#include "templates/PageTemplate.h"

namespace nimbra {

class TCSFStream;

inline constexpr int32_t kTemplateListChunkId = 273;
inline constexpr int32_t kTemplateChunkId = 272;

class TPageTemplateList : public TOwnerList, public IHasOwner {
  NIMBRA_DECLARE_CLASS()

 public:
  TPageTemplateList();
  ~TPageTemplateList() override;

  TObject* GetOwner() const override { return owner_; }
  void SetOwner(TObject* owner) override { owner_ = owner; }
  TPageTemplateProject* Project() const;

  TPageTemplate* Items(int32_t index) const { return ItemAs<TPageTemplate>(index); }

  // Reads as many chunks as the stream's header counts; templates of chunk id 272 are appended,
  // other chunks skipped. False when a chunk header is damaged (templates read so far stay).
  virtual bool ReadItems(TCSFStream& stream);
  // Every template with WriteItem; true unless the stream fails.
  virtual bool WriteItems(TCSFStream& stream) const;
  // A chunk of the id (273 for 0) holding a nested stream with the templates.
  virtual bool WriteList(TCSFStream& stream, int32_t chunkId) const;
  // The nested stream at the position, read with ReadItems.
  virtual bool ReadList(TCSFStream& stream);
  virtual bool AddTemplates(TPageTemplateList& source, int32_t index, bool copy);
  // The first template with the ID, or none.
  virtual TPageTemplate* FindByID(uint32_t id) const;

  // The class name and the template's data (inside a template chunk); an unknown class leaves the
  // rest of the chunk unread. True when a template was read.
  bool ReadItem(TCSFStream& stream);
  // One chunk of the id (272 for 0).
  bool WriteItem(TCSFStream& stream, const TPageTemplate& pageTemplate, int32_t chunkId) const;
  // One above the largest ID in the list (compared unsigned), at least 1.
  uint32_t NextID() const;

 protected:
  // After the owner link is set, the arriving template gets NextID.
  void DoAttached(int32_t index) override;

 private:
  TObject* owner_ = nullptr;
};

}  // namespace nimbra
