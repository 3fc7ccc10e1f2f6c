#include "slideshow/SlideShowTree.h"

#include <typeinfo>

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
  // 1. one tree item per object, from the root list down
  AddSlideShowTreeItems(slideShow.RootList(), *tree.GetItems());
}

TSlideShowObject* SlideShowObjectOf(ITreeItem* item) {
  if (item == nullptr) return nullptr;
  TObject* object = item->GetObject();
  if (object == nullptr) return nullptr;
  // Nearly every item is exactly a slideshow item: the walks that ask for each object of a long
  // show go without the search through the class graph then.
  if (typeid(*object) == typeid(TSlideShowTreeItem)) {
    return static_cast<const TSlideShowTreeItem*>(object)->SlideShowObject();
  }
  const auto* slideShowItem = dynamic_cast<const TSlideShowTreeItem*>(object);
  return slideShowItem != nullptr ? slideShowItem->SlideShowObject() : nullptr;
}

TSlideShowObject* SlideShowObjectOf(const TRef<ITreeItem>& item) {
  return SlideShowObjectOf(item.Get());
}

}  // namespace nimbra
