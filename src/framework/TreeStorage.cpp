#include "framework/TreeStorage.h"

#include <exception>
#include <vector>

#include "storage/CSFStream.h"
#include "storage/FalseOnFailure.h"

namespace nimbra {

namespace {

// The least an item takes in a stored list: its sub-chunk's length, the length of its class name
// and the children byte. A count that needs more than the list has left is a lie.
constexpr int64_t kMinStoredItemSize = 4 + 4 + 1;

// Sub-chunks that are closed also when the code between raises, so that frames stay balanced for
// the stream's other users and a reader ends up behind the frame.
class TWrittenSubChunk {
 public:
  explicit TWrittenSubChunk(TCSFStream& stream) : stream_(stream) { stream_.BeginSubChunk(); }
  ~TWrittenSubChunk() {
    if (!open_) return;
    try {
      stream_.EndSubChunk();
    } catch (...) {
      // Already on the way out with an exception; the write has failed either way.
    }
  }
  TWrittenSubChunk(const TWrittenSubChunk&) = delete;
  TWrittenSubChunk& operator=(const TWrittenSubChunk&) = delete;
  void End() {
    open_ = false;
    stream_.EndSubChunk();
  }

 private:
  TCSFStream& stream_;
  bool open_ = true;
};

class TReadSubChunk {
 public:
  explicit TReadSubChunk(TCSFStream& stream) : stream_(stream) { stream_.BeginReadSubChunk(); }
  ~TReadSubChunk() {
    if (!open_) return;
    try {
      stream_.EndReadSubChunk();
    } catch (...) {
      // Leaving a frame only moves the position; the read that ended the scope reports.
    }
  }
  TReadSubChunk(const TReadSubChunk&) = delete;
  TReadSubChunk& operator=(const TReadSubChunk&) = delete;
  void End() {
    open_ = false;
    stream_.EndReadSubChunk();
  }

 private:
  TCSFStream& stream_;
  bool open_ = true;
};

struct TStoredItem {
  TRef<ITreeItem> Item;
  const ICSFStreamable* Streamable;
};

bool WriteList(ITreeItemList& list, TCSFStream& stream, int32_t depth) {
  // Only items that can store themselves are written, and the count says how many follow.
  std::vector<TStoredItem> stored;
  for (int32_t i = 0; i < list.Count(); ++i) {
    TRef<ITreeItem> item = list.GetItem(i);
    if (!item) continue;
    if (const auto* streamable = dynamic_cast<const ICSFStreamable*>(item->GetObject())) {
      stored.push_back({std::move(item), streamable});
    }
  }
  bool ok = true;
  // 1. the list's sub-chunk and the count
  TWrittenSubChunk frame(stream);
  stream.WriteInteger(static_cast<int32_t>(stored.size()));
  // 2. per item its sub-chunk, the children byte and the child list
  for (const TStoredItem& entry : stored) {
    TWrittenSubChunk itemFrame(stream);
    stream.WriteClassName(entry.Item->GetObject());
    ok = entry.Streamable->WriteToStream(stream) && ok;
    itemFrame.End();
    bool withChildren = entry.Item->HasChildren();
    if (withChildren && depth >= kMaxTreeDepth) {
      withChildren = false;
      ok = false;
    }
    stream.WriteByte(withChildren ? 1 : 0);
    if (withChildren) ok = WriteList(*entry.Item->GetChildren(), stream, depth + 1) && ok;
  }
  // 3. close the list's sub-chunk
  frame.End();
  return ok;
}

// The child list of an item that was not created is one sub-chunk: entering and leaving it skips
// it whole.
void SkipList(TCSFStream& stream) {
  TReadSubChunk(stream).End();
}

bool ReadList(const TRef<ITreeItemList>& list, TCSFStream& stream, const TTreeItemFactory& factory,
              int32_t depth) {
  // 1. the list's sub-chunk and the count, which must fit in it
  TReadSubChunk frame(stream);
  const int32_t count = stream.ReadInteger();
  if (count < 0 || count > stream.RemainingInContainer() / kMinStoredItemSize) return false;
  // 2. per item: create it by class name, let it read itself, then its children
  for (int32_t i = 0; i < count; ++i) {
    TRef<ITreeItem> item;
    {
      TReadSubChunk itemFrame(stream);
      const std::string className = stream.ReadClassName();
      if (factory) item = factory(className, list);
      if (item) {
        if (auto* streamable = dynamic_cast<ICSFStreamable*>(item->GetObject())) {
          streamable->ReadFromStream(stream);
          list->Add(item);
        }
      }
      itemFrame.End();
    }
    if (stream.ReadByte() == 0) continue;
    if (!item) {
      SkipList(stream);
      continue;
    }
    if (depth >= kMaxTreeDepth) return false;
    if (!ReadList(item->NeedChildren(), stream, factory, depth + 1)) return false;
  }
  // 3. leave the list's sub-chunk, skipping whatever was not read
  frame.End();
  return true;
}

}  // namespace

bool SaveTree(const TRef<ITreeItemList>& list, TCSFStream& stream) {
  if (!list) return false;
  return FalseOnFailure([&] {
    TWrittenSubChunk frame(stream);
    const bool ok = WriteList(*list, stream, 1);
    frame.End();
    return ok;
  });
}

bool LoadTree(const TRef<ITreeItemList>& list, TCSFStream& stream,
              const TTreeItemFactory& factory) {
  if (!list) return false;
  return FalseOnFailure([&] {
    TReadSubChunk frame(stream);
    const bool ok = ReadList(list, stream, factory, 1);
    frame.End();
    return ok;
  });
}

TRef<ITreeItem> CreateTreeItemByClassName(const std::string& className,
                                          const TRef<ITreeItemList>& /*list*/) {
  const TMetaClass* meta = GetClass(className);
  if (meta == nullptr) return nullptr;
  return HandOverToRef<ITreeItem>(meta->CreateInstance());
}

}  // namespace nimbra
