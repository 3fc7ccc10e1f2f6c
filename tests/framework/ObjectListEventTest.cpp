#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ObjectListEvent.h"
#include "framework/OwnerList.h"
#include "framework/Plugin.h"

namespace nimbra {
namespace {

// An object that counts itself, so that tests see whether the list freed it.
class TTracked : public TObject {
 public:
  explicit TTracked(int* alive) : alive_(alive) { ++*alive_; }
  ~TTracked() override { --*alive_; }

 private:
  int* alive_;
};

// Every event of a list, in the order raised, as text. Declared before the list it watches, so
// that it still hears the change the list raises while it is destroyed.
struct TEventLog {
  void Attach(TObjectListEvent& list) {
    list.OnChange = [this](TObject*) { events.push_back("change"); };
    list.OnAdded = [this](TObject*, int32_t i) { events.push_back("added " + std::to_string(i)); };
    list.OnDeleted = [this](TObject*, int32_t i) {
      events.push_back("deleted " + std::to_string(i));
    };
    list.OnReplaced = [this](TObject*, int32_t i) {
      events.push_back("replaced " + std::to_string(i));
    };
    list.OnAttached = [this](TObject*, int32_t i) {
      events.push_back("attached " + std::to_string(i));
    };
  }
  std::vector<std::string> Take() { return std::exchange(events, {}); }
  std::vector<std::string> events;
};

using Events = std::vector<std::string>;

TEST(ObjectListEventTest, SingleOperationsRaiseTheirEventsInOrder) {
  int alive = 0;
  TEventLog log;
  TObjectListEvent list;
  log.Attach(list);
  list.Add(std::make_unique<TTracked>(&alive));
  EXPECT_EQ(log.Take(), (Events{"attached 0", "added 0", "change"}));
  list.Insert(0, std::make_unique<TTracked>(&alive));
  EXPECT_EQ(log.Take(), (Events{"attached 0", "added 0", "change"}));
  list.SetItems(1, new TTracked(&alive));
  EXPECT_EQ(log.Take(), (Events{"attached 1", "replaced 1", "change"}));
  EXPECT_EQ(alive, 2);  // the replaced object was freed
  list.SetItems(1, list.Items(1));
  EXPECT_EQ(log.Take(), (Events{"attached 1", "replaced 1", "change"}));
  EXPECT_EQ(alive, 2);  // put back in its own place, it is not freed
  list.Clear();
  EXPECT_EQ(log.Take(), (Events{"change"}));
  EXPECT_EQ(alive, 0);
}

TEST(ObjectListEventTest, BatchRaisesOneChangeAtItsEndAndStillAttaches) {
  int alive = 0;
  TEventLog log;
  TObjectListEvent list;
  log.Attach(list);
  list.BeginUpdate();
  for (int i = 0; i < 5; ++i) list.Add(std::make_unique<TTracked>(&alive));
  EXPECT_EQ(log.Take(),
            (Events{"attached 0", "attached 1", "attached 2", "attached 3", "attached 4"}));
  EXPECT_TRUE(list.ChangePending());
  list.EndUpdate();
  EXPECT_EQ(log.Take(), (Events{"change"}));
  EXPECT_FALSE(list.ChangePending());

  // Nested: only the outermost end raises.
  list.BeginUpdate();
  list.BeginUpdate();
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(log.Take(), Events{});
  list.EndUpdate();
  EXPECT_EQ(log.Take(), (Events{"change"}));
}

TEST(ObjectListEventTest, BatchWithoutChangeAndUnpairedEndRaiseNothing) {
  TEventLog log;
  TObjectListEvent list;
  log.Attach(list);
  list.BeginUpdate();
  list.EndUpdate();
  list.EndUpdate();
  list.EndUpdate();
  EXPECT_EQ(log.Take(), Events{});
  EXPECT_EQ(list.UpdateCount(), 0);
  // The unpaired ends left no debt: the next batch still counts from zero.
  list.BeginUpdate();
  EXPECT_EQ(list.UpdateCount(), 1);
}

TEST(ObjectListEventTest, DeleteRaisesBeforeAndRemoveAfterTheObjectLeaves) {
  TEventLog log;
  TObject objects[4];
  TObjectListEvent list(false);
  for (TObject& object : objects) list.Add(&object);
  TObject* seen = nullptr;
  list.OnDeleted = [&](TObject*, int32_t index) {
    seen = index >= 0 && index < list.Count() ? list.Items(index) : nullptr;
  };
  list.Delete(2);
  EXPECT_EQ(seen, &objects[2]);
  EXPECT_EQ(list.IndexOf(&objects[2]), -1);

  log.Attach(list);
  EXPECT_EQ(list.Remove(&objects[1]), 1);
  EXPECT_EQ(log.Take(), (Events{"deleted 1", "change"}));
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(1), &objects[3]);  // objects[1] was gone when the event ran
  EXPECT_EQ(list.Remove(&objects[1]), -1);
  EXPECT_EQ(log.Take(), (Events{"deleted -1", "change"}));
}

TEST(ObjectListEventTest, OwnsObjectsDecidesWhetherLeavingObjectsAreFreed) {
  int alive = 0;
  TTracked kept(&alive);
  {
    TObjectListEvent view(false);
    view.Add(&kept);
    view.Delete(0);
    view.Add(&kept);
  }
  EXPECT_EQ(alive, 1);

  TEventLog log;
  auto list = std::make_unique<TObjectListEvent>();
  log.Attach(*list);
  list->Add(std::make_unique<TTracked>(&alive));
  list->Add(std::make_unique<TTracked>(&alive));
  list->Add(std::make_unique<TTracked>(&alive));
  log.Take();
  std::unique_ptr<TObject> extracted(list->Extract(list->Items(1)));
  EXPECT_EQ(log.Take(), Events{});
  EXPECT_EQ(alive, 4);
  list->Delete(0);
  EXPECT_EQ(alive, 3);
  log.Take();
  // A list that does not own cannot be handed an object; the object is freed, not leaked.
  TObjectListEvent other(false);
  EXPECT_THROW(other.Add(std::make_unique<TTracked>(&alive)), std::invalid_argument);
  EXPECT_EQ(alive, 3);
  // An idle list still reports one change while it goes, and frees what it holds.
  Free(list);
  EXPECT_EQ(log.Take(), (Events{"change"}));
  EXPECT_EQ(alive, 2);
}

TEST(ObjectListEventTest, IndexOutsideTheListRaises) {
  TObjectListEvent list;
  EXPECT_THROW(list.Items(0), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  EXPECT_THROW(list.Insert(1, nullptr), EListError);
  list.Insert(0, nullptr);
  EXPECT_EQ(list.Count(), 1);
}

TEST(ObjectListEventTest, ReorderingRaisesNothing) {
  TEventLog log;
  TObject a, b, c, d;
  TObjectListEvent list(false);
  for (TObject* object : {&a, &b, &c, &d}) list.Add(object);
  log.Attach(list);
  list.Move(0, 3);      // b c d a
  list.Exchange(0, 1);  // c b d a
  EXPECT_EQ(log.Take(), Events{});
  std::vector<TObject*> order;
  for (int32_t i = 0; i < list.Count(); ++i) order.push_back(list.Items(i));
  EXPECT_EQ(order, (std::vector<TObject*>{&c, &b, &d, &a}));
  // Stable: only a is "smaller", the rest keep their order.
  list.Sort([&a](const TObject* x, const TObject* y) { return x == &a && y != &a; });
  order.clear();
  for (int32_t i = 0; i < list.Count(); ++i) order.push_back(list.Items(i));
  EXPECT_EQ(order, (std::vector<TObject*>{&a, &c, &b, &d}));
}

TEST(ObjectListEventTest, FreeRefusesWhileReferencedAndNamesTheClass) {
  auto list = std::make_unique<TOwnerList>();
  TRef<IInterface> first(list.get());
  TRef<IInterface> second(list.get());
  try {
    Free(list);
    FAIL() << "freed while referenced";
  } catch (const EInterfaceReferenced& error) {
    EXPECT_STREQ(error.what(), "Interface wird noch referenziert! 3 Klasse: TOwnerList");
  }
  ASSERT_NE(list, nullptr);
  first.Reset();
  second.Reset();
  Free(list);
  EXPECT_EQ(list, nullptr);
}

// An object with an owner link, as page elements and templates have.
class TLinked : public TObject, public TInterfacedObject, public IHasOwner {
 public:
  TLinked() : TInterfacedObject(Lifetime::Owned) {}
  TObject* GetOwner() const override { return owner_; }
  void SetOwner(TObject* owner) override { owner_ = owner; }

 private:
  TObject* owner_ = nullptr;
};

TEST(OwnerListTest, OwningListBecomesOwnerAndAViewLeavesOwnersAlone) {
  TObject previous;
  TOwnerList owning;
  TOwnerList view(false);
  auto linked = std::make_unique<TLinked>();
  linked->SetOwner(&previous);
  TLinked* item = linked.get();
  view.Add(item);
  EXPECT_EQ(item->GetOwner(), &previous);
  owning.Add(std::move(linked));
  EXPECT_EQ(item->GetOwner(), &owning);
  view.Delete(0);
  EXPECT_EQ(item->GetOwner(), &owning);
  // Taken out of the list that owns it, it no longer names that list.
  std::unique_ptr<TObject> extracted(owning.Extract(item));
  EXPECT_EQ(item->GetOwner(), nullptr);
}

TEST(OwnerListTest, FindingAnOwnerStopsWhereOwnerLinksEnd) {
  TOwnerList list;
  auto element = std::make_unique<TLinked>();
  TLinked* elementPtr = element.get();
  list.Add(std::move(element));
  EXPECT_EQ(FindOwnerOfClass(elementPtr, TObjectListEvent::StaticClass()), &list);
  EXPECT_EQ(FindOwner<TOwnerList>(elementPtr), &list);
  // The list has no owner link of its own, so the climb ends at it.
  EXPECT_EQ(FindOwnerOfClass(elementPtr, TPlugin::StaticClass()), nullptr);

  THasOwnerImplement link;
  EXPECT_EQ(FindOwnerOfClass(&link, TObject::StaticClass()), nullptr);
  link.SetOwner(&list);
  EXPECT_EQ(FindOwner<TObjectListEvent>(&link), &list);
}

}  // namespace
}  // namespace nimbra
