// Turns a template project and a slideshow into the list of pages, without drawing anything. It
// walks two trees at once: the project's structure, which says which template comes next, how often
// to repeat and where to branch, and the slideshow tree, whose objects are bound in turn to the page
// elements that take one. The walk always ends: it stops once the list holds more than 100 × L
// pages or it has taken more than 1000 × L steps, L being the number of structure items plus the
// number of slideshow objects plus one.
#pragma once

#include <cstdint>
#include <memory>
#include <typeinfo>
#include <utility>
#include <vector>

#include "framework/CustomTree.h"
#include "framework/InterfacedPlugin.h"
#include "templates/RenderPageTemplateList.h"
#include "templates/StructureInterfaces.h"

namespace nimbra {

class IObjectAdvance;
class TPageElement;
class TPageTemplate;
class TPrintWizardPageTemplateProject;

// LoopState's answers.
enum class TLoopState {
  Broken,   // the loop element is no tree item
  Outside,  // the item is in no entered loop
  InBody,   // the next step stays in the loop's body
  Restart,  // the next step would leave the body: run it again
  Exit,     // leave the loop now
};

// A loop the walk is in.
struct TLoopInfo {
  TRef<IStructureElementLoop> Loop;
  // The current object when the loop was entered.
  TRef<ITreeItem> StartObject;
  bool Ended = false;
};
// Entered loops, the innermost last.
using TLoops = std::vector<TLoopInfo>;

// An event element that fired, and the object it fired at.
struct TRenderObjectLimitInfo {
  TRef<ITreeItem> Event;
  TRef<ITreeItem> Object;
};

class TVirtualProjectRenderer : public TInterfacedPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // How many pages and steps the walk may take per unit of L.
  static constexpr int64_t kPagesPerUnit = 100;
  static constexpr int64_t kStepsPerUnit = 1000;

  TVirtualProjectRenderer();
  ~TVirtualProjectRenderer() override;

  TPrintWizardPageTemplateProject* Project() const { return project_; }
  void SetProject(TPrintWizardPageTemplateProject* project) { project_ = project; }
  const TRef<ITree>& SlideShowTree() const { return slideShowTree_; }
  void SetSlideShowTree(TRef<ITree> tree) { slideShowTree_ = std::move(tree); }
  // When set, a blank page goes before a template whose Side would otherwise land on the wrong
  // page number (Side 1: even page numbers, Side 2: odd ones).
  bool InsertBlankPages() const { return insertBlankPages_; }
  void SetInsertBlankPages(bool insert) { insertBlankPages_ = insert; }

  // Binds each element of the template, in order, to the object current when it is reached; an
  // element that takes an object moves current on. Once the structure item changes (an event fired
  // or the enclosing loop ended) or the object leaves the limit of the event being run, the
  // remaining elements are bound to none.
  virtual std::unique_ptr<TRenderPageElementList> BindElements(const TPageTemplate& pageTemplate,
                                                               TRef<ITreeItem>& current,
                                                               TRef<ITreeItem>& structureItem);
  // Whether an object may be bound to an element: any object here.
  virtual bool IsAcceptable(const TRef<ITreeItem>& object) const;
  // Where the item stands with respect to the innermost entered loop ; record is that
  // loop's record, or none for Outside. Tests the loop's condition when the item is
  // a direct child of the loop, marking the record Ended when it holds.
  virtual TLoopState LoopState(TLoops& loops, const TJumpMarks& marks,
                               const TRef<ITreeItem>& item, const TRef<ITreeItem>& current,
                               bool skipChildren, TLoopInfo*& record);
  virtual TLoopState QueryLoopState(TLoops& loops, const TJumpMarks& marks,
                                    const TRef<ITreeItem>& item, const TRef<ITreeItem>& current,
                                    bool skipChildren);
  // The page list of the structure over the slideshow; the caller owns it. An empty first level
  // of the structure gives an empty list.
  virtual std::unique_ptr<TRenderPageTemplateList> BuildPages(const TRef<ITree>& structure,
                                                              const TRef<ITree>& slideShowTree);
  // BuildPages of the project's structure and SlideShowTree; an empty list without a project.
  virtual std::unique_ptr<TRenderPageTemplateList> Execute();

 private:
  struct TWalk;
  // Makes the walk (when there is one) the active walk for a scope; the one before comes back.
  class TActiveWalk {
   public:
    TActiveWalk(TWalk*& active, TWalk* walk) : active_(active), previous_(active) {
      if (walk != nullptr) active_ = walk;
    }
    ~TActiveWalk() { active_ = previous_; }
    TActiveWalk(const TActiveWalk&) = delete;
    TActiveWalk& operator=(const TActiveWalk&) = delete;

   private:
    TWalk*& active_;
    TWalk* previous_;
  };
  struct TAdvance {
    bool LimitLeft = false;
    bool StructureChanged = false;
  };

  TWalk& ActiveWalk() const;
  TRef<ITreeItem> NextInSlideShow(const TRef<ITreeItem>& object) const;
  // Whether an event beside the item fired; fired is then the structure item to go on with.
  bool CheckEvents(const TRef<ITreeItem>& item, TRef<ITreeItem>& current, TRef<ITreeItem>& fired);
  void PopLimits(const TRef<ITreeItem>& previous, const TRef<ITreeItem>& next);
  TRef<ITreeItem> NextItem(const TRef<ITreeItem>& item, bool skipChildren);
  TRef<ITreeItem> ExitLoop(TLoopInfo* record);
  TRef<ITreeItem> EnterLoop(const TRef<ITreeItem>& loopElement);
  // advance: the consuming element's own way of moving on, none for the next in the slideshow.
  TAdvance AdvanceCursor(TRef<ITreeItem>& object, IObjectAdvance* advance, bool start,
                         TRef<ITreeItem>& structureItem);
  // The photos a page of the element would show, counted up to limit.
  TPhotosAhead PhotosAhead(const TRef<ITreeItem>& pageElement, int32_t limit);
  void EmitPage(const TRef<ITreeItem>& pageElement, TRef<ITreeItem>& structureItem,
                TRef<ITreeItem>& current);
  bool ProcessItem(TRef<ITreeItem>& item);

  TPrintWizardPageTemplateProject* project_ = nullptr;
  TRef<ITree> slideShowTree_;
  bool insertBlankPages_ = false;
  // The state of the walk under way; none between walks.
  TWalk* walk_ = nullptr;
};

// The renderer the system uses: chapters, parallel groups and collages are never bound to
// elements, though the walk enters them and binds their children.
class TSlideShowVirtualProjectRenderer : public TVirtualProjectRenderer {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSlideShowVirtualProjectRenderer() = default;

  bool IsAcceptable(const TRef<ITreeItem>& object) const override;

 private:
  // The answer depends only on the object's class, while the casts that find it walk the whole
  // class hierarchy for every object of a long slideshow; a show holds a handful of classes.
  mutable std::vector<std::pair<const std::type_info*, bool>> acceptableClasses_;
};

}  // namespace nimbra
