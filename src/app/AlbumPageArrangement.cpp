#include "app/AlbumPageArrangement.h"

#include <algorithm>

#include "album/AlbumPages.h"
#include "album/AlbumTreeOrder.h"
#include "app/DesktopChanger.h"

namespace nimbra {

bool TAlbumPageArrangement::Arrange(const TAlbumPageOrder& wanted, ITree& tree,
                                    TAlbumPages& pages, TNimbraDesktopChanger& changer) {
  if (OrdersAlike(wanted, arranged_)) return false;
  changer.WaitForChange();
  ArrangeRootItems(tree, wanted);
  pages.RebuildPages();
  arranged_ = wanted;
  // -1 (no page yet) stays; an index past the new end becomes the last page.
  changer.SetPageIndex(std::min(changer.PageIndex(), changer.PageCount() - 1));
  return true;
}

}  // namespace nimbra
