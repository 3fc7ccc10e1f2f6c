// The part of every render engine that does not depend on the output: it has the page list built
// from the template project and the slideshow, walks it with progress reporting, turns each page
// record into a page, draws the page's background and asks every element to draw itself, in list
// order. An output (the picture engine) says how large the page is, which canvas elements draw
// on, and what happens to a finished page.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "elements/RenderContext.h"
#include "framework/CustomTree.h"
#include "framework/ErrorCounter.h"
#include "framework/InterfacedPlugin.h"
#include "framework/Progress.h"
#include "raster/Bitmap32.h"
#include "render/RenderEngineProperties.h"
#include "templates/PageGeometry.h"
#include "templates/RenderPageTemplateList.h"

namespace nimbra {

class TDecodedPictures;
class TPictureDecodeBatch;
class TPictureDecodePool;
class TPageElement;
class TPageTemplate;
class TPrintWizardPageTemplateProject;
class TProgressStepScope;

class TPrintWizardRenderEngine : public TInterfacedPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static constexpr const char* kPageElementCaption = "Seitenelement";
  static constexpr const char* kPagesCaption = "Erzeuge Seiten";

  TPrintWizardRenderEngine();
  ~TPrintWizardRenderEngine() override;

  // A text no part of the program reads.
  virtual void SetDocumentName(const std::string& name) { documentName_ = name; }
  // Neither is owned.
  virtual void SetErrorCounter(TErrorCounter* counter) { errorCounter_ = counter; }
  virtual void SetProperties(TRenderEngineProperties* properties) { properties_ = properties; }
  // The page's background over the whole bitmap; when canvas is another surface than the
  // bitmap's own, the bitmap is then copied onto it at (0, 0).
  virtual void DrawPageBackground(TBitmap32* canvas, TBitmap32& bitmap, TPageTemplate& page);
  virtual void ResetPageNumber() { pageNumber_ = 1; }
  // Dots per inch handed to every page; 96 here.
  virtual double Resolution() const;
  // What the output does with a finished page; nothing here.
  virtual void EndPage() {}
  // The pages of Project over SlideShowTree (blank pages as Properties ask); the caller owns it.
  virtual std::unique_ptr<TRenderPageTemplateList> BuildPageList();
  // The class of the settings this engine works with; none here.
  virtual const TMetaClass* PropertiesClass() const { return nullptr; }
  virtual void StartJob() { running_ = true; }
  virtual void EndJob() { running_ = false; }
  virtual void AbortJob() { running_ = false; }
  virtual void NextPageNumber() { ++pageNumber_; }
  // Draws an element that offers IPrintablePageElement (others are skipped) for the page bitmap
  // now being drawn: the engine's print call on Canvas, then the pass onto the page bitmap's own
  // canvas unless the element skips it. The page walk itself draws elements with its render
  // context and does not call this.
  virtual void RenderElement(TPageElement& element);
  // The element's Print on Canvas over PageRect.
  virtual void PrintElement(TPageElement& element);
  // A page bitmap its taker is done with: the next page of the same size is drawn into it rather
  // than into fresh memory, whose first touch costs about as much as drawing the page.
  void KeepSpareBitmap(TBitmap32 bitmap) { spareBitmap_ = std::move(bitmap); }
  // Draws one page into a new page bitmap of PageRect's size (the spare one when it has that
  // size), hands it to EndPage and frees it;
  // exceptions pass on to the caller once the bitmap is freed. Chance comes from the calling
  // thread's current generator.
  virtual void RenderPage(const TRenderPageTemplateListItem& record);
  // The page in the output's pixels.
  virtual TPixelRect PageRect() const = 0;
  // The surface elements print on, or none.
  virtual TBitmap32* Canvas() const = 0;
  // Every page of BuildPageList in order, numbered from 1; stops after the current page once
  // Cancel was called.
  virtual void RenderAll();
  // Safe to call from another thread while a run goes on.
  virtual void Cancel() { cancelled_ = true; }

  // The listed pages of a list (0-based indices, in the given order) as one run, each numbered
  // by its position in the list (index + 1), with the progress and cancelling of RenderAll; an
  // index outside the list raises std::out_of_range before anything is drawn.
  void RenderPages(const TRenderPageTemplateList& list, const std::vector<int32_t>& indices);

  const std::string& DocumentName() const { return documentName_; }
  TErrorCounter* ErrorCounter() const { return errorCounter_; }
  TRenderEngineProperties* Properties() const { return properties_; }
  TProgress* Progress() const { return progress_; }
  void SetProgress(TProgress* progress) { progress_ = progress; }
  TPrintWizardPageTemplateProject* Project() const { return project_; }
  void SetProject(TPrintWizardPageTemplateProject* project) { project_ = project; }
  const TRef<ITree>& SlideShowTree() const { return slideShowTree_; }
  void SetSlideShowTree(TRef<ITree> tree) { slideShowTree_ = std::move(tree); }
  // The bitmap of the page being drawn; none between pages.
  TBitmap32* PageBitmap() const { return pageBitmap_.get(); }
  int32_t PageNumber() const { return pageNumber_; }
  void SetPageNumber(int32_t pageNumber) { pageNumber_ = pageNumber; }
  bool Running() const { return running_; }
  bool Cancelled() const { return cancelled_; }
  // How many pictures of a page are decoded at once while it is composed: 0 (the default) for one
  // per processor, 1 to have each element decode its picture as it draws. Pages come out the
  // same either way.
  int DecodeThreads() const { return decodeThreads_; }
  void SetDecodeThreads(int threads) { decodeThreads_ = threads; }

 protected:
  // The page bitmap, for outputs that keep or replace it in EndPage.
  std::unique_ptr<TBitmap32>& PageBitmapHolder() { return pageBitmap_; }
  // A context for rendering into bitmap for output, seen on canvas: the engine's page rectangle,
  // resolution and error counter, chance from the drawing thread's current generator.
  TRenderContext OutputContext(TBitmap32* bitmap, TBitmap32* canvas) const;
  // Steps 3 to 7 of RenderPage with the context: builds the record's page, gives it the context's
  // resolution, draws the background into the context's target (it must have one; every pixel
  // of it is written, so it need not be cleared beforehand) and every
  // element in list order, and frees the page. Nothing of the engine changes but the page's
  // progress step (none: no progress), so pages with contexts, targets and counters of their own
  // can be drawn on several threads at once.
  void DrawRecord(const TRenderPageTemplateListItem& record, TRenderContext& context,
                  TProgressStepScope* step) const;

 private:
  void RunPages(const TRenderPageTemplateList& list, const std::vector<int32_t>& indices,
                bool numberByIndex);
  void DrawElements(TPageTemplate& page, TRenderContext& context, TProgressStepScope* step) const;
  // Starts decoding the pictures of the page's elements into decoded on the pool's threads;
  // none when the page has fewer than two.
  std::unique_ptr<TPictureDecodeBatch> DecodeAhead(TPageTemplate& page,
                                                   const TRenderContext& context,
                                                   const TPictureDecodePool& pool,
                                                   TDecodedPictures& decoded) const;

  std::string documentName_;
  std::unique_ptr<TBitmap32> pageBitmap_;
  TBitmap32 spareBitmap_;
  int32_t pageNumber_ = 0;
  bool running_ = false;
  std::atomic<bool> cancelled_ = false;
  TRenderEngineProperties* properties_ = nullptr;
  TErrorCounter* errorCounter_ = nullptr;
  TProgress* progress_ = nullptr;
  TPrintWizardPageTemplateProject* project_ = nullptr;
  TRef<ITree> slideShowTree_;
  int decodeThreads_ = 0;
};

}  // namespace nimbra
