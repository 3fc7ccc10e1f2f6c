#include "templates/ListTransfer.h"

#include <vector>

namespace nimbra {

namespace {

// Takes the item out of its owning list without freeing it; the caller owns it afterwards.
std::unique_ptr<TObject> Detach(TObjectListEvent& list, TObject* item, int32_t position) {
  const bool owns = list.OwnsObjects();
  list.SetOwnsObjects(false);
  try {
    list.Delete(position);
  } catch (...) {
    list.SetOwnsObjects(owns);
    throw;
  }
  list.SetOwnsObjects(owns);
  return std::unique_ptr<TObject>(item);
}

void Place(TObjectListEvent& target, std::unique_ptr<TObject> item, int32_t& index) {
  if (index == -1) {
    target.Add(std::move(item));
  } else {
    target.Insert(index, std::move(item));
    ++index;
  }
}

void PlaceBorrowed(TObjectListEvent& target, TObject* item, int32_t& index) {
  if (index == -1) {
    target.Add(item);
  } else {
    target.Insert(index, item);
    ++index;
  }
}

}  // namespace

bool TransferItems(TObjectListEvent& target, TObjectListEvent& source, int32_t index, bool copy,
                   const TCloneItem& clone, const TItemOwnerList& ownerList) {
  if (index < -1 || index > target.Count()) return false;
  if (copy && !target.OwnsObjects()) return false;
  // Moving empties the source as it goes, so the items are taken down before the first one moves.
  std::vector<TObject*> items;
  for (int32_t i = 0; i < source.Count(); ++i) items.push_back(source.Items(i));

  target.BeginUpdate();
  try {
    for (TObject* item : items) {
      if (copy) {
        std::unique_ptr<TObject> copied = clone(item);
        if (!copied) {
          target.EndUpdate();
          return false;
        }
        Place(target, std::move(copied), index);
        continue;
      }
      TObjectListEvent* from = nullptr;
      int32_t position = -1;
      if (target.OwnsObjects()) {
        from = ownerList(item);
        position = from != nullptr ? from->IndexOf(item) : -1;
        // An owner link that points elsewhere must not leave the item owned by two lists.
        if (position < 0 && source.OwnsObjects()) {
          from = &source;
          position = source.IndexOf(item);
        }
      }
      if (position < 0) {
        PlaceBorrowed(target, item, index);
        continue;
      }
      if (from == &target && index != -1 && position < index) --index;
      Place(target, Detach(*from, item, position), index);
    }
  } catch (...) {
    target.EndUpdate();
    throw;
  }
  target.EndUpdate();
  return true;
}

}  // namespace nimbra
