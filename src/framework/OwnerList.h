// Owner links: every object that lives in a list knows the list that holds it, and every list
// knows the object that holds it. Climbing these links is how an element finds its template, a
// template its project and a tree item its parent.
#pragma once

#include <string_view>

#include "framework/InterfacedObject.h"
#include "framework/ObjectListEvent.h"

namespace nimbra {

// The owner is a plain object reference: it keeps no count, for owners outlive what they hold.
class IHasOwner : public virtual IInterface {
 public:
  static constexpr std::string_view kIID = "{C87EBC64-C7E8-4C1F-968C-8724FCE55A82}";

  virtual TObject* GetOwner() const = 0;
  virtual void SetOwner(TObject* owner) = 0;
};

// A counted owner link for a class that cannot inherit IHasOwner: it holds one and hands it out
// when asked for the interface.
class THasOwnerImplement : public TInterfacedObject, public IHasOwner {
 public:
  THasOwnerImplement() : TInterfacedObject(Lifetime::Counted) {}

  TObject* GetOwner() const override { return owner_; }
  void SetOwner(TObject* owner) override { owner_ = owner; }

 private:
  TObject* owner_ = nullptr;
};

// An event list that makes itself the owner of the objects placed in it while it owns them; a
// list that does not own its objects (a view) leaves their owners alone.
class TOwnerList : public TObjectListEvent {
  NIMBRA_DECLARE_CLASS()

 public:
  using TObjectListEvent::TObjectListEvent;
  ~TOwnerList() override;

 protected:
  void DoAttached(int32_t index) override;
  // An object that leaves an owning list forgets that list as its owner, so that no object that
  // outlives its list keeps pointing at it.
  void Notify(TObject* object, TListNotification action) override;
  // That forgetting alone, for lists that decide otherwise about freeing what leaves.
  void ForgetOwner(TObject* object);
};

// The nearest owner, climbing from start, whose class is wanted or derives from it; none when an
// owner on the way is none or has no owner link of its own.
TObject* FindOwnerOfClass(const IHasOwner* start, const TMetaClass& wanted);

template <typename T>
T* FindOwner(const IHasOwner* start) {
  return dynamic_cast<T*>(FindOwnerOfClass(start, T::StaticClass()));
}

}  // namespace nimbra
