// A list of objects that tells its owner when objects arrive, leave or are replaced, and that can
// batch its change notifications between BeginUpdate and EndUpdate. Element lists, template lists,
// the render page list and the cache item list are built on it.
//
// The list holds polymorphic objects; OwnsObjects decides whether an object that is deleted from
// the list is freed with it. The list is an owned interfaced object: its owner holds it in a
// std::unique_ptr and frees it with Free.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/InterfacedObject.h"
#include "storage/ClassRegistry.h"
#include "storage/NimbraError.h"

namespace nimbra {

// Raised for an index outside the list.
class EListError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// What happened to an object the list's notification hook is told about.
enum class TListNotification { Added, Extracted, Deleted };

class TObjectListEvent : public TObject, public TInterfacedObject {
  NIMBRA_DECLARE_CLASS()

 public:
  using TNotifyEvent = std::function<void(TObject* sender)>;
  using TIndexEvent = std::function<void(TObject* sender, int32_t index)>;

  TObjectListEvent() : TObjectListEvent(true) {}
  explicit TObjectListEvent(bool ownsObjects);
  // Clears the list (raising OnChange once, even when it was empty).
  ~TObjectListEvent() override;

  // The list changed.
  TNotifyEvent OnChange;
  // An object was added or inserted at Index.
  TIndexEvent OnAdded;
  // The object at Index is being deleted, or was removed.
  TIndexEvent OnDeleted;
  // The object at Index was replaced.
  TIndexEvent OnReplaced;
  // An object was placed at Index (by add, insert or replace); raised even while updating.
  TIndexEvent OnAttached;

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool ownsObjects) { ownsObjects_ = ownsObjects; }
  int32_t UpdateCount() const { return updateCount_; }
  bool ChangePending() const { return changePending_; }

  // Raises EListError for an index outside the list.
  TObject* Items(int32_t index) const;
  // The object at index as T, or none when it is none or not a T.
  template <typename T>
  T* ItemAs(int32_t index) const {
    return dynamic_cast<T*>(Items(index));
  }
  // Replaces the object at index; the former one leaves the list (and is freed when the list
  // owns its objects, unless it is the same object).
  void SetItems(int32_t index, TObject* object);

  // The object is freed with the list when the list owns its objects; a list that does not own
  // them only refers to them. The unique_ptr forms hand an object over and need an owning list.
  int32_t Add(TObject* object);
  int32_t Add(std::unique_ptr<TObject> object);
  void Insert(int32_t index, TObject* object);
  void Insert(int32_t index, std::unique_ptr<TObject> object);
  // Raises OnDeleted while the object is still at index, then deletes it.
  void Delete(int32_t index);
  // Deletes the object first, then raises OnDeleted with its former index, or with -1 (and
  // still OnChange) when it was not in the list.
  int32_t Remove(const TObject* object);
  // Takes the object out of the list without freeing it and without events; none when absent.
  TObject* Extract(const TObject* object);
  int32_t IndexOf(const TObject* object) const;
  // Deletes every object, last to first, without per-object events; then one OnChange.
  virtual void Clear();

  // Reordering without events, as the plain list does.
  void Exchange(int32_t index1, int32_t index2);
  void Move(int32_t currentIndex, int32_t newIndex);
  // Stable: objects that compare equal keep their order.
  void Sort(const std::function<bool(const TObject*, const TObject*)>& less);

  void BeginUpdate();
  void EndUpdate();

  // Whether the list implements the interface with this identifier. Inside classes derived from
  // the list this member hides the free Supports<I>(object): call that one as nimbra::Supports.
  virtual bool Supports(const TGUID& iid) const;

  // Raises OnChange, or marks a change as pending while updating.
  virtual void Changed();

 protected:
  virtual void DoAdded(int32_t index);
  virtual void DoDeleted(int32_t index);
  virtual void DoReplaced(int32_t index);
  virtual void DoAttached(int32_t index);
  // Resets the batching state and every event except OnAttached.
  virtual void InitEvents();

  // Told of every object that enters or leaves the list. Here: an object that is deleted while
  // the list owns its objects is freed.
  virtual void Notify(TObject* object, TListNotification action);

  // Clears the list as its destruction does, once. A class that overrides Notify or Clear calls
  // it from its own destructor, so that its overrides still see the objects that leave.
  void DestroyItems();

  // Deletes the object at index (nothing for -1), then raises DoDeleted with index.
  int32_t RemoveIndex(int32_t index);

  std::string StillReferencedMessage(int32_t count) const override;
  std::string ReferencedClassName() const override { return ClassName(); }

 private:
  // Entries tell the list's hook when they let go of their object, so that the one place that
  // decides between freeing and keeping is Notify.
  struct TEntryRelease {
    TObjectListEvent* list = nullptr;
    void operator()(TObject* object) const { list->Notify(object, TListNotification::Deleted); }
  };
  using TEntry = std::unique_ptr<TObject, TEntryRelease>;

  void CheckIndex(int32_t index) const;
  TEntry Store(TObject* object);
  void CheckOwnsForHandOver() const;
  // Takes the entry out of the array first, so that freeing its object sees a consistent list.
  TEntry TakeAt(int32_t index);

  std::vector<TEntry> items_;
  bool ownsObjects_ = true;
  int32_t updateCount_ = 0;
  bool changePending_ = false;
  bool itemsDestroyed_ = false;
};

}  // namespace nimbra
