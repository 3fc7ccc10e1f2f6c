// The base of every object a slideshow holds: its place in the tree (owner list, index, path), its
// active flag, and the stored form and copying that every kind extends. An object belongs to at
// most one owning list; through that list it reports its changes to the document.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/InterfacedPlugin.h"
#include "slideshow/Path.h"
#include "slideshow/SlideShowInterfaces.h"

namespace nimbra {

class TCSFStream;
class TFieldMap;
class TFieldWriter;
class TStream;

// The file type and version of everything this system writes of a slideshow.
inline constexpr int32_t kSlideShowFileType = 1281;
inline constexpr int32_t kSlideShowFileVersion = 773;

// Change codes the base reports; the kinds report further ones.
inline constexpr int32_t kChangeRead = 1;
inline constexpr int32_t kChangeActive = 16;

class TSlideShowObject : public TInterfacedPlugin, public virtual ISlideShowObject {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // Receives the object's change reports: the document's ObjectChanged once the object is
  // attached to a list of a document.
  using TChangeTarget =
      std::function<void(TSlideShowObject& object, int32_t changeCode, int32_t extra)>;

  TSlideShowObject() = default;
  ~TSlideShowObject() override;

  static std::string ClassCaption() { return {}; }

  // ---- the object's state ----
  bool Active() const { return active_; }
  int32_t Index() const { return index_; }
  // Kept up to date by the owning list.
  void SetIndex(int32_t index) { index_ = index; }
  TSlideShowObjectList* OwnerList() const { return ownerList_; }
  void SetChangeTarget(TChangeTarget target) { changeTarget_ = std::move(target); }
  bool HasChangeTarget() const { return static_cast<bool>(changeTarget_); }

  // ---- virtual operations, in the order the kinds know them ----
  // Copies the owner list reference and the active flag; kinds add their fields after calling
  // this.
  virtual void CopyFrom(const TSlideShowObject& other);
  // Milliseconds; 0 here.
  virtual int32_t Duration() const { return 0; }
  virtual void SetDuration(int32_t milliseconds);
  virtual void SetActive(bool active);
  virtual void SetOwnerList(TSlideShowObjectList* list) { ownerList_ = list; }
  // CopyFrom for slideshow objects; other plug-ins leave the object unchanged.
  void Assign(const TPlugin& source) override;
  // Assign, then the child list: a deep copy of the source's, or emptied when the source has none.
  virtual void AssignWithChildren(const TSlideShowObject& other);
  // A new object of the same class with Assign (or AssignWithChildren) applied.
  virtual std::unique_ptr<TSlideShowObject> Clone() const;
  virtual std::unique_ptr<TSlideShowObject> CloneWithChildren() const;
  // The file extensions the kind accepts; none here.
  virtual std::vector<std::string> FileExtensions() const { return {}; }
  // The file-open filter text of the kind.
  virtual std::string FileFilter() const { return {}; }
  // Whether FileExtensions holds the extension, without regard to case.
  virtual bool SupportsExtension(const std::string& extension) const;
  virtual std::string CategoryName() const;
  // ISlideShowObject
  std::string DisplayName() const override;
  std::string FullDisplayName() const override { return DisplayName(); }
  // No bitmap resources are built into this program: none, and index -1.
  std::unique_ptr<TBitmap32> SmallIcon() const override;
  std::unique_ptr<TBitmap32> LargeIcon() const override;
  virtual int32_t SmallIconIndex() const;
  virtual int32_t LargeIconIndex() const;
  // The fields MapFields lists; false on any failure.
  virtual bool WriteToStream(TCSFStream& stream) const;
  // WriteToStream through a headerless chunked stream of the slideshow's type and version.
  virtual bool SaveToStream(TStream& stream) const;
  // Reads the fields MapFields lists, then reports change code 1, whether the read succeeded or
  // not.
  virtual bool ReadFromStream(TCSFStream& stream);
  virtual bool LoadFromStream(TStream& stream);
  // Lists the fields for tools, in stored order, as MapFields lists them.
  virtual void DescribeFields(TFieldWriter& fields) const;
  // The object's fields in stored order, listed once for writing, reading and describing; a kind
  // that adds fields lists its parent's first. The base stores the active flag.
  virtual void MapFields(TFieldMap& map);
  // The index of each enclosing object, root first, then this object's index.
  virtual TPath Path() const;
  // Each index + 1, joined with "." ("2.3": the third object in the second root object).
  virtual std::string PathText() const;
  // The number of enclosing objects.
  virtual int32_t Depth() const;
  virtual bool HasOwnDuration() const { return false; }
  // Whether the given object encloses this one at any level.
  virtual bool IsDescendantOf(const TSlideShowObject& ancestor) const;

  // ---- ISlideShowObject ----
  TSlideShowObject* GetObject() override { return this; }
  // Found through the owner lists; none for a free object.
  TSlideShow* SlideShow() const override;

  // The enclosing object; none at root level or outside any list.
  TSlideShowObject* Parent() const;
  // A stored file name as a full path: against the document's file name when the object belongs
  // to a document; empty when the file cannot be found.
  std::string ResolveFileName(const std::string& name) const;
  // Reports a change to the change target, when one is bound.
  void Changed(int32_t changeCode, int32_t extra = 0);

 private:
  TChangeTarget changeTarget_;
  TSlideShowObjectList* ownerList_ = nullptr;
  bool active_ = true;
  int32_t index_ = 0;
};

// The collection interface of an object, or none.
ICollection* AsCollection(TSlideShowObject* object);
const ICollection* AsCollection(const TSlideShowObject* object);
// The child list of a collection, or none (no collection, or no list yet).
TSlideShowObjectList* ChildrenOf(const TSlideShowObject* object);

}  // namespace nimbra
