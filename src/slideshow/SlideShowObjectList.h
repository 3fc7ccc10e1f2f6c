// One level of a slideshow's tree: an ordered list of slideshow objects that usually owns them.
// The root list belongs to the document, each child list to its collection object. The list keeps
// its objects' indices and owner links up to date, walks the tree depth first, and writes and reads
// object sequences, the stored form of a tree.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "slideshow/Path.h"
#include "slideshow/SlideShowObject.h"
#include "storage/ClassRegistry.h"

namespace nimbra {

class TCSFStream;
class TSlideShow;
class TStream;

// Chunk ids of a slideshow's stored form.
inline constexpr int32_t kObjectChunkId = 1025;    // 0x401: class name, then the object's fields
inline constexpr int32_t kSequenceChunkId = 1026;  // 0x402: the number of objects that follow
inline constexpr int32_t kReservedChunkId = 1027;  // 0x403: passed over
inline constexpr int32_t kMarkerChunkId = 1028;    // 0x404: the marker, no payload
inline constexpr int32_t kBagChunkId = 1040;       // 0x410: class name, then the bag's fields

// Flags of ReadObjects.
inline constexpr uint32_t kReadObjectsNotify = 1;  // add an update record per object read
inline constexpr uint32_t kReadObjectsUndo = 2;    // record the objects read for undo

// Nesting deeper than this is taken for a damaged or hostile stream.
inline constexpr int32_t kMaxObjectNesting = 256;

class TSlideShowObjectList : public TObject {
  NIMBRA_DECLARE_CLASS()

 public:
  // Orders two objects: negative, 0 or positive.
  using TCompare = std::function<int(const TSlideShowObject&, const TSlideShowObject&)>;

  // owner: the document, the collection object or another list; none allowed.
  explicit TSlideShowObjectList(TObject* owner = nullptr) : TSlideShowObjectList(owner, true) {}
  TSlideShowObjectList(TObject* owner, bool ownsObjects);
  ~TSlideShowObjectList() override;
  TSlideShowObjectList(const TSlideShowObjectList&) = delete;
  TSlideShowObjectList& operator=(const TSlideShowObjectList&) = delete;

  TObject* Owner() const { return owner_; }
  void SetOwner(TObject* owner) { owner_ = owner; }
  bool OwnsObjects() const { return ownsObjects_; }
  bool KeepIndices() const { return keepIndices_; }
  void SetKeepIndices(bool keep) { keepIndices_ = keep; }
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // The position of the object in this list, or -1.
  int32_t IndexOf(const TSlideShowObject* object) const;

  // The object at the index; none outside the list.
  virtual TSlideShowObject* Items(int32_t index) const;
  // Replaces the entry at the index, freeing the former object (ignored past the end).
  virtual void Put(int32_t index, std::unique_ptr<TSlideShowObject> object);
  // The same for a list that does not own its objects.
  virtual void Put(int32_t index, TSlideShowObject* object);
  // Makes the object (and its children) belong to this list and, through it, to its document.
  virtual void Attach(TSlideShowObject& object);
  virtual void AttachAll();
  // Owning lists take objects as unique_ptr, lists that do not own them (views) as plain
  // pointers; the other form raises std::invalid_argument. Add yields the new index.
  virtual int32_t Add(std::unique_ptr<TSlideShowObject> object);
  virtual int32_t Add(TSlideShowObject* object);
  // An index past the end appends.
  virtual void Insert(int32_t index, std::unique_ptr<TSlideShowObject> object);
  virtual void Insert(int32_t index, TSlideShowObject* object);
  TSlideShowObject* First() const { return Items(0); }
  TSlideShowObject* Last() const { return Items(Count() - 1); }
  // The last object; while that is a collection with a child list, its last child.
  virtual TSlideShowObject* LastInTree() const;
  // Remove and Delete free the object when the list owns it, raising EInterfaceReferenced (and
  // keeping it) while references to it remain. Remove yields the former index, or -1.
  virtual int32_t Remove(const TSlideShowObject* object);
  virtual void Delete(int32_t index);
  // Take an object out without freeing it. An owning list hands it over; a view yields none. The
  // object's owner-list reference keeps pointing here until it is attached elsewhere.
  virtual std::unique_ptr<TSlideShowObject> Extract(const TSlideShowObject* object);
  virtual std::unique_ptr<TSlideShowObject> ExtractAt(int32_t index);
  virtual void Move(int32_t from, int32_t to);
  // Puts the new object at the old object's index (freeing the old one).
  virtual void Replace(const TSlideShowObject* oldObject, std::unique_ptr<TSlideShowObject> object);
  // Deletes every object (freeing owned ones).
  virtual void Clear();
  // Clears this list and takes the other's owning mode; an owning list gets a copy of each object
  // (Assign, no children), a view the same objects.
  virtual void AssignList(const TSlideShowObjectList& other);

  // The object sequence: a 1026 chunk with the count, then per object a 1025 chunk (class name and
  // fields) followed, for a collection with a child list, by the child list's sequence. False when
  // an object's write reported false; nothing after it is written.
  virtual bool WriteObjects(TCSFStream& stream) const;
  // WriteObjects through a headerless chunked stream of the slideshow's type and version.
  virtual bool SaveToStream(TStream& stream) const;
  // WriteObjects into a new chunked stream file (objects only), replacing the file only when
  // complete.
  virtual bool SaveToFile(const std::string& fileName) const;
  // Reads an object sequence. payloadSize 0: the 1026 chunk header is read first (a different
  // chunk is left unread and 0 returned); otherwise the header was read by the caller and
  // payloadSize is its chunk size - 12. counter counts every chunk consumed after that header.
  // Objects are appended, or inserted from insertPosition on (-1 appends). Yields the number of
  // chunks handled, negated when the stream failed; the objects read until then stay.
  virtual int32_t ReadObjects(TCSFStream& stream, int64_t payloadSize, int32_t& counter,
                              int32_t insertPosition, uint32_t flags);
  // ReadObjects through a headerless chunked stream of the slideshow's type and version.
  virtual int32_t LoadFromStream(TStream& stream, int32_t insertPosition = -1,
                                 uint32_t flags = 0);
  // For views: appends every object of the other list, each followed by its whole subtree.
  virtual void AddFlattened(const TSlideShowObjectList& other);
  // Sets each object's index to its position from the given position on (owning lists that keep
  // indices only).
  virtual void Reindex(int32_t from = 0);
  // Stable: objects that compare equal keep their order.
  virtual void Sort(const TCompare& compare);
  virtual void SortRecursive(const TCompare& compare, bool recursive);
  // Depth first, parents before children; NextInTree(none) is the first object.
  virtual TSlideShowObject* NextInTree(const TSlideShowObject* object) const;
  // PreviousInTree(none) is LastInTree.
  virtual TSlideShowObject* PreviousInTree(const TSlideShowObject* object) const;
  virtual TSlideShowObject* NextSibling(const TSlideShowObject* object) const;

  // The document the list belongs to, found through its owners; none when there is none.
  TSlideShow* SlideShow() const;
  // Objects of this list and, recursively, of all child lists.
  int32_t TotalObjectCount() const;
  // The sum of the active objects' durations in this list, milliseconds.
  int64_t TotalDuration() const;
  // The object the path leads to from this list; none when it leads nowhere.
  TSlideShowObject* ObjectByPath(const TPath& path) const;

 private:
  // Entries free their object only when the list owned it as it arrived.
  struct TRelease {
    bool owns = true;
    void operator()(TSlideShowObject* object) const;
  };
  using TEntry = std::unique_ptr<TSlideShowObject, TRelease>;

  TEntry MakeEntry(std::unique_ptr<TSlideShowObject> object) const;
  TEntry MakeEntry(TSlideShowObject* object) const;
  void InsertEntry(int32_t index, TEntry entry);
  void PutEntry(int32_t index, TEntry entry);
  TEntry TakeAt(int32_t index);
  // Raises EInterfaceReferenced while references to an object this list would free remain.
  void CheckFree(int32_t index) const;

  std::vector<TEntry> items_;
  TObject* owner_ = nullptr;
  bool ownsObjects_ = true;
  bool keepIndices_ = true;
};

}  // namespace nimbra
