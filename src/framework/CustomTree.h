// The custom tree: items in lists, each item optionally holding a list of children. Parent and
// child are not stored as such: an item's owner is the list that holds it, and that list's owner is
// the parent item (or the tree, for root items). The slideshow is offered to the renderer as such a
// tree and a template project's structure is one; the renderer reads both only through the
// interfaces below.
//
// Lifetimes: items are counted. A list takes one reference on every item it holds and drops it
// when the item leaves, so an item lives as long as some list or some holder refers to it. Lists
// are owned by their item or tree and handed out as references on top of that.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "framework/InterfacedPlugin.h"
#include "framework/OwnerList.h"

namespace nimbra {

class TCSFStream;
class ITreeItemList;

class ITreeItem : public virtual IHasOwner {
 public:
  static constexpr std::string_view kIID = "{22191391-E23C-4BEF-B4E9-8C1E981643CA}";

  // The child list, created when missing.
  virtual TRef<ITreeItemList> NeedChildren() = 0;
  virtual void FreeChildren() = 0;
  // The child list, or none.
  virtual TRef<ITreeItemList> GetChildren() const = 0;
  // The object the item stands for; identity of items is the identity of these objects.
  virtual TObject* GetObject() = 0;
  // A child list exists and is not empty.
  virtual bool HasChildren() const = 0;
};

class ITreeItemList : public virtual IHasOwner {
 public:
  static constexpr std::string_view kIID = "{80E0FD73-90BB-4A9F-8F00-DFB295ED1CA2}";

  virtual int32_t Count() const = 0;
  // None for an index outside the list.
  virtual TRef<ITreeItem> GetItem(int32_t index) const = 0;
  virtual void SetItem(int32_t index, const TRef<ITreeItem>& item) = 0;
  virtual int32_t Add(const TRef<ITreeItem>& item) = 0;
  virtual void Insert(int32_t index, const TRef<ITreeItem>& item) = 0;
  // Compares the items' objects (GetObject); -1 when absent.
  virtual int32_t IndexOf(const TRef<ITreeItem>& item) const = 0;
  virtual void Delete(int32_t index) = 0;
  // The former index, or -1.
  virtual int32_t Remove(const TRef<ITreeItem>& item) = 0;
  virtual void Clear() = 0;
  virtual bool GetOwnsObjects() const = 0;
  virtual void SetOwnsObjects(bool ownsObjects) = 0;
  virtual TObject* GetObject() = 0;
};

class ITree : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{18D0BF75-66E9-479D-A5B9-A9E65B6C6044}";

  // The list of root items.
  virtual TRef<ITreeItemList> GetItems() const = 0;
  virtual TObject* GetObject() = 0;
  // A new, empty list that does not own its items; the last reference frees it.
  virtual TRef<ITreeItemList> CreateItemList() const = 0;
};

class ICSFStreamable : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{7D98DA14-59FB-4DF5-AF4C-D8761FC0F0A2}";

  virtual bool WriteToStream(TCSFStream& stream) const = 0;
  virtual bool ReadFromStream(TCSFStream& stream) = 0;
};

class ICloneable : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{9859733E-432B-4683-BF06-0DCF0407A896}";

  // A new object of the same class with the same content.
  virtual TRef<IInterface> Clone() const = 0;
};

// Turns an object fresh from a virtual constructor into a counted reference as I. An owned object
// gives up its owner's count, so that from now on the last reference frees it, as a counted
// object's does anyway. None (and the object freed) when it lacks I or is not interfaced.
template <typename I, typename T>
TRef<I> HandOverToRef(std::unique_ptr<T> object) {
  auto* counted = dynamic_cast<TInterfacedObject*>(object.get());
  I* asked = dynamic_cast<I*>(object.get());
  if (counted == nullptr || asked == nullptr) return nullptr;
  TRef<I> reference(asked);
  object.release();
  if (counted->ObjectLifetime() == TInterfacedObject::Lifetime::Owned) counted->Release();
  return reference;
}

// A list of tree items. Items must be objects (TObject) that implement ITreeItem. The list holds
// a counted reference on each; OwnsObjects only decides whether arriving items take this list as
// their owner (their parent link).
class TCustomTreeItemList : public TOwnerList, public ITreeItemList {
  NIMBRA_DECLARE_CLASS()

 public:
  TCustomTreeItemList() : TCustomTreeItemList(true) {}
  explicit TCustomTreeItemList(bool ownsObjects) : TOwnerList(ownsObjects) {}
  ~TCustomTreeItemList() override;

  TObject* GetOwner() const override { return owner_; }
  void SetOwner(TObject* owner) override { owner_ = owner; }

  int32_t Count() const override { return TObjectListEvent::Count(); }
  TRef<ITreeItem> GetItem(int32_t index) const override;
  void SetItem(int32_t index, const TRef<ITreeItem>& item) override;
  int32_t Add(const TRef<ITreeItem>& item) override;
  void Insert(int32_t index, const TRef<ITreeItem>& item) override;
  void Delete(int32_t index) override { TObjectListEvent::Delete(index); }
  int32_t Remove(const TRef<ITreeItem>& item) override;
  int32_t IndexOf(const TRef<ITreeItem>& item) const override;
  void Clear() override { TObjectListEvent::Clear(); }
  bool GetOwnsObjects() const override { return OwnsObjects(); }
  void SetOwnsObjects(bool ownsObjects) override { TObjectListEvent::SetOwnsObjects(ownsObjects); }
  TObject* GetObject() override { return this; }

  // Takes the item out without events; the returned reference keeps it alive.
  TRef<ITreeItem> Extract(const TRef<ITreeItem>& item);

  bool Supports(const TGUID& iid) const override;

 protected:
  // Arriving items gain the list's reference, leaving ones lose it (never freed by OwnsObjects).
  void Notify(TObject* object, TListNotification action) override;

 private:
  // The stored object of an item; raises for none or an item that is not an object.
  static TObject* ObjectOf(const TRef<ITreeItem>& item);

  TObject* owner_ = nullptr;
};

// The owner link and the child list of a tree item, shared by the counted item and the plug-in
// item. The child list is owned; when it is still referenced as the item goes, the references
// keep it (without owner) and the last one frees it.
class TTreeItemLinks {
 public:
  TTreeItemLinks() = default;
  ~TTreeItemLinks();
  TTreeItemLinks(const TTreeItemLinks&) = delete;
  TTreeItemLinks& operator=(const TTreeItemLinks&) = delete;

  TObject* Owner() const { return owner_; }
  void SetOwner(TObject* owner) { owner_ = owner; }
  // The new list owns its items when the list holding the item does (or when that is not a
  // custom item list); its owner is the item.
  TRef<ITreeItemList> NeedChildren(TObject* item);
  // Raises EInterfaceReferenced, keeping the list, while references to it remain.
  void FreeChildren();
  TRef<ITreeItemList> GetChildren() const;
  bool HasChildren() const;

 private:
  TObject* owner_ = nullptr;
  std::unique_ptr<TCustomTreeItemList> children_;
};

// The plain tree item: a counted object that frees itself (and its child list) with its last
// reference.
class TCustomTreeItem : public TObject, public TInterfacedObject, public ITreeItem {
  NIMBRA_DECLARE_CLASS()

 public:
  TCustomTreeItem() : TInterfacedObject(Lifetime::Counted) {}

  TObject* GetOwner() const override { return links_.Owner(); }
  void SetOwner(TObject* owner) override { links_.SetOwner(owner); }
  TRef<ITreeItemList> NeedChildren() override { return links_.NeedChildren(this); }
  void FreeChildren() override { links_.FreeChildren(); }
  TRef<ITreeItemList> GetChildren() const override { return links_.GetChildren(); }
  // Itself; descendants may stand for another object.
  TObject* GetObject() override { return this; }
  bool HasChildren() const override { return links_.HasChildren(); }

 private:
  TTreeItemLinks links_;
};

// A tree item that is also a registered plug-in, so that a tree can be read back by class name.
//
// Its count: a plug-in leaves construction owned (count 1). Handed over with HandOverToRef (as the
// tree reader's factories and Clone do), it gives up that count and lives on references like a
// counted item: it is freed when the last list or holder lets go. An owner that keeps it in a
// std::unique_ptr instead frees it with Free once no list holds it any more.
class TCustomTreeItemPlugin : public TInterfacedPlugin,
                              public ITreeItem,
                              public ICSFStreamable,
                              public ICloneable {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TCustomTreeItemPlugin() = default;

  TObject* GetOwner() const override { return links_.Owner(); }
  void SetOwner(TObject* owner) override { links_.SetOwner(owner); }
  TRef<ITreeItemList> NeedChildren() override { return links_.NeedChildren(this); }
  void FreeChildren() override { links_.FreeChildren(); }
  TRef<ITreeItemList> GetChildren() const override { return links_.GetChildren(); }
  TObject* GetObject() override { return this; }
  bool HasChildren() const override { return links_.HasChildren(); }

  // Store nothing here; descendants store their content.
  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;
  // A new item of the same class with this item's stored content, without children.
  TRef<IInterface> Clone() const override;

 private:
  TTreeItemLinks links_;
};

// A tree: the list of root items, owning them, with the tree as their list's owner.
class TCustomTree : public TInterfacedPlugin, public ITree {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TCustomTree();
  ~TCustomTree() override;

  TRef<ITreeItemList> GetItems() const override;
  TObject* GetObject() override { return this; }
  TRef<ITreeItemList> CreateItemList() const override;
  virtual void Clear();

  TCustomTreeItemList& Items() const { return *items_; }
  bool OwnsObjects() const { return items_->OwnsObjects(); }
  void SetOwnsObjects(bool ownsObjects) { items_->SetOwnsObjects(ownsObjects); }

 private:
  std::unique_ptr<TCustomTreeItemList> items_;
};

}  // namespace nimbra
