// A whole tree in a chunked stream: each list is a sub-chunk with its item count, each item a
// sub-chunk with its class name and content, followed by a byte that says whether the item's child
// list follows. Items are created again by class name through a factory, so a reader can leave
// out classes it does not know and still stay in step.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/CustomTree.h"

namespace nimbra {

class TCSFStream;

// Creates an item for a stored class name, for the list being filled; none skips the item.
using TTreeItemFactory =
    std::function<TRef<ITreeItem>(const std::string& className, const TRef<ITreeItemList>& list)>;

// The deepest tree that is written or read, counting root items as level 1. Trees of real
// documents are a few levels deep; the bound keeps a hostile file from nesting without end.
inline constexpr int32_t kMaxTreeDepth = 256;

// The list and all its descendants in one sub-chunk. Items whose object cannot store itself are
// left out. False when an item's WriteToStream fails, when the tree is deeper than kMaxTreeDepth
// (the deeper children are left out) or when the stream fails.
bool SaveTree(const TRef<ITreeItemList>& list, TCSFStream& stream);

// Adds the stored items to the list. An item whose class the factory does not know is skipped
// with its whole subtree. False for a count that cannot fit in its sub-chunk, nesting deeper than
// kMaxTreeDepth or a broken stream; the items read before stay in the list, and the stream is
// left behind the tree's sub-chunk whenever its frames could be read.
bool LoadTree(const TRef<ITreeItemList>& list, TCSFStream& stream, const TTreeItemFactory& factory);

// The factory over the run-time class registry: the class registered under the name, created with
// its virtual constructor, when it is a tree item.
TRef<ITreeItem> CreateTreeItemByClassName(const std::string& className,
                                          const TRef<ITreeItemList>& list);

}  // namespace nimbra
