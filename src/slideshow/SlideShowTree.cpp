#include "slideshow/SlideShowTree.h"

#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowObjectList.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TSlideShowTreeItem, TCustomTreeItemPlugin)

void AddSlideShowTreeItems(const TSlideShowObjectList& objects, ITreeItemList& items) {
  for (int32_t i = 0; i < objects.Count(); ++i) {
    // 2. one item per object
    TSlideShowObject* object = objects.Items(i);
    TRef<ITreeItem> item =
        HandOverToRef<ITreeItem>(std::make_unique<TSlideShowTreeItem>(object));
    items.Add(item);
    // 3. the children, when the object has a child list at all
    if (const TSlideShowObjectList* children = ChildrenOf(object)) {
      AddSlideShowTreeItems(*children, *item->NeedChildren());
    }
  }
}

void BuildSlideShowTree(const TSlideShow& slideShow, ITree& tree) {
  // 1.
  AddSlideShowTreeItems(slideShow.RootList(), *tree.GetItems());
}

TSlideShowObject* SlideShowObjectOf(ITreeItem* item) {
  if (item == nullptr) return nullptr;
  const auto* slideShowItem = dynamic_cast<const TSlideShowTreeItem*>(item->GetObject());
  return slideShowItem != nullptr ? slideShowItem->SlideShowObject() : nullptr;
}

TSlideShowObject* SlideShowObjectOf(const TRef<ITreeItem>& item) {
  return SlideShowObjectOf(item.Get());
}

}  // namespace nimbra
