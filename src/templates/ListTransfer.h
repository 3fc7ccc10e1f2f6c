// Moving or copying the items of one owner list into another (elements between templates,
// templates between projects), shared by the element list and the template list.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "framework/ObjectListEvent.h"

namespace nimbra {

// A new copy of an item.
using TCloneItem = std::function<std::unique_ptr<TObject>(TObject* item)>;
// The owning list an item sits in, or none.
using TItemOwnerList = std::function<TObjectListEvent*(TObject* item)>;

// Places every item of source (as it was when the call began, first to last) at index in target,
// or at the end for -1; later items follow earlier ones. With copy set, clones are placed.
// Otherwise, when target owns its items, an item first leaves the owning list it sits in: within
// target it changes place, from another list it is removed without being freed. Target's change
// notifications are batched. False, changing nothing, for an index outside 0 .. Count or for copies
// into a list that would not own them; false also when a clone cannot be made (the items placed
// before stay).
bool TransferItems(TObjectListEvent& target, TObjectListEvent& source, int32_t index, bool copy,
                   const TCloneItem& clone, const TItemOwnerList& ownerList);

}  // namespace nimbra
