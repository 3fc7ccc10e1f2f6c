#include "framework/PropertiesList.h"

#include <stdexcept>

#include "framework/KeyValueStore.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/ChunkedStreams.h"
#include "storage/FalseOnFailure.h"
#include "storage/TextCase.h"

namespace nimbra {

// ---- TPropertiesListItem ----

TPropertiesListItem::TPropertiesListItem(const TMetaClass& ownerClass,
                                         std::unique_ptr<TProperties> bag, std::string caption)
    : ownerClass_(&ownerClass),
      bag_(bag.get()),
      caption_(std::move(caption)),
      owned_(std::move(bag)) {
  if (bag_ == nullptr) throw std::invalid_argument("TPropertiesListItem without a bag");
}

TPropertiesListItem::TPropertiesListItem(const TMetaClass& ownerClass, TProperties& bag,
                                         std::string caption)
    : ownerClass_(&ownerClass), bag_(&bag), caption_(std::move(caption)) {}

TPropertiesListItem::~TPropertiesListItem() = default;

// ---- TPropertiesList ----

TPropertiesList::TPropertiesList() = default;

TPropertiesList::~TPropertiesList() = default;

TPropertiesListItem* TPropertiesList::FindItemByClass(const TMetaClass& bagClass) const {
  for (const auto& item : items_) {
    if (&item->Properties().ClassType() == &bagClass) return item.get();
  }
  return nullptr;
}

TPropertiesListItem* TPropertiesList::FindItemByName(std::string_view className) const {
  for (const auto& item : items_) {
    if (SameTextAscii(item->Properties().ClassName(), className)) return item.get();
  }
  return nullptr;
}

TProperties* TPropertiesList::ByClass(const TMetaClass& bagClass) const {
  TPropertiesListItem* item = FindItemByClass(bagClass);
  return item != nullptr ? &item->Properties() : nullptr;
}

TProperties* TPropertiesList::ByName(std::string_view className) const {
  TPropertiesListItem* item = FindItemByName(className);
  return item != nullptr ? &item->Properties() : nullptr;
}

TProperties& TPropertiesList::Append(std::unique_ptr<TPropertiesListItem> item) {
  items_.push_back(std::move(item));
  return items_.back()->Properties();
}

TProperties* TPropertiesList::AddNew(const TMetaClass& ownerClass, const TMetaClass& bagClass,
                                     std::string caption) {
  std::unique_ptr<TProperties> bag = CreateProperties(bagClass);
  if (!bag) return nullptr;
  return &Add(ownerClass, std::move(bag), std::move(caption));
}

TProperties& TPropertiesList::Add(const TMetaClass& ownerClass, std::unique_ptr<TProperties> bag,
                                  std::string caption) {
  return Append(
      std::make_unique<TPropertiesListItem>(ownerClass, std::move(bag), std::move(caption)));
}

TProperties& TPropertiesList::Add(const TMetaClass& ownerClass, TProperties& bag,
                                  std::string caption) {
  return Append(std::make_unique<TPropertiesListItem>(ownerClass, bag, std::move(caption)));
}

void TPropertiesList::SetCaptionByClass(const TMetaClass& bagClass, std::string caption) {
  if (TPropertiesListItem* item = FindItemByClass(bagClass)) item->SetCaption(std::move(caption));
}

void TPropertiesList::SetCaptionByName(std::string_view className, std::string caption) {
  if (TPropertiesListItem* item = FindItemByName(className)) item->SetCaption(std::move(caption));
}

void TPropertiesList::ResetAll() {
  for (const auto& item : items_) item->Properties().Reset();
}

void TPropertiesList::AssignList(const TPropertiesList& other, bool clear) {
  if (&other == this) return;
  if (clear) Clear();
  for (const auto& source : other.items_) {
    const TProperties& bag = source->Properties();
    TProperties* target = ByClass(bag.ClassType());
    if (target == nullptr) {
      target = AddNew(source->OwnerClass(), bag.ClassType(), source->Caption());
    }
    if (target != nullptr) target->Assign(bag);
  }
}

bool TPropertiesList::SaveToRegistry(TKeyValueStore& store, std::string_view keyPath,
                                     int32_t fileType, int32_t fileVersion) const {
  if (!store.OpenKey(keyPath, true)) return false;
  // Every bag is saved even after one failed; the answer tells whether all of them were.
  bool saved = true;
  for (const auto& item : items_) {
    const TProperties& bag = item->Properties();
    saved = bag.SaveToRegistry(store, bag.ClassName(), fileType, fileVersion) && saved;
  }
  return saved;
}

bool TPropertiesList::LoadFromRegistry(TKeyValueStore& store, std::string_view keyPath,
                                       int32_t fileType, int32_t fileVersion) {
  if (!store.OpenKeyReadOnly(keyPath)) return false;
  bool loaded = true;
  for (const std::string& name : store.GetValueNames()) {
    // Values of bags this list does not hold belong to someone else.
    if (TProperties* bag = ByName(name)) {
      loaded = bag->LoadFromRegistry(store, name, fileType, fileVersion) && loaded;
    }
  }
  return loaded;
}

bool TPropertiesList::WriteToStream(TCSFStream& stream) const {
  bool result = true;
  for (const auto& item : items_) {
    const TProperties& bag = item->Properties();
    const bool written = FalseOnFailure([&] {
      // 1. a chunk header with id and size still 0
      const int64_t start = stream.WriteChunkPlaceholder();
      // 2. the class name
      stream.WriteString(bag.ClassName());
      // 3. the bag in a sub-chunk
      TWriteSubChunk fields(stream);
      const bool bagWritten = bag.WriteToStream(stream);
      fields.End();
      // 4. the real header, counted in the stream header
      const int64_t end = stream.Position();
      stream.SetPosition(start);
      stream.WriteChunkHeader(kPropertiesListChunkId, end - start);
      stream.CountChunk();
      stream.SetPosition(end);
      return bagWritten;
    });
    // 5. every bag is written, whatever happened to the ones before
    result = result && written;
  }
  return result;
}

bool TPropertiesList::ReadFromStream(TCSFStream& stream) {
  bool result = true;
  const bool walked = FalseOnFailure([&] {
    // 1. as many chunks as the header counts
    const int32_t count = stream.ChunkCount();
    for (int32_t i = 0; i < count; ++i) {
      // 2. a chunk header; a broken one leaves no way to find the next chunk and ends the read
      const TChunkHeader header = stream.BeginReadChunk();
      result = FalseOnFailure([&] {
        // 3. a bag's chunk: its class name, then its fields if the list holds such a bag
        if (header.Id == kPropertiesListChunkId) {
          if (TProperties* bag = ByName(stream.ReadString())) {
            TReadSubChunk fields(stream);
            bag->ReadFromStream(stream);
          }
        }
        // 4. chunks of other ids are skipped
        return true;
      }) && result;
      // 5. the next chunk starts where this one's size says, whatever was read of it
      stream.EndReadChunk();
    }
    return true;
  });
  // 6. false if any chunk failed to read
  return walked && result;
}

bool TPropertiesList::LoadFromFile(const std::string& fileName) {
  return FalseOnFailure([&] {
    TCSFFileWinTypes file(fileName, CSFMode::Read);
    const bool read = ReadFromStream(file);
    file.Release();
    return read;
  });
}

bool TPropertiesList::SaveToFile(const std::string& fileName) const {
  return WriteChunkedFile(fileName, kPropertiesListFileType, kPropertiesListFileVersion,
                          [this](TCSFStream& file) { return WriteToStream(file); });
}

TPropertiesListItem& TPropertiesList::Items(int index) const {
  if (index < 0 || index >= Count()) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
  return *items_[static_cast<size_t>(index)];
}

void TPropertiesList::Clear() { items_.clear(); }

}  // namespace nimbra
