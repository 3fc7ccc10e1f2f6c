// The slideshow as a custom tree, the form in which the renderer and the page elements walk it: one
// item per slideshow object, mirroring the object tree one to one. Items hold no copies of object
// data; they lead back to their objects, which the document keeps.
#pragma once

#include "framework/CustomTree.h"

namespace nimbra {

class TSlideShow;
class TSlideShowObject;
class TSlideShowObjectList;

class TSlideShowTreeItem : public TCustomTreeItemPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSlideShowTreeItem() = default;
  explicit TSlideShowTreeItem(TSlideShowObject* object) : object_(object) {}

  // The object the item stands for (not owned).
  TSlideShowObject* SlideShowObject() const { return object_; }
  void SetSlideShowObject(TSlideShowObject* object) { object_ = object; }

 private:
  TSlideShowObject* object_ = nullptr;
};

// Fills the tree's root item list with one item per root object of the document, in order, active
// or not; a collection whose child list exists, even an empty one, gets an item child list.
void BuildSlideShowTree(const TSlideShow& slideShow, ITree& tree);
// The same for one object list into an item list.
void AddSlideShowTreeItems(const TSlideShowObjectList& objects, ITreeItemList& items);

// The slideshow object a tree item stands for; none for none and for items of other kinds.
TSlideShowObject* SlideShowObjectOf(ITreeItem* item);
TSlideShowObject* SlideShowObjectOf(const TRef<ITreeItem>& item);

}  // namespace nimbra
