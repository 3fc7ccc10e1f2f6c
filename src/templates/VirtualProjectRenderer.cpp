#include "templates/VirtualProjectRenderer.h"

#include <algorithm>
#include <cstdint>
#include <typeinfo>
#include <unordered_map>

#include "framework/TreeImplement.h"
#include "slideshow/SlideShowInterfaces.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowTree.h"
#include "templates/ElementBinding.h"
#include "templates/JumpMarkInfo.h"
#include "templates/ObjectAdvance.h"
#include "templates/PageTemplateProject.h"
#include "templates/TreeWalkIndex.h"
#include "storage/TextCase.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TVirtualProjectRenderer, TInterfacedPlugin)
NIMBRA_DEFINE_PLUGIN(TSlideShowVirtualProjectRenderer, TVirtualProjectRenderer)

// The working state of one BuildPages.
struct TVirtualProjectRenderer::TWalk {
  TRef<ITree> structure;
  TRef<ITree> slideShow;
  TRenderPageTemplateList* pages = nullptr;
  TLoops loops;
  TJumpMarks marks;
  std::vector<TRenderObjectLimitInfo> limits;
  // The event elements among the items of each structure list, in list order.
  std::unordered_map<const TObject*, std::vector<TRef<ITreeItem>>> eventsOfList;
  TTreeWalkIndex structureIndex;
  TTreeWalkIndex slideShowIndex;
  // The current object: the walk's position in the slideshow tree.
  TRef<ITreeItem> current;
  // A limit stack deeper than the structure has items holds records no walk can reach any more
  // (an event element left without passing through its body); the oldest are dropped.
  size_t maxLimits = 1;
  // Pre-order visits every object once, so this many advances over objects that are not
  // acceptable reach the end; an element that moves the position itself could circle for ever.
  int64_t maxAdvances = 1;
};

namespace {

bool SameItem(const TRef<ITreeItem>& a, const TRef<ITreeItem>& b) {
  if (!a || !b) return !a && !b;
  return a->GetObject() == b->GetObject();
}

}  // namespace

TVirtualProjectRenderer::TVirtualProjectRenderer() = default;
TVirtualProjectRenderer::~TVirtualProjectRenderer() = default;

TVirtualProjectRenderer::TWalk& TVirtualProjectRenderer::ActiveWalk() const { return *walk_; }

TRef<ITreeItem> TVirtualProjectRenderer::NextInSlideShow(const TRef<ITreeItem>& object) const {
  // Without a tree argument a walk from none gives none: a position past the end stays there.
  return ActiveWalk().slideShowIndex.GetNext(nullptr, object, true);
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

TRef<ITreeItem> TVirtualProjectRenderer::CheckEvents(const TRef<ITreeItem>& item,
                                                     TRef<ITreeItem>& current) {
  TWalk& walk = ActiveWalk();
  const TRef<ITreeItemList> siblings = TTreeImplement::GetParentList(item);
  if (!siblings) return item;
  auto events = walk.eventsOfList.find(siblings->GetObject());
  if (events == walk.eventsOfList.end()) {
    std::vector<TRef<ITreeItem>> found;
    for (int32_t i = 0; i < siblings->Count(); ++i) {
      TRef<ITreeItem> sibling = siblings->GetItem(i);
      if (dynamic_cast<IStructureEvent*>(sibling.Get()) != nullptr) found.push_back(sibling);
    }
    events = walk.eventsOfList.emplace(siblings->GetObject(), std::move(found)).first;
  }
  for (const TRef<ITreeItem>& eventElement : events->second) {
    const auto* event = dynamic_cast<const IStructureEvent*>(eventElement.Get());
    if (!event->IsTriggered(current, nullptr, walk.marks)) continue;
    if (walk.limits.size() >= walk.maxLimits) walk.limits.erase(walk.limits.begin());
    walk.limits.push_back({eventElement, current});
    current = NextInSlideShow(current);
    return TTreeImplement::GetFirstChild(eventElement);
  }
  return item;
}

// ---- C. PopLimits ----

void TVirtualProjectRenderer::PopLimits(const TRef<ITreeItem>& previous,
                                        const TRef<ITreeItem>& next) {
  if (!previous || !next) return;
  std::vector<TRenderObjectLimitInfo>& limits = ActiveWalk().limits;
  while (!limits.empty() && TTreeImplement::IsChildOf(previous, limits.back().Event, true) &&
         !TTreeImplement::IsChildOf(next, limits.back().Event, true)) {
    limits.pop_back();
  }
}

// ---- D. LoopState ----

int32_t TVirtualProjectRenderer::LoopState(TLoops& loops, const TJumpMarks& marks,
                                           const TRef<ITreeItem>& item,
                                           const TRef<ITreeItem>& current, bool skipChildren,
                                           TLoopInfo*& record) {
  record = nullptr;
  if (loops.empty()) return kLoopStateOutside;
  TLoopInfo& top = loops.back();
  const TRef<ITreeItem> loopElement(dynamic_cast<ITreeItem*>(top.Loop.Get()));
  if (!loopElement) return kLoopStateBroken;
  TTreeWalkIndex scratch;
  TTreeWalkIndex& index = walk_ != nullptr ? walk_->structureIndex : scratch;
  const bool direct = TTreeImplement::IsChildOf(item, loopElement, false);
  // 3. outside the loop
  if (!direct && !TTreeImplement::IsChildOf(item, loopElement, true)) return kLoopStateOutside;
  // 1., 2. in the body: does the next step leave it?
  record = &top;
  int32_t code =
      index.LeavesBranch(item, loopElement, !skipChildren) ? kLoopStateRestart : kLoopStateInBody;
  if (!direct) return code;
  // 1. the end test, for direct children only
  if (!top.Ended && !top.Loop->IsLoopEnd(current, top.StartObject, marks)) return code;
  if (top.Loop->ChecksBefore() || top.Ended) {
    top.Ended = true;
    return kLoopStateExit;
  }
  // Tested after the body: one more step is taken, the loop is left at the next test.
  if (top.Loop->ChecksAfter()) top.Ended = true;
  return code;
}

int32_t TVirtualProjectRenderer::QueryLoopState(TLoops& loops, const TJumpMarks& marks,
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
      case kLoopStateOutside:
      case kLoopStateInBody: {
        TRef<ITreeItem> next = skipChildren ? walk.structureIndex.GetNextSibling(item)
                                            : walk.structureIndex.GetNextChildOrSibling(item);
        if (!next && item) next = walk.structureIndex.GetNext(walk.structure, item, false);
        return next;
      }
      case kLoopStateRestart:
        return TTreeImplement::GetFirstChild(
            TRef<ITreeItem>(dynamic_cast<ITreeItem*>(record->Loop.Get())));
      case kLoopStateExit: {
        // F. pop the record; the loop element's next sibling, or what the enclosing loop decides
        TRef<ITreeItem> loopElement(dynamic_cast<ITreeItem*>(record->Loop.Get()));
        walk.loops.erase(walk.loops.begin() + (record - walk.loops.data()));
        item = loopElement;
        skipChildren = true;
        continue;
      }
      default:
        return nullptr;
    }
  }
}

TRef<ITreeItem> TVirtualProjectRenderer::ExitLoop(TLoopInfo* record) {
  TWalk& walk = ActiveWalk();
  TRef<ITreeItem> loopElement(dynamic_cast<ITreeItem*>(record->Loop.Get()));
  walk.loops.erase(walk.loops.begin() + (record - walk.loops.data()));
  return NextItem(loopElement, true);
}

// ---- G. EnterLoop ----

TRef<ITreeItem> TVirtualProjectRenderer::EnterLoop(const TRef<ITreeItem>& loopElement) {
  TWalk& walk = ActiveWalk();
  // A loop without a body has nothing to repeat: entering it would leave a record that no step
  // inside it ever pops, and that would stand in for the enclosing loop from then on.
  if (!loopElement->HasChildren()) return loopElement;
  TRef<IStructureElementLoop> loop(dynamic_cast<IStructureElementLoop*>(loopElement.Get()));
  walk.loops.push_back({loop, walk.current, false});
  TLoopInfo& record = walk.loops.back();
  if (loop->ChecksBefore() && loop->IsLoopEnd(walk.current, record.StartObject, walk.marks)) {
    // The next NextItem leaves the loop without running the body.
    record.Ended = true;
    return TTreeImplement::GetFirstChild(loopElement);
  }
  return loopElement;
}

// ---- H. AdvanceCursor ----

TVirtualProjectRenderer::TAdvance TVirtualProjectRenderer::AdvanceCursor(
    TRef<ITreeItem>& object, TPageElement* consumer, bool start, TRef<ITreeItem>& structureItem) {
  TWalk& walk = ActiveWalk();
  TAdvance result;
  // 1.
  if (!object && !start) return result;
  // 2.
  for (int64_t round = 0; round < walk.maxAdvances; ++round) {
    // a.
    if (!object && start) {
      object = TTreeImplement::GetFirst(walk.slideShow);
      if (!object) return result;
    } else if (auto* advance = dynamic_cast<IObjectAdvance*>(consumer)) {
      advance->Advance(walk.slideShow, object);
    } else {
      object = NextInSlideShow(object);
    }
    // b.
    if (!walk.limits.empty() && !TTreeImplement::IsChildOf(object, walk.limits.back().Object, true)) {
      result.LimitLeft = true;
    }
    // c.
    result.StructureChanged = false;
    if (structureItem) {
      const TRef<ITreeItem> checked = CheckEvents(structureItem, object);
      TLoopInfo* record = nullptr;
      if (!SameItem(checked, structureItem)) {
        structureItem = checked;
        result.StructureChanged = true;
      } else if (LoopState(walk.loops, walk.marks, structureItem, object, false, record) ==
                 kLoopStateExit) {
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
    scratch->maxAdvances = 2 * (static_cast<int64_t>(scratch->slideShowIndex.Count(slideShowTree_)) + 1);
  }
  const TActiveWalk active(walk_, scratch.get());
  auto bindings = std::make_unique<TRenderPageElementList>();
  TRef<ITreeItem> working = current;
  const TPageElementList& elements = pageTemplate.Elements();
  for (int32_t i = 0; i < elements.Count(); ++i) {
    TPageElement* element = elements.Items(i);
    if (element == nullptr) continue;
    bindings->Add(std::make_unique<TRenderPageElementListItem>(element, working));
    const auto* consumer = dynamic_cast<const IObjectConsumer*>(element);
    if (!working || consumer == nullptr || !consumer->TakesObject()) continue;
    const TRef<ITreeItem> remembered = structureItem;
    const TAdvance advance = AdvanceCursor(working, element, false, structureItem);
    current = working;
    if (advance.StructureChanged) {
      PopLimits(remembered, structureItem);
      working = nullptr;
    }
    if (advance.LimitLeft) working = nullptr;
  }
  return bindings;
}

// ---- J. EmitPage ----

void TVirtualProjectRenderer::EmitPage(const TRef<ITreeItem>& pageElement,
                                       TRef<ITreeItem>& structureItem, TRef<ITreeItem>& current) {
  TWalk& walk = ActiveWalk();
  structureItem = nullptr;
  const auto* page = dynamic_cast<const IStructurePage*>(pageElement.Get());
  TPageTemplate* pageTemplate = page != nullptr ? page->GetTemplate() : nullptr;
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
  auto item = std::make_unique<TRenderPageTemplateListItem>(pageTemplate);
  structureItem = pageElement;
  item->SetElements(BindElements(*pageTemplate, current, structureItem));
  walk.pages->Add(std::move(item));
}

// ---- K. ProcessItem ----

bool TVirtualProjectRenderer::ProcessItem(TRef<ITreeItem>& item) {
  TWalk& walk = ActiveWalk();
  if (dynamic_cast<IStructurePage*>(item.Get()) != nullptr) {
    const TRef<ITreeItem> pageElement = item;
    EmitPage(pageElement, item, walk.current);
    return !SameItem(item, pageElement);
  }
  if (const auto* jump = dynamic_cast<const IStructureJump*>(item.Get())) {
    walk.current = jump->Target(walk.slideShow, walk.current, walk.marks);
    return false;
  }
  if (const auto* jumpMark = dynamic_cast<const IStructureJumpMark*>(item.Get())) {
    TRef<IJumpMarkInfo> record(new TJumpMarkInfo);
    jumpMark->Record(walk.slideShow, walk.current, *record);
    const std::string name = record->GetName();
    const auto same = std::find_if(walk.marks.begin(), walk.marks.end(),
                                   [&](const TRef<IJumpMarkInfo>& mark) {
                                     return SameTextAscii(mark->GetName(), name);
                                   });
    if (same != walk.marks.end()) walk.marks.erase(same);
    walk.marks.push_back(record);
    return false;
  }
  if (dynamic_cast<IStructureElementLoop*>(item.Get()) != nullptr) {
    item = EnterLoop(item);
    return false;
  }
  return false;
}

// ---- L. BuildPages ----

std::unique_ptr<TRenderPageTemplateList> TVirtualProjectRenderer::BuildPages(
    const TRef<ITree>& structure, const TRef<ITree>& slideShowTree) {
  // 1.
  auto pages = std::make_unique<TRenderPageTemplateList>();
  TWalk walk;
  walk.structure = structure;
  walk.slideShow = slideShowTree;
  walk.pages = pages.get();
  const int64_t structureCount = walk.structureIndex.Count(structure);
  const int64_t objectCount = walk.slideShowIndex.Count(slideShowTree);
  const int64_t limitUnit = structureCount + objectCount + 1;
  walk.maxLimits = static_cast<size_t>(structureCount + 1);
  walk.maxAdvances = 2 * (objectCount + 1);
  const TActiveWalk active(walk_, &walk);
  {
    // 2.
    TRef<ITreeItem> item = TTreeImplement::GetFirst(structure);
    TRef<ITreeItem> previous;
    AdvanceCursor(walk.current, nullptr, true, item);
    // 3.
    int64_t steps = 0;
    bool stop = false;
    while (item && !stop) {
      // a.
      item = CheckEvents(item, walk.current);
      PopLimits(previous, item);
      if (!item) break;
      if (dynamic_cast<IStructureEvent*>(item.Get()) != nullptr) {
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
      if (pages->Count() > kPagesPerUnit * limitUnit || steps > kStepsPerUnit * limitUnit) {
        stop = true;
      }
      ++steps;
    }
  }
  // 4.
  return pages;
}

std::unique_ptr<TRenderPageTemplateList> TVirtualProjectRenderer::Execute() {
  TRef<ITree> structure;
  if (project_ != nullptr) structure = TRef<ITree>(&project_->Structure());
  return BuildPages(structure, slideShowTree_);
}

}  // namespace nimbra
