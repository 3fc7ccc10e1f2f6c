#include "slideshow/SlideShowObjectList.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

#include "framework/ObjectListEvent.h"
#include "framework/Plugins.h"
#include "slideshow/ChunkReadScope.h"
#include "slideshow/SlideShow.h"
#include "storage/CSFError.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/ChunkedStreams.h"
#include "storage/FalseOnFailure.h"

namespace nimbra {

namespace {

// The object's position in the list it names as its owner; -1 when it is not there (an object
// taken out keeps naming its old list).
int32_t PositionInOwnerList(const TSlideShowObject& object) {
  const TSlideShowObjectList* list = object.OwnerList();
  if (list == nullptr) return -1;
  if (list->Items(object.Index()) == &object) return object.Index();
  return list->IndexOf(&object);
}

bool HasChildrenInList(const TSlideShowObject* object) {
  const TSlideShowObjectList* children = ChildrenOf(object);
  return children != nullptr && !children->Empty();
}

}  // namespace

// Reads object sequences, the levels of one tree, with one counter of consumed chunks for all of
// them. Failures raise and end the whole read: a level cannot go on from wherever a failing inner
// level left the stream.
class TObjectSequenceReader {
 public:
  TObjectSequenceReader(TCSFStream& stream, int32_t& counter, uint32_t flags)
      : stream_(stream), counter_(counter), flags_(flags) {}

  // Chunks handled at every level so far.
  int32_t Handled() const { return handled_; }

  // Reads the sequence whose 1026 header was just read, into target; a null target passes the
  // sequence over, entries and nested sequences alike. depth 1 is the outermost sequence.
  void Read(TSlideShowObjectList* target, int64_t payloadSize, int32_t insertPosition,
            int32_t depth) {
    if (depth > kMaxObjectNesting || payloadSize < 4) throw ECSFError(kCSFReadError);
    // 2. the count; the rest of the 1026 chunk is not ours to read
    const int64_t payloadStart = stream_.Position();
    int32_t n = stream_.ReadInteger();
    stream_.SetPosition(payloadStart + payloadSize);
    // 3. the entries, until the count is used up
    TSlideShowObject* last = nullptr;
    if (n <= 0) return;
    while (n >= 0 && !stream_.AtEnd()) {
      const int64_t start = stream_.Position();
      const TChunkHeader header = stream_.ReadChunkHeader();
      // 3.2 Once the count is used up, only the children of the last entry may follow; anything
      // else belongs to an enclosing level. (A 1026 chunk behind an unknown last entry is that
      // entry's children, since writers put a 1026 chunk only behind an entry: it is passed over
      // below rather than handed to the enclosing level, which would adopt those children.)
      if (n == 0 && header.Id != kSequenceChunkId) {
        stream_.SetPosition(start);
        break;
      }
      if (header.Id == kObjectChunkId) {
        // 3.3
        ++counter_;
        last = ReadEntry(target, start, insertPosition);
        if (last != nullptr && insertPosition >= 0) ++insertPosition;
        stream_.SetPosition(start + header.Length);
        --n;
      } else if (header.Id == kSequenceChunkId) {
        // 3.4 The children of the last entry. When that entry was not read (unknown class) or is
        // no collection, the whole nested sequence is passed over with everything it announces,
        // so the stream then stands at the next chunk of this sequence and n counts only this
        // sequence's entries.
        ++counter_;
        ICollection* collection = AsCollection(last);
        TSlideShowObjectList* children =
            (target != nullptr && collection != nullptr) ? &collection->CreateChildren() : nullptr;
        Read(children, header.Length - kChunkHeaderSize, -1, depth + 1);
        // A second 1026 chunk would not belong to the same entry.
        last = nullptr;
        if (n == 0) break;
      } else {
        // Writers of this system put no other chunk into a sequence; it is counted so that the
        // document passes it over too.
        ++counter_;
        stream_.SetPosition(start + header.Length);
      }
      // 3.5
      ++handled_;
    }
  }

 private:
  // Creates and reads the object of a 1025 chunk and places it; none when the class is unknown or
  // the sequence is being passed over.
  TSlideShowObject* ReadEntry(TSlideShowObjectList* target, int64_t start,
                              int32_t insertPosition) {
    if (target == nullptr) return nullptr;
    TChunkReadScope chunk(stream_, start);
    std::unique_ptr<TSlideShowObject> object =
        ToSlideShowObject(CreateByClassName(stream_.ReadClassName()));
    if (!object) return nullptr;
    TSlideShowObject& read = *object;
    // Bound to the document before reading, so that the read's change report reaches it; the
    // index is the one the object is about to get.
    read.SetIndex(insertPosition >= 0 ? std::min(insertPosition, target->Count()) : target->Count());
    target->Attach(read);
    read.ReadFromStream(stream_);
    if (insertPosition >= 0) {
      target->Insert(insertPosition, std::move(object));
    } else {
      target->Add(std::move(object));
    }
    if ((flags_ & kReadObjectsNotify) != 0) {
      if (TSlideShow* document = target->SlideShow()) {
        document->AddUpdate(read, TUpdateKind::Inserted, 0, 0);
      }
    }
    return &read;
  }

  static std::unique_ptr<TSlideShowObject> ToSlideShowObject(std::unique_ptr<TObject> created) {
    if (auto* object = dynamic_cast<TSlideShowObject*>(created.get())) {
      created.release();
      return std::unique_ptr<TSlideShowObject>(object);
    }
    return nullptr;
  }

  TCSFStream& stream_;
  int32_t& counter_;
  uint32_t flags_;
  int32_t handled_ = 0;
};

NIMBRA_DEFINE_CLASS(TSlideShowObjectList, TObject)

void TSlideShowObjectList::TRelease::operator()(TSlideShowObject* object) const {
  if (owns) std::default_delete<TSlideShowObject>()(object);
}

TSlideShowObjectList::TSlideShowObjectList(TObject* owner, bool ownsObjects)
    : owner_(owner), ownsObjects_(ownsObjects) {}

TSlideShowObjectList::~TSlideShowObjectList() { items_.clear(); }

int32_t TSlideShowObjectList::IndexOf(const TSlideShowObject* object) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].get() == object) return static_cast<int32_t>(i);
  }
  return -1;
}

TSlideShowObject* TSlideShowObjectList::Items(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

TSlideShowObjectList::TEntry TSlideShowObjectList::MakeEntry(
    std::unique_ptr<TSlideShowObject> object) const {
  if (!object) throw std::invalid_argument("no slideshow object");
  if (!ownsObjects_) throw std::invalid_argument("a list that does not own its objects");
  return TEntry(object.release(), TRelease{true});
}

TSlideShowObjectList::TEntry TSlideShowObjectList::MakeEntry(TSlideShowObject* object) const {
  if (object == nullptr) throw std::invalid_argument("no slideshow object");
  if (ownsObjects_) throw std::invalid_argument("a list that owns its objects");
  return TEntry(object, TRelease{false});
}

void TSlideShowObjectList::CheckFree(int32_t index) const {
  const TEntry& entry = items_.at(static_cast<size_t>(index));
  if (entry.get_deleter().owns) entry->CheckFree();
}

void TSlideShowObjectList::PutEntry(int32_t index, TEntry entry) {
  if (index < 0 || index >= Count()) return;
  TSlideShowObject* object = entry.get();
  if (items_[static_cast<size_t>(index)].get() != object) CheckFree(index);
  TEntry former = std::exchange(items_[static_cast<size_t>(index)], std::move(entry));
  if (former.get() == object) former.release();
  former.reset();
  if (ownsObjects_) {
    Attach(*object);
    object->SetIndex(index);
  }
}

void TSlideShowObjectList::Put(int32_t index, std::unique_ptr<TSlideShowObject> object) {
  PutEntry(index, MakeEntry(std::move(object)));
}

void TSlideShowObjectList::Put(int32_t index, TSlideShowObject* object) {
  PutEntry(index, MakeEntry(object));
}

void TSlideShowObjectList::Attach(TSlideShowObject& object) {
  object.SetOwnerList(this);
  // Outside a document there is nobody to tell; an old document's binding must not survive.
  if (TSlideShow* document = SlideShow()) {
    object.SetChangeTarget([document](TSlideShowObject& changed, int32_t code, int32_t extra) {
      document->ObjectChanged(changed, code, extra);
    });
  } else {
    object.SetChangeTarget(nullptr);
  }
  if (TSlideShowObjectList* children = ChildrenOf(&object)) children->AttachAll();
}

void TSlideShowObjectList::AttachAll() {
  for (const TEntry& entry : items_) Attach(*entry);
}

void TSlideShowObjectList::InsertEntry(int32_t index, TEntry entry) {
  index = std::clamp(index, 0, Count());
  TSlideShowObject& object = *entry;
  items_.insert(items_.begin() + index, std::move(entry));
  if (ownsObjects_) {
    Attach(object);
    Reindex(index);
  }
}

int32_t TSlideShowObjectList::Add(std::unique_ptr<TSlideShowObject> object) {
  const int32_t index = Count();
  InsertEntry(index, MakeEntry(std::move(object)));
  return index;
}

int32_t TSlideShowObjectList::Add(TSlideShowObject* object) {
  const int32_t index = Count();
  InsertEntry(index, MakeEntry(object));
  return index;
}

void TSlideShowObjectList::Insert(int32_t index, std::unique_ptr<TSlideShowObject> object) {
  InsertEntry(index, MakeEntry(std::move(object)));
}

void TSlideShowObjectList::Insert(int32_t index, TSlideShowObject* object) {
  InsertEntry(index, MakeEntry(object));
}

TSlideShowObject* TSlideShowObjectList::LastInTree() const {
  TSlideShowObject* object = Last();
  while (HasChildrenInList(object)) object = ChildrenOf(object)->Last();
  return object;
}

TSlideShowObjectList::TEntry TSlideShowObjectList::TakeAt(int32_t index) {
  if (index < 0 || index >= Count()) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  }
  TEntry entry = std::move(items_[static_cast<size_t>(index)]);
  items_.erase(items_.begin() + index);
  return entry;
}

int32_t TSlideShowObjectList::Remove(const TSlideShowObject* object) {
  const int32_t index = IndexOf(object);
  if (index < 0) return -1;
  Delete(index);
  return index;
}

void TSlideShowObjectList::Delete(int32_t index) {
  if (index >= 0 && index < Count()) CheckFree(index);
  TakeAt(index).reset();
  Reindex(index);
}

std::unique_ptr<TSlideShowObject> TSlideShowObjectList::Extract(const TSlideShowObject* object) {
  const int32_t index = IndexOf(object);
  return index < 0 ? nullptr : ExtractAt(index);
}

std::unique_ptr<TSlideShowObject> TSlideShowObjectList::ExtractAt(int32_t index) {
  TEntry entry = TakeAt(index);
  Reindex(index);
  const bool owned = entry.get_deleter().owns;
  TSlideShowObject* object = entry.release();
  return owned ? std::unique_ptr<TSlideShowObject>(object) : nullptr;
}

void TSlideShowObjectList::Move(int32_t from, int32_t to) {
  for (int32_t index : {from, to}) {
    if (index < 0 || index >= Count()) {
      throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    }
  }
  if (from == to) return;
  TEntry entry = std::move(items_[static_cast<size_t>(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(entry));
  Reindex(std::min(from, to));
}

void TSlideShowObjectList::Replace(const TSlideShowObject* oldObject,
                                   std::unique_ptr<TSlideShowObject> object) {
  Put(IndexOf(oldObject), std::move(object));
}

void TSlideShowObjectList::Clear() {
  // Last to first, taking each entry out before its object goes, so the list stays consistent.
  while (!items_.empty()) {
    TEntry entry = std::move(items_.back());
    items_.pop_back();
  }
}

void TSlideShowObjectList::AssignList(const TSlideShowObjectList& other) {
  if (&other == this) return;
  Clear();
  ownsObjects_ = other.ownsObjects_;
  for (const TEntry& entry : other.items_) {
    if (!ownsObjects_) {
      Add(entry.get());
      continue;
    }
    // A copy through the class's virtual constructor; collections copy their children there.
    if (std::unique_ptr<TSlideShowObject> copy = CreateAs<TSlideShowObject>(entry->ClassType())) {
      copy->Assign(*entry);
      Add(std::move(copy));
    }
  }
}

bool TSlideShowObjectList::WriteObjects(TCSFStream& stream) const {
  // 1. the count
  stream.BeginChunk(kSequenceChunkId);
  stream.WriteInteger(Count());
  stream.EndChunk();
  // 2. each object, followed by its children's sequence when it has a child list
  for (const TEntry& entry : items_) {
    stream.BeginChunk(kObjectChunkId);
    stream.WriteClassName(entry.get());
    const bool written = entry->WriteToStream(stream);
    stream.EndChunk();
    if (!written) return false;
    if (const TSlideShowObjectList* children = ChildrenOf(entry.get())) {
      if (!children->WriteObjects(stream)) return false;
    }
  }
  return true;
}

bool TSlideShowObjectList::SaveToStream(TStream& stream) const {
  return FalseOnFailure([&] {
    TCSFStreamWinTypes csf(stream, CSFMode::Headerless);
    csf.SetFileType(kSlideShowFileType);
    csf.SetFileVersion(kSlideShowFileVersion);
    const bool written = WriteObjects(csf);
    csf.Release();
    return written;
  });
}

bool TSlideShowObjectList::SaveToFile(const std::string& fileName) const {
  return WriteChunkedFile(fileName, kSlideShowFileType, kSlideShowFileVersion,
                          [this](TCSFStream& file) { return WriteObjects(file); });
}

int32_t TSlideShowObjectList::ReadObjects(TCSFStream& stream, int64_t payloadSize,
                                          int32_t& counter, int32_t insertPosition,
                                          uint32_t flags) {
  TObjectSequenceReader reader(stream, counter, flags);
  try {
    // 1. the sequence's header, unless the caller has read it
    if (payloadSize == 0) {
      const int64_t start = stream.Position();
      const TChunkHeader header = stream.ReadChunkHeader();
      if (header.Id != kSequenceChunkId) {
        stream.SetPosition(start);
        return 0;
      }
      payloadSize = header.Length - kChunkHeaderSize;
    }
    reader.Read(this, payloadSize, insertPosition, 1);
    return reader.Handled();
  } catch (const ENimbraError&) {
    // 4. a failed read reports, negated, how many chunks it got through
    return -reader.Handled();
  } catch (const std::bad_alloc&) {
    return -reader.Handled();
  }
}

int32_t TSlideShowObjectList::LoadFromStream(TStream& stream, int32_t insertPosition,
                                             uint32_t flags) {
  return ResultOnFailure(-1, [&] {
    TCSFStreamWinTypes csf(stream, CSFMode::HeaderlessRead);
    csf.SetFileType(kSlideShowFileType);
    csf.SetFileVersion(kSlideShowFileVersion);
    int32_t counter = 0;
    return ReadObjects(csf, 0, counter, insertPosition, flags);
  });
}

void TSlideShowObjectList::AddFlattened(const TSlideShowObjectList& other) {
  for (const TEntry& entry : other.items_) {
    Add(entry.get());
    if (const TSlideShowObjectList* children = ChildrenOf(entry.get())) AddFlattened(*children);
  }
}

void TSlideShowObjectList::Reindex(int32_t from) {
  if (!ownsObjects_ || !keepIndices_) return;
  for (int32_t i = std::max(from, 0); i < Count(); ++i) items_[static_cast<size_t>(i)]->SetIndex(i);
}

void TSlideShowObjectList::Sort(const TCompare& compare) {
  std::stable_sort(items_.begin(), items_.end(), [&compare](const TEntry& a, const TEntry& b) {
    return compare(*a, *b) < 0;
  });
  Reindex(0);
}

void TSlideShowObjectList::SortRecursive(const TCompare& compare, bool recursive) {
  Sort(compare);
  if (!recursive) return;
  for (const TEntry& entry : items_) {
    if (TSlideShowObjectList* children = ChildrenOf(entry.get())) {
      children->SortRecursive(compare, true);
    }
  }
}

TSlideShowObject* TSlideShowObjectList::NextInTree(const TSlideShowObject* object) const {
  // 1. no object: the walk starts at the first
  if (object == nullptr) return First();
  // 2. an object with children goes on to its first child
  if (HasChildrenInList(object)) return ChildrenOf(object)->First();
  // 3. and 4.: the next sibling of the object or of the nearest enclosing object that has one
  for (const TSlideShowObject* current = object; current != nullptr;
       current = current->Parent()) {
    const int32_t position = PositionInOwnerList(*current);
    if (position < 0) return nullptr;
    if (TSlideShowObject* next = current->OwnerList()->Items(position + 1)) return next;
  }
  return nullptr;
}

TSlideShowObject* TSlideShowObjectList::PreviousInTree(const TSlideShowObject* object) const {
  // 1. no object: the walk starts at the very last
  if (object == nullptr) return LastInTree();
  // 2. the first in its list goes back to its parent
  const int32_t position = PositionInOwnerList(*object);
  if (position < 1) return object->Parent();
  // 3. otherwise the previous sibling's deepest last descendant
  TSlideShowObject* previous = object->OwnerList()->Items(position - 1);
  while (HasChildrenInList(previous)) previous = ChildrenOf(previous)->Last();
  return previous;
}

TSlideShowObject* TSlideShowObjectList::NextSibling(const TSlideShowObject* object) const {
  if (object == nullptr) return nullptr;
  const int32_t position = object->OwnerList() == this ? PositionInOwnerList(*object)
                                                       : IndexOf(object);
  return position < 0 ? nullptr : Items(position + 1);
}

TSlideShow* TSlideShowObjectList::SlideShow() const {
  const TSlideShowObjectList* list = this;
  while (list != nullptr) {
    TObject* owner = list->owner_;
    if (owner == nullptr) return nullptr;
    // The class chain answers first: a cast that fails on an object kind searches its whole
    // interface lattice, and every object read asks this once or twice.
    if (owner->InheritsFrom(TSlideShow::StaticClass())) {
      if (auto* document = dynamic_cast<TSlideShow*>(owner)) return document;
    }
    if (const auto* object = owner->InheritsFrom(TSlideShowObject::StaticClass())
                                 ? dynamic_cast<const TSlideShowObject*>(owner)
                                 : nullptr) {
      list = object->OwnerList();
    } else {
      list = dynamic_cast<const TSlideShowObjectList*>(owner);
    }
  }
  return nullptr;
}

int32_t TSlideShowObjectList::TotalObjectCount() const {
  int32_t total = Count();
  for (const TEntry& entry : items_) {
    if (const TSlideShowObjectList* children = ChildrenOf(entry.get())) {
      total += children->TotalObjectCount();
    }
  }
  return total;
}

int64_t TSlideShowObjectList::TotalDuration() const {
  int64_t total = 0;
  for (const TEntry& entry : items_) {
    if (entry->Active()) total += entry->Duration();
  }
  return total;
}

TSlideShowObject* TSlideShowObjectList::ObjectByPath(const TPath& path) const {
  const TSlideShowObjectList* list = this;
  TSlideShowObject* object = nullptr;
  for (int32_t index : path.Indices()) {
    if (list == nullptr) return nullptr;
    object = list->Items(index);
    if (object == nullptr) return nullptr;
    list = ChildrenOf(object);
  }
  return object;
}

}  // namespace nimbra
