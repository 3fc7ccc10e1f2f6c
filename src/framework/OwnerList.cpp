#include "framework/OwnerList.h"

namespace nimbra {

NIMBRA_DEFINE_CLASS(TOwnerList, TObjectListEvent)

TOwnerList::~TOwnerList() {
  DestroyItems();
}

void TOwnerList::DoAttached(int32_t index) {
  TObjectListEvent::DoAttached(index);
  if (!OwnsObjects()) return;
  if (auto* hasOwner = dynamic_cast<IHasOwner*>(Items(index))) hasOwner->SetOwner(this);
}

void TOwnerList::Notify(TObject* object, TListNotification action) {
  if (action != TListNotification::Added) ForgetOwner(object);
  TObjectListEvent::Notify(object, action);
}

void TOwnerList::ForgetOwner(TObject* object) {
  if (!OwnsObjects()) return;
  auto* hasOwner = dynamic_cast<IHasOwner*>(object);
  if (hasOwner != nullptr && hasOwner->GetOwner() == this) hasOwner->SetOwner(nullptr);
}

TObject* FindOwnerOfClass(const IHasOwner* start, const TMetaClass& wanted) {
  for (const IHasOwner* current = start; current != nullptr;) {
    TObject* owner = current->GetOwner();
    if (owner == nullptr) return nullptr;
    if (owner->InheritsFrom(wanted)) return owner;
    current = dynamic_cast<const IHasOwner*>(owner);
  }
  return nullptr;
}

}  // namespace nimbra
