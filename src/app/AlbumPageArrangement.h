// The order a running album's pages are in, and the move to another: the tree's root items are
// reordered and the page list built anew from them. The changer keeps its page index (within the
// new page count), so the next change takes the page after it in the new order.
#pragma once

#include "album/AlbumPageOrder.h"

namespace nimbra {

class ITree;
class TAlbumPages;
class TNimbraDesktopChanger;

class TAlbumPageArrangement {
 public:
  // The order the tree is in: as stored until Arrange has run.
  const TAlbumPageOrder& Arranged() const { return arranged_; }

  // Puts the tree in the wanted order before any page list is built from it.
  void ArrangeTree(const TAlbumPageOrder& wanted, ITree& tree);
  // Brings the pages into the wanted order unless they are in it: waits for the running change
  // (it draws from the page list), reorders the tree, rebuilds the pages and keeps the changer's
  // page index in range. True when the pages changed.
  bool Arrange(const TAlbumPageOrder& wanted, ITree& tree, TAlbumPages& pages,
               TNimbraDesktopChanger& changer);

 private:
  TAlbumPageOrder arranged_;
};

}  // namespace nimbra
