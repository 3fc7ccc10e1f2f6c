// How fast the virtual project renderer builds the page list: a slideshow of picture objects in one
// level, laid onto a four-picture page that a loop repeats until the list ends. The goal is at most
// 100 ms for 100,000 pictures, and at most 12 times that for ten times the pictures (the walk is
// linear in its steps). The ratio is printed at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>

#include "elements/PrintPageElementPicture.h"
#include "framework/Plugins.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowRegistration.h"
#include "slideshow/SlideShowTree.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureElements.h"
#include "templates/TemplateRegistration.h"
#include "templates/VirtualProjectRenderer.h"

namespace nimbra::bench {

namespace {

// The units the renderer needs, for the program's run.
struct Units {
  Units() {
    SetMainPlugins(std::make_unique<TPlugins>());
    RegisterSlideShowKinds(*MainPlugins());
    PageTemplatesStartup();
  }
  ~Units() {
    PageTemplatesShutdown();
    SetMainPlugins(nullptr);
  }
};

// A document of pictures and its tree, and the project with its loop over a four-picture page.
class Album {
 public:
  explicit Album(int64_t pictures) {
    for (int64_t i = 0; i < pictures; ++i) {
      // Created by class name, as a document read from a file creates them.
      std::unique_ptr<TObject> object = CreateByClassName("TExtPicSlideShowObject");
      auto* picture = dynamic_cast<TSlideShowObject*>(object.get());
      if (picture == nullptr) throw std::runtime_error("no picture class");
      object.release();
      document_.RootList().Add(std::unique_ptr<TSlideShowObject>(picture));
    }
    tree_ = std::make_unique<TCustomTree>();
    BuildSlideShowTree(document_, *tree_);
    TPageTemplate& page = *project_.FirstTemplate();
    for (int i = 0; i < 4; ++i) page.Elements().Add(std::make_unique<TPrintPageElementPicture>());
    auto loop = std::make_unique<TSlideShowPageTemplateStructureElementLoop>();
    loop->LoopProperties().SetEvent(std::make_unique<TStructureEventOnListEnd>());
    TRef<ITreeItem> loopItem = HandOverToRef<ITreeItem>(std::move(loop));
    project_.Structure().GetItems()->Add(loopItem);
    auto pageElement = std::make_unique<TPageTemplateStructureElementPage>();
    pageElement->SetTemplate(&page);
    loopItem->NeedChildren()->Add(HandOverToRef<ITreeItem>(std::move(pageElement)));
  }
  ~Album() { Free(tree_); }

  std::unique_ptr<TRenderPageTemplateList> BuildPages() {
    TSlideShowVirtualProjectRenderer renderer;
    return renderer.BuildPages(TRef<ITree>(&project_.Structure()), TRef<ITree>(tree_.get()));
  }

 private:
  TSlideShow document_;
  std::unique_ptr<TCustomTree> tree_;
  TPrintWizardPageTemplateProject project_;
};

std::map<int64_t, double>& MillisecondsPerRun() {
  static std::map<int64_t, double> results;
  return results;
}

void BM_BuildPages(benchmark::State& state) {
  static Units units;
  const int64_t pictures = state.range(0);
  Album album(pictures);
  int64_t pages = 0;
  double best = 0;
  for (auto _ : state) {
    // Freeing the list is not part of building it.
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<TRenderPageTemplateList> list = album.BuildPages();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    best = best == 0 ? took.count() : std::min(best, took.count());
    pages = list->Count();
  }
  if (pages != (pictures + 3) / 4) state.SkipWithError("wrong page count");
  state.counters["pages"] = static_cast<double>(pages);
  MillisecondsPerRun()[pictures] = best * 1e3;
}

BENCHMARK(BM_BuildPages)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace nimbra::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const auto& results = nimbra::bench::MillisecondsPerRun();
  if (results.count(100000) != 0 && results.count(1000000) != 0) {
    std::cout << "best of runs: " << results.at(100000) << " ms for 100,000 pictures (goal 100), "
              << results.at(1000000) << " ms for 1,000,000; ratio "
              << results.at(1000000) / results.at(100000) << " (goal at most 12)\n";
  }
  return 0;
}
