#include "album/AlbumPages.h"

#include <stdexcept>

#include "elements/ElementErrorReporting.h"
#include "render/SizeUnits.h"
#include "templates/PageTemplateProject.h"
#include "templates/VirtualProjectRenderer.h"

namespace nimbra {

std::unique_ptr<TRenderPageTemplateList> BuildPageList(TPrintWizardPageTemplateProject& project,
                                                       ITree& tree) {
  TSlideShowVirtualProjectRenderer renderer;
  renderer.SetProject(&project);
  renderer.SetSlideShowTree(TRef<ITree>(&tree));
  return renderer.Execute();
}

TAlbumPages::TAlbumPages(TPrintWizardPageTemplateProject& project, ITree& tree) {
  engine_.SetProgress(&progress_);
  engine_.SetErrorCounter(&errorCounter_);
  engine_.SetProperties(&properties_);
  engine_.SetSlideShowTree(TRef<ITree>(&tree));
  engine_.SetProject(&project);
  pages_ = BuildPageList(project, tree);
}

TAlbumPages::~TAlbumPages() { Detach(); }

void TAlbumPages::RebuildPages() {
  if (engine_.Project() == nullptr || !engine_.SlideShowTree()) return;
  pages_ = BuildPageList(*engine_.Project(), *engine_.SlideShowTree());
}

void TAlbumPages::Detach() {
  pages_.reset();
  engine_.SetSlideShowTree(TRef<ITree>());
  engine_.SetProject(nullptr);
}

int32_t TAlbumPages::PageCount() const { return pages_ ? pages_->Count() : 0; }

TBitmap32 TAlbumPages::RenderPage(int32_t pageIndex, int width, int height, double dpi) {
  if (!pages_ || engine_.Project() == nullptr) throw std::logic_error("the album is closed");
  if (pageIndex < 0 || pageIndex >= pages_->Count()) {
    throw std::out_of_range("no page " + std::to_string(pageIndex + 1));
  }
  properties_.SetSizeUnit(kSizeUnitPixels);
  properties_.SetWidth(width);
  properties_.SetHeight(height);
  properties_.SetResolution(dpi);
  std::unique_ptr<TBitmap32> page = engine_.RenderToBitmap(*pages_->Items(pageIndex));
  if (!page) throw std::runtime_error("page " + std::to_string(pageIndex + 1) + " was not drawn");
  return std::move(*page);
}

std::vector<std::string> TAlbumPages::TakeWarnings() {
  std::vector<std::string> texts;
  const TErrorList& warnings = errorCounter_.Warnings();
  // The pictures a page lacks are said together, with their count.
  const std::string notDrawn = PicturesNotDrawnMessage(warnings, warningsTaken_);
  if (!notDrawn.empty()) texts.push_back(notDrawn);
  for (; warningsTaken_ < warnings.Count(); ++warningsTaken_) {
    const TError& warning = warnings.Items(warningsTaken_);
    if (warning.ErrorNr != kPictureNotDrawnErrorNr) texts.push_back(warning.Text);
  }
  return texts;
}

}  // namespace nimbra
