#include "framework/CustomTree.h"

#include <cstddef>
#include <stdexcept>
#include <typeinfo>
#include <vector>

#include "storage/CSFStream.h"
#include "storage/MemoryStream.h"

namespace nimbra {

namespace {

constexpr TGUID kIHasOwnerIID = TGUID::Parse(IHasOwner::kIID);
constexpr TGUID kITreeItemListIID = TGUID::Parse(ITreeItemList::kIID);

// Dropping a list's reference can free an item, which frees its child list, which drops the
// children's references, and so on down: one nested call per level. Drops made while one is
// running are queued and run by the outermost one, so that a deep tree goes without a deep stack.
thread_local std::vector<IInterface*>* pendingReleases = nullptr;

void ReleaseWithoutNesting(IInterface* object) {
  if (pendingReleases != nullptr) {
    pendingReleases->push_back(object);
    return;
  }
  std::vector<IInterface*> queue{object};
  pendingReleases = &queue;
  while (!queue.empty()) {
    IInterface* next = queue.back();
    queue.pop_back();
    next->Release();
  }
  pendingReleases = nullptr;
}

// An owner that goes cannot refuse to let go of its list. While references to the list remain,
// they keep it, without an owner, and the last one frees it; otherwise it goes now.
void LetGoOfList(std::unique_ptr<TCustomTreeItemList>& list) {
  if (!list) return;
  if (list->RefCount() > 1) {
    list->SetOwner(nullptr);
    list.release()->Release();
  } else {
    list.reset();
  }
}

// The item interface of an object a list holds. The cast searches the object's whole class graph,
// while a list of thousands of items holds objects of a handful of classes, and where the
// interface lies within an object follows from the object's class and from which of its parts the
// list holds: the answer for the last such pair is kept (per thread, lists being read from more
// than one).
ITreeItem* ItemOf(TObject* object) {
  if (object == nullptr) return nullptr;
  struct TLastCast {
    const std::type_info* type = nullptr;
    std::ptrdiff_t objectOffset = 0;
    std::ptrdiff_t itemOffset = 0;
    bool isItem = false;
  };
  thread_local TLastCast last;
  auto* whole = static_cast<char*>(dynamic_cast<void*>(object));
  const std::type_info* type = &typeid(*object);
  const std::ptrdiff_t objectOffset = reinterpret_cast<char*>(object) - whole;
  if (type != last.type || objectOffset != last.objectOffset) {
    auto* item = dynamic_cast<ITreeItem*>(object);
    last = {type, objectOffset, item != nullptr ? reinterpret_cast<char*>(item) - whole : 0,
            item != nullptr};
    return item;
  }
  return last.isItem ? reinterpret_cast<ITreeItem*>(whole + last.itemOffset) : nullptr;
}

}  // namespace

// ---- TCustomTreeItemList ----

NIMBRA_DEFINE_CLASS(TCustomTreeItemList, TOwnerList)

TCustomTreeItemList::~TCustomTreeItemList() {
  DestroyItems();
}

TObject* TCustomTreeItemList::ObjectOf(const TRef<ITreeItem>& item) {
  auto* object = dynamic_cast<TObject*>(item.Get());
  if (object == nullptr) throw std::invalid_argument("a tree item list holds tree item objects");
  return object;
}

TRef<ITreeItem> TCustomTreeItemList::GetItem(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return TRef<ITreeItem>(ItemOf(Items(index)));
}

void TCustomTreeItemList::SetItem(int32_t index, const TRef<ITreeItem>& item) {
  SetItems(index, ObjectOf(item));
}

int32_t TCustomTreeItemList::Add(const TRef<ITreeItem>& item) {
  return TObjectListEvent::Add(ObjectOf(item));
}

void TCustomTreeItemList::Insert(int32_t index, const TRef<ITreeItem>& item) {
  TObjectListEvent::Insert(index, ObjectOf(item));
}

int32_t TCustomTreeItemList::Remove(const TRef<ITreeItem>& item) {
  return RemoveIndex(IndexOf(item));
}

int32_t TCustomTreeItemList::IndexOf(const TRef<ITreeItem>& item) const {
  if (!item) return -1;
  const TObject* wanted = item->GetObject();
  for (int32_t i = 0; i < Count(); ++i) {
    ITreeItem* candidate = ItemOf(Items(i));
    if (candidate != nullptr && candidate->GetObject() == wanted) return i;
  }
  return -1;
}

TRef<ITreeItem> TCustomTreeItemList::Extract(const TRef<ITreeItem>& item) {
  const int32_t index = IndexOf(item);
  if (index < 0) return nullptr;
  TObject* object = Items(index);
  TRef<ITreeItem> kept(dynamic_cast<ITreeItem*>(object));
  TObjectListEvent::Extract(object);
  return kept;
}

bool TCustomTreeItemList::Supports(const TGUID& iid) const {
  return iid == kIHasOwnerIID || iid == kITreeItemListIID || TOwnerList::Supports(iid);
}

void TCustomTreeItemList::Notify(TObject* object, TListNotification action) {
  auto* counted = dynamic_cast<IInterface*>(object);
  if (counted == nullptr) {
    // Only reachable through the plain list operations: such an object is treated as they would.
    TOwnerList::Notify(object, action);
    return;
  }
  if (action == TListNotification::Added) {
    counted->AddRef();
    return;
  }
  ForgetOwner(object);
  ReleaseWithoutNesting(counted);
}

// ---- TTreeItemLinks ----

TTreeItemLinks::~TTreeItemLinks() {
  LetGoOfList(children_);
}

TRef<ITreeItemList> TTreeItemLinks::NeedChildren(TObject* item) {
  if (!children_) {
    bool ownsObjects = true;
    if (auto* holder = dynamic_cast<TCustomTreeItemList*>(owner_)) {
      ownsObjects = holder->OwnsObjects();
    }
    children_ = std::make_unique<TCustomTreeItemList>(ownsObjects);
    children_->SetOwner(item);
  }
  return TRef<ITreeItemList>(children_.get());
}

void TTreeItemLinks::FreeChildren() {
  Free(children_);
}

TRef<ITreeItemList> TTreeItemLinks::GetChildren() const {
  return TRef<ITreeItemList>(children_.get());
}

bool TTreeItemLinks::HasChildren() const {
  return children_ && children_->Count() > 0;
}

// ---- TCustomTreeItem ----

NIMBRA_DEFINE_CLASS(TCustomTreeItem, TObject)

// ---- TCustomTreeItemPlugin ----

NIMBRA_DEFINE_PLUGIN(TCustomTreeItemPlugin, TInterfacedPlugin)

bool TCustomTreeItemPlugin::WriteToStream(TCSFStream& /*stream*/) const {
  return true;
}

bool TCustomTreeItemPlugin::ReadFromStream(TCSFStream& /*stream*/) {
  return true;
}

TRef<IInterface> TCustomTreeItemPlugin::Clone() const {
  std::unique_ptr<TCustomTreeItemPlugin> copy = CreateAs<TCustomTreeItemPlugin>(ClassType());
  if (!copy) return nullptr;
  TMemoryStream buffer;
  {
    TCSFStream stream(buffer, CSFMode::Headerless);
    WriteToStream(stream);
    stream.SetPosition(0);
    copy->ReadFromStream(stream);
  }
  return HandOverToRef<IInterface>(std::move(copy));
}

// ---- TCustomTree ----

NIMBRA_DEFINE_PLUGIN(TCustomTree, TInterfacedPlugin)

TCustomTree::TCustomTree() : items_(std::make_unique<TCustomTreeItemList>(true)) {
  items_->SetOwner(this);
}

TCustomTree::~TCustomTree() {
  LetGoOfList(items_);
}

TRef<ITreeItemList> TCustomTree::GetItems() const {
  return TRef<ITreeItemList>(items_.get());
}

TRef<ITreeItemList> TCustomTree::CreateItemList() const {
  return HandOverToRef<ITreeItemList>(std::make_unique<TCustomTreeItemList>(false));
}

void TCustomTree::Clear() {
  items_->Clear();
}

}  // namespace nimbra
