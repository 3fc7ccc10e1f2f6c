#include "templates/VirtualProjectRenderer.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <typeinfo>
#include <unordered_map>

#include "framework/TreeImplement.h"
#include "slideshow/SlideShowInterfaces.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowTree.h"
#include "storage/TextCase.h"
#include "templates/ElementBinding.h"
#include "templates/JumpMarkInfo.h"
#include "templates/ObjectAdvance.h"
#include "templates/PageTemplateProject.h"
#include "templates/PreOrderIndex.h"
#include "templates/TreeWalkIndex.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TVirtualProjectRenderer, TInterfacedPlugin)
NIMBRA_DEFINE_PLUGIN(TSlideShowVirtualProjectRenderer, TVirtualProjectRenderer)

namespace {

// An event element among the items of a structure list.
struct TListEvent {
  TRef<ITreeItem> element;
  const IStructureEvent* event;
};

// What a structure item is, asked once per walk instead of at every step.
struct TStructureKind {
  IStructurePage* page = nullptr;
  const IStructureJump* jump = nullptr;
  const IStructureJumpMark* jumpMark = nullptr;
  IStructureElementLoop* loop = nullptr;
  const IStructurePageChoice* choice = nullptr;
  bool event = false;
  // A page's template, looked up through the project.
  TPageTemplate* pageTemplate = nullptr;
};

// What the walk asks of a page element each time a page of its template is made.
struct TElementUse {
  TPageElement* element;
  const IObjectConsumer* consumer;
  IObjectAdvance* advance;
};

}  // namespace

// The working state of one BuildPages. The caches in it hold for trees and a project that do not
// change while they are walked; they are made anew for every walk.
struct TVirtualProjectRenderer::TWalk {
  TRef<ITree> structure;
  TRef<ITree> slideShow;
  TRenderPageTemplateList* pages = nullptr;
  TLoops loops;
  TJumpMarks marks;
  std::vector<TRenderObjectLimitInfo> limits;
  // The event elements among the items of each structure list, in list order.
  std::unordered_map<const ITreeItemList*, std::vector<TListEvent>> eventsOfList;
  std::unordered_map<const ITreeItem*, TStructureKind> kinds;
  std::unordered_map<const IStructureElementLoop*, ITreeItem*> loopElements;
  std::unordered_map<const TPageTemplate*, std::vector<TElementUse>> elementUses;
  TTreeWalkIndex structureIndex;
  // The slideshow in walking order; when its owner links do not allow that, slideShowIndex walks
  // the tree itself.
  TPreOrderIndex slideShowOrder;
  TTreeWalkIndex slideShowIndex;
  // The number of structure items plus one: L without the slideshow's objects.
  int64_t structureUnit = 1;
  // The slideshow's objects at all levels, once counted.
  int64_t objectCount = -1;
  // The current object: the walk's position in the slideshow tree.
  TRef<ITreeItem> current;
  // A limit stack deeper than the structure has items holds records no walk can reach any more
  // (an event element left without passing through its body); the oldest are dropped.
  size_t maxLimits = 1;

  // Whether value exceeds perUnit × (base + the slideshow's objects at all levels). Counting the
  // objects walks the whole slideshow, so it waits until the objects the walk has recorded so far
  // (no more than all) no longer keep the value below the limit.
  bool Exceeds(int64_t value, int64_t perUnit, int64_t base);
  const TStructureKind& KindOf(const TRef<ITreeItem>& item);
  // The loop element of a loop record's loop; none when it is no tree item.
  ITreeItem* LoopElementOf(const TRef<IStructureElementLoop>& loop);
  const std::vector<TElementUse>& ElementUsesOf(const TPageTemplate& pageTemplate);
  const std::vector<TListEvent>* EventsBeside(const TRef<ITreeItem>& item);
  TRef<ITreeItem> NextInSlideShow(const TRef<ITreeItem>& object);
  // As TTreeImplement::IsChildOf (object, ancestor, recursive) over the slideshow.
  bool InSlideShowBranch(const TRef<ITreeItem>& object, const TRef<ITreeItem>& ancestor);
};

bool TVirtualProjectRenderer::TWalk::Exceeds(int64_t value, int64_t perUnit, int64_t base) {
  if (objectCount < 0) {
    const int64_t recorded = slideShowOrder.Usable() ? slideShowOrder.Recorded() : 0;
    if (value <= perUnit * (base + recorded)) return false;
    objectCount = slideShowOrder.CountAll();
    if (objectCount < 0) objectCount = slideShowIndex.Count(slideShow);
  }
  return value > perUnit * (base + objectCount);
}

const TStructureKind& TVirtualProjectRenderer::TWalk::KindOf(const TRef<ITreeItem>& item) {
  const auto [known, added] = kinds.try_emplace(item.Get());
  if (added) {
    ITreeItem* element = item.Get();
    TStructureKind& kind = known->second;
    kind.page = dynamic_cast<IStructurePage*>(element);
    kind.jump = dynamic_cast<const IStructureJump*>(element);
    kind.jumpMark = dynamic_cast<const IStructureJumpMark*>(element);
    kind.loop = dynamic_cast<IStructureElementLoop*>(element);
    kind.choice = dynamic_cast<const IStructurePageChoice*>(element);
    kind.event = dynamic_cast<const IStructureEvent*>(element) != nullptr;
    if (kind.page != nullptr) kind.pageTemplate = kind.page->GetTemplate();
  }
  return known->second;
}

ITreeItem* TVirtualProjectRenderer::TWalk::LoopElementOf(const TRef<IStructureElementLoop>& loop) {
  const auto [known, added] = loopElements.try_emplace(loop.Get());
  if (added) known->second = dynamic_cast<ITreeItem*>(loop.Get());
  return known->second;
}

const std::vector<TElementUse>& TVirtualProjectRenderer::TWalk::ElementUsesOf(
    const TPageTemplate& pageTemplate) {
  const auto [known, added] = elementUses.try_emplace(&pageTemplate);
  if (added) {
    const TPageElementList& elements = pageTemplate.Elements();
    known->second.reserve(static_cast<size_t>(elements.Count()));
    for (int32_t i = 0; i < elements.Count(); ++i) {
      TPageElement* element = elements.Items(i);
      if (element == nullptr) continue;
      known->second.push_back({element, dynamic_cast<const IObjectConsumer*>(element),
                               dynamic_cast<IObjectAdvance*>(element)});
    }
  }
  return known->second;
}

const std::vector<TListEvent>* TVirtualProjectRenderer::TWalk::EventsBeside(
    const TRef<ITreeItem>& item) {
  ITreeItemList* siblings = structureIndex.ParentList(item.Get());
  if (siblings == nullptr) return nullptr;
  const auto [known, added] = eventsOfList.try_emplace(siblings);
  if (added) {
    for (int32_t i = 0; i < siblings->Count(); ++i) {
      TRef<ITreeItem> sibling = siblings->GetItem(i);
      if (const auto* event = dynamic_cast<const IStructureEvent*>(sibling.Get())) {
        known->second.push_back({std::move(sibling), event});
      }
    }
  }
  return &known->second;
}

TRef<ITreeItem> TVirtualProjectRenderer::TWalk::NextInSlideShow(const TRef<ITreeItem>& object) {
  if (object && slideShowOrder.Usable()) {
    ITreeItem* next = nullptr;
    const int32_t place = slideShowOrder.PlaceOf(object.Get());
    if (place >= 0 && slideShowOrder.NextAfter(place, next)) return TRef<ITreeItem>(next);
  }
  // Without a tree argument a walk from none gives none: a position past the end stays there.
  return slideShowIndex.GetNext(nullptr, object, true);
}

bool TVirtualProjectRenderer::TWalk::InSlideShowBranch(const TRef<ITreeItem>& object,
                                                       const TRef<ITreeItem>& ancestor) {
  if (object && slideShowOrder.Usable()) {
    const int32_t place = slideShowOrder.PlaceOf(object.Get());
    if (place >= 0) return slideShowOrder.IsInside(place, ancestor);
  }
  return TTreeImplement::IsChildOf(object, ancestor, true);
}

namespace {

bool SameItem(const TRef<ITreeItem>& a, const TRef<ITreeItem>& b) {
  if (!a || !b) return !a && !b;
  return a->GetObject() == b->GetObject();
}

}  // namespace

TVirtualProjectRenderer::TVirtualProjectRenderer() = default;
TVirtualProjectRenderer::~TVirtualProjectRenderer() = default;

TVirtualProjectRenderer::TWalk& TVirtualProjectRenderer::ActiveWalk() const {
  return *walk_;
}

TRef<ITreeItem> TVirtualProjectRenderer::NextInSlideShow(const TRef<ITreeItem>& object) const {
  return ActiveWalk().NextInSlideShow(object);
}

// ---- A. IsAcceptable ----

bool TVirtualProjectRenderer::IsAcceptable(const TRef<ITreeItem>& object) const {
  return static_cast<bool>(object);
}

bool TSlideShowVirtualProjectRenderer::IsAcceptable(const TRef<ITreeItem>& object) const {
  if (!TVirtualProjectRenderer::IsAcceptable(object)) return false;
  TSlideShowObject* slideShowObject = SlideShowObjectOf(object);
  if (slideShowObject == nullptr) return true;
  const std::type_info* kind = &typeid(*slideShowObject);
  for (const auto& [known, acceptable] : acceptableClasses_) {
    if (known == kind) return acceptable;
  }
  const bool acceptable = dynamic_cast<IChapter*>(slideShowObject) == nullptr &&
                          dynamic_cast<IParallel*>(slideShowObject) == nullptr &&
                          dynamic_cast<ICollage*>(slideShowObject) == nullptr;
  acceptableClasses_.emplace_back(kind, acceptable);
  return acceptable;
}

// ---- B. CheckEvents ----

bool TVirtualProjectRenderer::CheckEvents(const TRef<ITreeItem>& item, TRef<ITreeItem>& current,
                                          TRef<ITreeItem>& fired) {
  TWalk& walk = ActiveWalk();
  const std::vector<TListEvent>* events = walk.EventsBeside(item);
  if (events == nullptr) return false;
  for (const TListEvent& listEvent : *events) {
    if (!listEvent.event->IsTriggered(current, nullptr, walk.marks)) continue;
    if (walk.limits.size() >= walk.maxLimits) walk.limits.erase(walk.limits.begin());
    walk.limits.push_back({listEvent.element, current});
    current = NextInSlideShow(current);
    fired = walk.structureIndex.GetFirstChild(listEvent.element);
    return true;
  }
  return false;
}

// ---- C. PopLimits ----

void TVirtualProjectRenderer::PopLimits(const TRef<ITreeItem>& previous,
                                        const TRef<ITreeItem>& next) {
  if (!previous || !next) return;
  TWalk& walk = ActiveWalk();
  std::vector<TRenderObjectLimitInfo>& limits = walk.limits;
  while (!limits.empty() &&
         walk.structureIndex.IsChildOf(previous, limits.back().Event.Get(), true) &&
         !walk.structureIndex.IsChildOf(next, limits.back().Event.Get(), true)) {
    limits.pop_back();
  }
}

// ---- D. LoopState ----

TLoopState TVirtualProjectRenderer::LoopState(TLoops& loops, const TJumpMarks& marks,
                                              const TRef<ITreeItem>& item,
                                              const TRef<ITreeItem>& current, bool skipChildren,
                                              TLoopInfo*& record) {
  record = nullptr;
  if (loops.empty()) return TLoopState::Outside;
  TLoopInfo& top = loops.back();
  // Held by the record's loop.
  ITreeItem* loopElement =
      walk_ != nullptr ? walk_->LoopElementOf(top.Loop) : dynamic_cast<ITreeItem*>(top.Loop.Get());
  if (loopElement == nullptr) return TLoopState::Broken;
  // Asked outside a walk, the answers are worked out on the spot.
  std::optional<TTreeWalkIndex> scratch;
  TTreeWalkIndex& index = walk_ != nullptr ? walk_->structureIndex : scratch.emplace();
  const bool direct = index.IsChildOf(item, loopElement, false);
  // 3. outside the loop
  if (!direct && !index.IsChildOf(item, loopElement, true)) return TLoopState::Outside;
  // 1., 2. in the body: does the next step leave it?
  record = &top;
  const TLoopState code =
      index.LeavesBranch(item, loopElement, !skipChildren) ? TLoopState::Restart : TLoopState::InBody;
  if (!direct) return code;
  // 1. the end test, for direct children only
  if (!top.Ended && !top.Loop->IsLoopEnd(current, top.StartObject, marks)) return code;
  if (top.Loop->ChecksBefore() || top.Ended) {
    top.Ended = true;
    return TLoopState::Exit;
  }
  // Tested after the body: one more step is taken, the loop is left at the next test.
  if (top.Loop->ChecksAfter()) top.Ended = true;
  return code;
}

TLoopState TVirtualProjectRenderer::QueryLoopState(TLoops& loops, const TJumpMarks& marks,
                                                   const TRef<ITreeItem>& item,
                                                   const TRef<ITreeItem>& current,
                                                   bool skipChildren) {
  TLoopInfo* record = nullptr;
  return LoopState(loops, marks, item, current, skipChildren, record);
}

// ---- E. NextItem and F. ExitLoop ----

TRef<ITreeItem> TVirtualProjectRenderer::NextItem(const TRef<ITreeItem>& start, bool skipChildren) {
  TWalk& walk = ActiveWalk();
  TRef<ITreeItem> item = start;
  // Leaving a loop asks the enclosing loop where to go on; each round leaves one loop.
  for (;;) {
    TLoopInfo* record = nullptr;
    switch (LoopState(walk.loops, walk.marks, item, walk.current, skipChildren, record)) {
      case TLoopState::Outside:
      case TLoopState::InBody: {
        TRef<ITreeItem> next = skipChildren ? walk.structureIndex.GetNextSibling(item)
                                            : walk.structureIndex.GetNextChildOrSibling(item);
        if (!next && item) next = walk.structureIndex.GetNext(walk.structure, item, false);
        return next;
      }
      case TLoopState::Restart:
        return walk.structureIndex.GetFirstChild(TRef<ITreeItem>(walk.LoopElementOf(record->Loop)));
      case TLoopState::Exit: {
        // F. pop the record; the loop element's next sibling, or what the enclosing loop decides
        TRef<ITreeItem> loopElement(walk.LoopElementOf(record->Loop));
        walk.loops.erase(walk.loops.begin() + (record - walk.loops.data()));
        item = loopElement;
        skipChildren = true;
        continue;
      }
      case TLoopState::Broken:
        return nullptr;
    }
  }
}

TRef<ITreeItem> TVirtualProjectRenderer::ExitLoop(TLoopInfo* record) {
  TWalk& walk = ActiveWalk();
  TRef<ITreeItem> loopElement(walk.LoopElementOf(record->Loop));
  walk.loops.erase(walk.loops.begin() + (record - walk.loops.data()));
  return NextItem(loopElement, true);
}

// ---- G. EnterLoop ----

TRef<ITreeItem> TVirtualProjectRenderer::EnterLoop(const TRef<ITreeItem>& loopElement) {
  TWalk& walk = ActiveWalk();
  // A loop without a body has nothing to repeat: entering it would leave a record that no step
  // inside it ever pops, and that would stand in for the enclosing loop from then on.
  if (!loopElement->HasChildren()) return loopElement;
  TRef<IStructureElementLoop> loop(walk.KindOf(loopElement).loop);
  walk.loops.push_back({loop, walk.current, false});
  TLoopInfo& record = walk.loops.back();
  if (loop->ChecksBefore() && loop->IsLoopEnd(walk.current, record.StartObject, walk.marks)) {
    // The next NextItem leaves the loop without running the body.
    record.Ended = true;
    return walk.structureIndex.GetFirstChild(loopElement);
  }
  return loopElement;
}

// ---- H. AdvanceCursor ----

TVirtualProjectRenderer::TAdvance TVirtualProjectRenderer::AdvanceCursor(
    TRef<ITreeItem>& object, IObjectAdvance* advance, bool start, TRef<ITreeItem>& structureItem) {
  TWalk& walk = ActiveWalk();
  TAdvance result;
  // 1. past the end and not starting: nothing to advance to
  if (!object && !start) return result;
  // 2. Pre-order visits every object once, so 2 × (objects + 1) advances over objects that are not
  // acceptable reach the end; an element that moves the position itself could circle for ever.
  for (int64_t round = 0; !walk.Exceeds(round + 1, 2, 1); ++round) {
    // a.
    if (!object && start) {
      object = TTreeImplement::GetFirst(walk.slideShow);
      if (!object) return result;
    } else if (advance != nullptr) {
      advance->Advance(walk.slideShow, object);
    } else {
      object = walk.NextInSlideShow(object);
    }
    // b.
    if (!walk.limits.empty() && !walk.InSlideShowBranch(object, walk.limits.back().Object)) {
      result.LimitLeft = true;
    }
    // c.
    result.StructureChanged = false;
    if (structureItem) {
      TRef<ITreeItem> fired;
      TLoopInfo* record = nullptr;
      if (CheckEvents(structureItem, object, fired) && !SameItem(fired, structureItem)) {
        structureItem = std::move(fired);
        result.StructureChanged = true;
      } else if (LoopState(walk.loops, walk.marks, structureItem, object, false, record) ==
                 TLoopState::Exit) {
        structureItem = ExitLoop(record);
        result.StructureChanged = true;
      }
    }
    // d.
    if (!object || IsAcceptable(object)) return result;
    start = false;
  }
  return result;
}

// ---- I. BindElements ----

std::unique_ptr<TRenderPageElementList> TVirtualProjectRenderer::BindElements(
    const TPageTemplate& pageTemplate, TRef<ITreeItem>& current, TRef<ITreeItem>& structureItem) {
  // Outside BuildPages the binding walks with a state of its own.
  std::unique_ptr<TWalk> scratch;
  if (walk_ == nullptr) {
    scratch = std::make_unique<TWalk>();
    scratch->slideShow = slideShowTree_;
    scratch->maxLimits = SIZE_MAX;
    scratch->slideShowOrder.Start(slideShowTree_);
  }
  const TActiveWalk active(walk_, scratch.get());
  auto bindings = std::make_unique<TRenderPageElementList>();
  const std::vector<TElementUse>& uses = walk_->ElementUsesOf(pageTemplate);
  bindings->Reserve(static_cast<int32_t>(uses.size()));
  TRef<ITreeItem> working = current;
  for (const TElementUse& use : uses) {
    bindings->Add(use.element, working);
    if (!working || use.consumer == nullptr || !use.consumer->TakesObject()) continue;
    // Only an item in a structure list can be replaced by a step, and the list holds it.
    ITreeItem* remembered = structureItem.Get();
    const TAdvance advance = AdvanceCursor(working, use.advance, false, structureItem);
    current = working;
    if (advance.StructureChanged) {
      PopLimits(TRef<ITreeItem>(remembered), structureItem);
      working = nullptr;
    }
    if (advance.LimitLeft) working = nullptr;
  }
  return bindings;
}

// ---- J. EmitPage ----

TPhotosAhead TVirtualProjectRenderer::PhotosAhead(const TRef<ITreeItem>& pageElement,
                                                  int32_t limit) {
  TWalk& walk = ActiveWalk();
  // Counted as the binding takes them: acceptable objects, until an event beside the element
  // would fire or the loop that holds it would end, either of which ends the page (a chapter that
  // starts a page of its own, or a loop over one chapter that reached the next).
  const std::vector<TListEvent>* events = walk.EventsBeside(pageElement);
  const TLoopInfo* loop = nullptr;
  if (!walk.loops.empty() && walk.loops.back().Loop->ChecksBefore() &&
      walk.structureIndex.IsChildOf(pageElement, walk.LoopElementOf(walk.loops.back().Loop),
                                    false)) {
    loop = &walk.loops.back();
  }
  const auto endsThePage = [&](const TRef<ITreeItem>& object) {
    if (loop != nullptr && loop->Loop->IsLoopEnd(object, loop->StartObject, walk.marks)) {
      return true;
    }
    return events != nullptr &&
           std::any_of(events->begin(), events->end(), [&](const TListEvent& listEvent) {
             return listEvent.event->IsTriggered(object, nullptr, walk.marks);
           });
  };
  TPhotosAhead ahead;
  for (TRef<ITreeItem> object = walk.current; object && ahead.Count < limit;
       object = walk.NextInSlideShow(object)) {
    if (object.Get() != walk.current.Get() && endsThePage(object)) break;
    if (!IsAcceptable(object)) continue;
    if (!ahead.First) ahead.First = object;
    ++ahead.Count;
  }
  return ahead;
}

void TVirtualProjectRenderer::EmitPage(const TRef<ITreeItem>& pageElement,
                                       TRef<ITreeItem>& structureItem, TRef<ITreeItem>& current) {
  TWalk& walk = ActiveWalk();
  structureItem = nullptr;
  const TStructureKind& kind = walk.KindOf(pageElement);
  TPageTemplate* pageTemplate = kind.pageTemplate;
  if (kind.choice != nullptr) {
    const int32_t most = kind.choice->MostPhotos();
    const TPhotosAhead ahead = PhotosAhead(pageElement, most);
    // A page for photos makes no sense once none is left (an event's pages took the last ones):
    // the walk goes on after the choice.
    if (ahead.Count == 0 && most > 0) {
      structureItem = pageElement;
      return;
    }
    pageTemplate = kind.choice->ChooseTemplate(ahead);
  }
  if (pageTemplate == nullptr) return;
  const uint8_t side = pageTemplate->Properties().Side();
  const bool evenCount = walk.pages->Count() % 2 == 0;
  if (insertBlankPages_ &&
      ((side == kPageSideEven && evenCount) || (side == kPageSideOdd && !evenCount))) {
    if (std::unique_ptr<TPageTemplate> blank = pageTemplate->Clone()) {
      blank->Elements().Clear();
      blank->SetTemplateList(pageTemplate->GetTemplateList());
      walk.pages->Add(std::make_unique<TRenderPageTemplateListItem>(std::move(blank)));
    }
  }
  structureItem = pageElement;
  std::unique_ptr<TRenderPageElementList> bindings =
      BindElements(*pageTemplate, current, structureItem);
  walk.pages->Add(std::make_unique<TRenderPageTemplateListItem>(pageTemplate, std::move(bindings)));
}

// ---- K. ProcessItem ----

bool TVirtualProjectRenderer::ProcessItem(TRef<ITreeItem>& item) {
  TWalk& walk = ActiveWalk();
  const TStructureKind& kind = walk.KindOf(item);
  if (kind.page != nullptr || kind.choice != nullptr) {
    const TRef<ITreeItem> pageElement = item;
    EmitPage(pageElement, item, walk.current);
    if (!SameItem(item, pageElement)) return true;
    // A choice's children only name its alternatives: the walk goes on after it.
    if (kind.choice == nullptr) return false;
    item = NextItem(pageElement, true);
    return static_cast<bool>(item);
  }
  if (const IStructureJump* jump = kind.jump) {
    walk.current = jump->Target(walk.slideShow, walk.current, walk.marks);
    return false;
  }
  if (const IStructureJumpMark* jumpMark = kind.jumpMark) {
    TRef<IJumpMarkInfo> record(new TJumpMarkInfo);
    jumpMark->Record(walk.slideShow, walk.current, *record);
    const std::string name = record->GetName();
    const auto same = std::find_if(
        walk.marks.begin(), walk.marks.end(),
        [&](const TRef<IJumpMarkInfo>& mark) { return SameTextAscii(mark->GetName(), name); });
    if (same != walk.marks.end()) walk.marks.erase(same);
    walk.marks.push_back(record);
    return false;
  }
  if (kind.loop != nullptr) {
    item = EnterLoop(item);
    return false;
  }
  return false;
}

// ---- L. BuildPages ----

std::unique_ptr<TRenderPageTemplateList> TVirtualProjectRenderer::BuildPages(
    const TRef<ITree>& structure, const TRef<ITree>& slideShowTree) {
  // 1. an empty page list and a walk over both trees, with limits from the structure's size
  auto pages = std::make_unique<TRenderPageTemplateList>();
  TWalk walk;
  walk.structure = structure;
  walk.slideShow = slideShowTree;
  walk.pages = pages.get();
  const int64_t structureCount = walk.structureIndex.Count(structure);
  walk.slideShowOrder.Start(slideShowTree);
  walk.structureUnit = structureCount + 1;
  walk.maxLimits = static_cast<size_t>(structureCount + 1);
  const TActiveWalk active(walk_, &walk);
  {
    // 2. the first structure item, with the cursor on the first acceptable object
    TRef<ITreeItem> item = TTreeImplement::GetFirst(structure);
    TRef<ITreeItem> previous;
    AdvanceCursor(walk.current, nullptr, true, item);
    // 3. walk the structure until it ends or the limits are reached
    int64_t steps = 0;
    bool stop = false;
    while (item && !stop) {
      // a.
      if (TRef<ITreeItem> fired; CheckEvents(item, walk.current, fired)) item = std::move(fired);
      PopLimits(previous, item);
      if (!item) break;
      if (walk.KindOf(item).event) {
        // b. an event's body is entered only when it fires
        item = NextItem(item, true);
        PopLimits(previous, item);
      } else {
        // c.
        const bool changed = ProcessItem(item);
        if (!changed || !item) item = NextItem(item, false);
        PopLimits(previous, item);
        previous = item;
      }
      // d.
      if (walk.Exceeds(pages->Count(), kPagesPerUnit, walk.structureUnit) ||
          walk.Exceeds(steps, kStepsPerUnit, walk.structureUnit)) {
        stop = true;
      }
      ++steps;
    }
  }
  // 4. the pages built so far, also when the walk was stopped
  return pages;
}

std::unique_ptr<TRenderPageTemplateList> TVirtualProjectRenderer::Execute() {
  TRef<ITree> structure;
  if (project_ != nullptr) structure = TRef<ITree>(&project_->Structure());
  return BuildPages(structure, slideShowTree_);
}

}  // namespace nimbra
