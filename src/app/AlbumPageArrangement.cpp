#include "app/AlbumPageArrangement.h"

#include <algorithm>

#include "album/AlbumPages.h"
#include "album/AlbumTreeOrder.h"
#include "app/DesktopChanger.h"

namespace nimbra {

void TAlbumPageArrangement::ArrangeTree(const TAlbumPageOrder& wanted, ITree& tree) {
  ArrangeRootItems(tree, wanted);
  arranged_ = wanted;
}

bool TAlbumPageArrangement::Arrange(const TAlbumPageOrder& wanted, ITree& tree,
                                    TAlbumPages& pages, TNimbraDesktopChanger& changer) {
  if (OrdersAlike(wanted, arranged_)) return false;
  changer.WaitForChange();
  ArrangeTree(wanted, tree);
  pages.RebuildPages();
  // -1 (no page yet) stays; an index past the new end becomes the last page.
  changer.SetPageIndex(std::min(changer.PageIndex(), changer.PageCount() - 1));
  return true;
}

}  // namespace nimbra
