// The album's pages as the desktop changer sees them: the page list the virtual project renderer
// makes of the template project over the slideshow tree, drawn one at a time by the picture engine
// at the size of the screen's work area. It owns the engine with its settings, progress reporter
// and error counter; the project and the tree stay the album's.
#pragma once

#include <memory>
#include <utility>

#include "album/PageRenderer.h"
#include "framework/CustomTree.h"
#include "framework/ErrorCounter.h"
#include "framework/Progress.h"
#include "render/PrintWizardPictureEngine.h"
#include "render/PrintWizardPictureEngineProperties.h"
#include "templates/RenderPageTemplateList.h"

namespace nimbra {

class TPrintWizardPageTemplateProject;

// The page list of the project's structure over the slideshow tree; the caller owns it.
std::unique_ptr<TRenderPageTemplateList> BuildPageList(TPrintWizardPageTemplateProject& project,
                                                       ITree& tree);

class TAlbumPages : public IPageRenderer {
 public:
  // Neither project nor tree is owned; both must outlive the pages or be let go with Detach.
  TAlbumPages(TPrintWizardPageTemplateProject& project, ITree& tree);
  ~TAlbumPages() override;
  TAlbumPages(const TAlbumPages&) = delete;
  TAlbumPages& operator=(const TAlbumPages&) = delete;

  int32_t PageCount() const override;
  // The page drawn at width × height pixels and dpi; raises when the engine no longer has its
  // documents or the page cannot be drawn.
  TBitmap32 RenderPage(int32_t pageIndex, int width, int height, double dpi) override;
  // The error counter's warnings since the last call: first how many pictures could not be drawn
  // (PicturesNotDrawnMessage), then the others one by one.
  std::vector<std::string> TakeWarnings() override;
  // Kept for the next page, so that every change does not fault a page's memory in anew.
  void GiveBack(TBitmap32 page) override { engine_.KeepSpareBitmap(std::move(page)); }
  // Builds the page list anew from the tree as it is now (after its items were reordered). Call
  // once no page renders; nothing happens after Detach.
  void RebuildPages();
  // Clears the engine's references to the tree and the project and frees the page list, whose
  // records point into the project. Call once no page renders.
  void Detach();

  TPrintWizardPictureEngine& Engine() { return engine_; }
  TErrorCounter& ErrorCounter() { return errorCounter_; }
  TProgress& Progress() { return progress_; }
  const TRenderPageTemplateList* Pages() const { return pages_.get(); }

 private:
  TProgress progress_;
  TErrorCounter errorCounter_;
  TPrintWizardPictureEngineProperties properties_;
  TPrintWizardPictureEngine engine_;
  std::unique_ptr<TRenderPageTemplateList> pages_;
  int32_t warningsTaken_ = 0;
};

}  // namespace nimbra
