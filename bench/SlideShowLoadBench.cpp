// Two speed goals of slideshow documents, on a generated document of 10,000 picture objects in
// chapters of 100 (each picture with a file name and keywords, as albums hold them):
// - loading it from memory: at most 30 ms;
// - building its tree for the renderer: at most 10 ms.
// The summary is printed at the end.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "framework/CustomTree.h"
#include "framework/Plugins.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInterfaces.h"
#include "slideshow/SlideShowRegistration.h"
#include "slideshow/SlideShowTree.h"
#include "storage/MemoryStream.h"

namespace nimbra::bench {

namespace {

constexpr int kChapters = 100;
constexpr int kPicturesPerChapter = 100;
constexpr double kLoadGoalMs = 30;
constexpr double kTreeGoalMs = 10;

struct Units {
  Units() {
    SetMainPlugins(std::make_unique<TPlugins>());
    RegisterSlideShowKinds(*MainPlugins());
  }
  ~Units() {
    UnregisterSlideShowKinds(*MainPlugins());
    SetMainPlugins(nullptr);
  }
};

Units& TheUnits() {
  static Units units;
  return units;
}

// A slideshow object made by class name, as a document read from a file makes it.
std::unique_ptr<TSlideShowObject> NewObject(const char* className) {
  std::unique_ptr<TObject> object = CreateByClassName(className);
  auto* slideShowObject = dynamic_cast<TSlideShowObject*>(object.get());
  if (slideShowObject == nullptr) throw std::runtime_error(std::string("no class ") + className);
  object.release();
  return std::unique_ptr<TSlideShowObject>(slideShowObject);
}

// The stored document, made once.
const std::string& DocumentBytes() {
  static const std::string bytes = [] {
    TSlideShow document;
    for (int c = 0; c < kChapters; ++c) {
      std::unique_ptr<TSlideShowObject> chapter = NewObject("TContainerSlideShowObject");
      Supports<IChapter>(chapter.get())->SetChapterText("Tag " + std::to_string(c + 1));
      TSlideShowObjectList& pictures = AsCollection(chapter.get())->CreateChildren();
      for (int p = 0; p < kPicturesPerChapter; ++p) {
        std::unique_ptr<TSlideShowObject> picture = NewObject("TExtPicSlideShowObject");
        Supports<IFileReferences>(picture.get())
            ->SetFileName("Fotos\\Tag " + std::to_string(c + 1) + "\\IMG_" +
                          std::to_string(c * kPicturesPerChapter + p) + ".jpg");
        Supports<IKeywords>(picture.get())->SetKeywords("Urlaub; Meer");
        pictures.Add(std::move(picture));
      }
      document.RootList().Add(std::move(chapter));
    }
    TMemoryStream stream;
    if (!document.SaveToStream(stream)) throw std::runtime_error("the document was not written");
    return stream.ToString();
  }();
  return bytes;
}

double& BestLoadMs() {
  static double best = 0;
  return best;
}

double& BestTreeMs() {
  static double best = 0;
  return best;
}

void Keep(double& best, double milliseconds) {
  best = best == 0 ? milliseconds : std::min(best, milliseconds);
}

void BM_LoadSlideShow(benchmark::State& state) {
  TheUnits();
  const std::string& bytes = DocumentBytes();
  for (auto _ : state) {
    TSlideShow document;
    TMemoryStream stream(bytes);
    const auto start = std::chrono::steady_clock::now();
    const TSlideShowLoad result = document.LoadFromStream(stream);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    // Freeing the document is not part of loading it.
    state.SetIterationTime(took.count());
    Keep(BestLoadMs(), took.count() * 1e3);
    if (result != TSlideShowLoad::Loaded ||
        document.TotalObjectCount() != kChapters * (kPicturesPerChapter + 1)) {
      state.SkipWithError("the document did not load whole");
      return;
    }
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}

BENCHMARK(BM_LoadSlideShow)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_BuildSlideShowTree(benchmark::State& state) {
  TheUnits();
  TSlideShow document;
  TMemoryStream stream(DocumentBytes());
  if (document.LoadFromStream(stream) != TSlideShowLoad::Loaded) {
    state.SkipWithError("the document did not load");
    return;
  }
  for (auto _ : state) {
    auto tree = std::make_unique<TCustomTree>();
    const auto start = std::chrono::steady_clock::now();
    BuildSlideShowTree(document, *tree);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    Keep(BestTreeMs(), took.count() * 1e3);
    Free(tree);
  }
}

BENCHMARK(BM_BuildSlideShowTree)->UseManualTime()->Unit(benchmark::kMillisecond);

void PrintSummary() {
  std::cout << "\nSlideshow of " << kChapters * kPicturesPerChapter << " pictures in chapters of "
            << kPicturesPerChapter << ":\n"
            << "  loading:       best " << BestLoadMs() << " ms (goal <= " << kLoadGoalMs << " ms) "
            << (BestLoadMs() <= kLoadGoalMs ? "met" : "MISSED") << "\n"
            << "  building tree: best " << BestTreeMs() << " ms (goal <= " << kTreeGoalMs
            << " ms) " << (BestTreeMs() <= kTreeGoalMs ? "met" : "MISSED") << "\n";
}

}  // namespace

}  // namespace nimbra::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  nimbra::bench::PrintSummary();
  return 0;
}
