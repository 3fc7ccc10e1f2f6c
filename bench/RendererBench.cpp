// Two speed goals of rendering.
//
// Building the page list: a slideshow of picture objects in one level, laid onto a four-picture
// page that a loop repeats until the list ends. The goal is at most 100 ms for 100,000 pictures,
// and at most 12 times that for ten times the pictures (the walk is linear in its steps).
//
// Drawing a page: the picture engine renders a 3840 × 2160 page whose four quarters each show a
// 24-megapixel JPEG photo (made by the benchmark). Goals: at most 1.2 times what vipsthumbnail
// takes to reduce the same four photos to the same box sizes (run in the same process, so that
// both see the same machine load), and a peak of at most three page bitmaps plus one decoded
// working copy above what the process held before. Every photo must be decoded once per page.
//
// The summaries are printed at the end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "TempFolder.h"
#include "elements/ElementRegistration.h"
#include "elements/PrintPageElementPicture.h"
#include "framework/Plugins.h"
#include "raster/PictureFormatRegistration.h"
#include "raster/PictureWriters.h"
#include "render/PrintWizardPictureEngine.h"
#include "render/RenderRegistration.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInterfaces.h"
#include "slideshow/SlideShowTree.h"
#include "storage/FileAccess.h"
#include "storage/FileStream.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureElements.h"
#include "templates/VirtualProjectRenderer.h"

extern char** environ;

namespace nimbra::bench {

namespace {

// The units the renderer and the picture engine need, in the program's order, for the run.
struct Units {
  Units() {
    SetMainPlugins(std::make_unique<TPlugins>());
    DocumentUnitsStartup();
    RenderStartup();
    RegisterPictureFormats();
  }
  ~Units() {
    UnregisterPictureFormats();
    RenderShutdown();
    DocumentUnitsShutdown();
    SetMainPlugins(nullptr);
  }
};

Units& TheUnits() {
  static Units units;
  return units;
}

// A slideshow object made by class name, as a document read from a file makes it.
std::unique_ptr<TSlideShowObject> NewPictureObject() {
  std::unique_ptr<TObject> object = CreateByClassName("TExtPicSlideShowObject");
  auto* picture = dynamic_cast<TSlideShowObject*>(object.get());
  if (picture == nullptr) throw std::runtime_error("no picture class");
  object.release();
  return std::unique_ptr<TSlideShowObject>(picture);
}

// Makes a loop over the page until the slideshow ends the project's whole structure.
void LoopOverPage(TPrintWizardPageTemplateProject& project, TPageTemplate& page) {
  auto loop = std::make_unique<TSlideShowPageTemplateStructureElementLoop>();
  loop->LoopProperties().SetEvent(std::make_unique<TStructureEventOnListEnd>());
  TRef<ITreeItem> loopItem = HandOverToRef<ITreeItem>(std::move(loop));
  project.Structure().GetItems()->Add(loopItem);
  auto pageElement = std::make_unique<TPageTemplateStructureElementPage>();
  pageElement->SetTemplate(&page);
  loopItem->NeedChildren()->Add(HandOverToRef<ITreeItem>(std::move(pageElement)));
}

// A document of pictures and its tree, and the project with its loop over a four-picture page.
class Album {
 public:
  explicit Album(int64_t pictures) {
    for (int64_t i = 0; i < pictures; ++i) document_.RootList().Add(NewPictureObject());
    tree_ = std::make_unique<TCustomTree>();
    BuildSlideShowTree(document_, *tree_);
    TPageTemplate& page = *project_.FirstTemplate();
    for (int i = 0; i < 4; ++i) page.Elements().Add(std::make_unique<TPrintPageElementPicture>());
    LoopOverPage(project_, page);
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
  TheUnits();
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

// The same number of runs for both sizes, so that both bests are taken the same way: left to
// itself the benchmark would time the larger list once, cold, and the smaller one warm.
BENCHMARK(BM_BuildPages)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// ---- drawing a page of photos ----

constexpr int kPageWidth = 3840;
constexpr int kPageHeight = 2160;
constexpr int kPhotoWidth = 6000;
constexpr int kPhotoHeight = 4000;
constexpr int kPhotos = 4;
// Each photo's box: a quarter of the page.
constexpr int kBoxWidth = kPageWidth / 2;
constexpr int kBoxHeight = kPageHeight / 2;

// A photo-like picture: gradients under fine grain, so that it compresses like a photo.
void WritePhoto(const std::string& path, uint32_t seed) {
  TBitmap32 picture(kPhotoWidth, kPhotoHeight);
  uint32_t noise = seed;
  for (int y = 0; y < kPhotoHeight; ++y) {
    TColor32* row = picture.ScanLine(y);
    for (int x = 0; x < kPhotoWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      const auto grain = static_cast<int>((noise >> 16) & 31);
      row[x] = Color32(static_cast<uint8_t>((x * 200 / kPhotoWidth + seed) % 200 + grain),
                       static_cast<uint8_t>(y * 200 / kPhotoHeight + grain),
                       static_cast<uint8_t>((x + y + seed) % 200 + grain));
    }
  }
  TFileStream stream(path, FileMode::Create);
  SaveJpeg(picture, stream, 85);
}

// Counts the bytes read from each name: a photo decoded twice for one page is read twice over,
// while reading its header first to choose the decode size costs a few hundred bytes.
class TCountingFileAccess : public IFileAccess {
 public:
  std::unique_ptr<TStream> OpenFile(std::string_view name) override {
    std::unique_ptr<TStream> stream = files_.OpenFile(name);
    if (!stream) return stream;
    return std::make_unique<TCountingStream>(std::move(stream), read_[std::string(name)]);
  }
  bool FileExists(std::string_view name) override { return files_.FileExists(name); }
  std::map<std::string, int64_t> TakeCounts() { return std::exchange(read_, {}); }

 private:
  class TCountingStream : public TStream {
   public:
    TCountingStream(std::unique_ptr<TStream> stream, int64_t& count)
        : stream_(std::move(stream)), count_(count) {}
    int64_t Read(void* buffer, int64_t count) override {
      const int64_t got = stream_->Read(buffer, count);
      count_ += got;
      return got;
    }
    int64_t Write(const void* buffer, int64_t count) override {
      return stream_->Write(buffer, count);
    }
    int64_t Seek(int64_t offset, SeekOrigin origin) override {
      return stream_->Seek(offset, origin);
    }
    int64_t GetSize() override { return stream_->GetSize(); }
    void SetSize(int64_t size) override { stream_->SetSize(size); }

   private:
    std::unique_ptr<TStream> stream_;
    int64_t& count_;
  };

  TFileAccess files_;
  std::map<std::string, int64_t> read_;
};

// The process's resident memory in bytes by its /proc/self/status line ("VmRSS:", "VmHWM:").
int64_t StatusBytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key, 0) == 0) return std::stoll(line.substr(key.size())) * 1024;
  }
  return -1;
}

// Starts the peak (VmHWM) again from the current resident size.
bool ResetPeakMemory() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

// The photos on disk, the documents over them, and the picture engine with its page.
class PhotoPage {
 public:
  PhotoPage() {
    for (int i = 0; i < kPhotos; ++i) {
      photos_.push_back(folder_.File("photo" + std::to_string(i + 1) + ".jpg"));
      WritePhoto(photos_.back(), 17u * static_cast<uint32_t>(i) + 1);
      std::unique_ptr<TSlideShowObject> object = NewPictureObject();
      auto* files = dynamic_cast<IFileReferences*>(object.get());
      if (files == nullptr) throw std::runtime_error("a picture object without a file");
      files->SetFileName(photos_.back());
      document_.RootList().Add(std::move(object));
    }
    tree_ = std::make_unique<TCustomTree>();
    BuildSlideShowTree(document_, *tree_);
    TPageTemplate& page = *project_.FirstTemplate();
    for (const TDoubleRect& quarter : {TDoubleRect{0, 0, 0.5, 0.5}, TDoubleRect{0.5, 0, 1, 0.5},
                                       TDoubleRect{0, 0.5, 0.5, 1}, TDoubleRect{0.5, 0.5, 1, 1}}) {
      auto element = std::make_unique<TPrintPageElementPicture>();
      element->SetBounds(quarter);
      page.Elements().Add(std::move(element));
    }
    LoopOverPage(project_, page);
    files_ = std::make_shared<TCountingFileAccess>();
    SetFileAccess(files_);
    bag_.SetSizeUnit(kSizeUnitPixels);
    bag_.SetWidth(kPageWidth);
    bag_.SetHeight(kPageHeight);
    engine_.emplace();
    engine_->SetProperties(&bag_);
    engine_->SetProject(&project_);
    engine_->SetSlideShowTree(TRef<ITree>(tree_.get()));
    list_ = engine_->BuildPageList();
    if (list_->Count() != 1) throw std::runtime_error("the photos do not make one page");
  }
  ~PhotoPage() {
    engine_.reset();
    SetFileAccess(nullptr);
    list_.reset();
    Free(tree_);
  }

  std::unique_ptr<TBitmap32> Render() { return engine_->RenderToBitmap(*list_->Items(0)); }
  const std::vector<std::string>& Photos() const { return photos_; }
  const std::string& Folder() const { return folderName_; }
  TCountingFileAccess& Files() { return *files_; }

 private:
  test::TempFolder folder_;
  std::string folderName_ = folder_.Path().string();
  std::vector<std::string> photos_;
  TSlideShow document_;
  std::unique_ptr<TCustomTree> tree_;
  TPrintWizardPageTemplateProject project_;
  std::shared_ptr<TCountingFileAccess> files_;
  TPrintWizardPictureEngineProperties bag_;
  std::optional<TPrintWizardPictureEngine> engine_;
  std::unique_ptr<TRenderPageTemplateList> list_;
};

struct PageResults {
  double bestMs = 0;
  int64_t peakBytes = -1;
  // Bytes read of each photo per page, as a multiple of its file size.
  double mostRead = 0;
  double leastRead = 0;
  std::vector<std::string> photos;
  std::string folder;
};

PageResults& PageResult() {
  static PageResults results;
  return results;
}

PhotoPage& ThePhotoPage() {
  // The units first: they must outlive the page, and its members need them.
  TheUnits();
  static PhotoPage page;
  return page;
}

void BM_RenderPhotoPage(benchmark::State& state) {
  PhotoPage& page = ThePhotoPage();
  PageResults& results = PageResult();
  results.photos = page.Photos();
  results.folder = page.Folder();
  // The peak of one page above what the process holds now, on its own before the timed runs.
  if (results.peakBytes < 0) {
    // Memory freed by earlier benchmarks but still resident would hide the page's own needs.
    malloc_trim(0);
    const bool reset = ResetPeakMemory();
    const int64_t before = StatusBytes("VmRSS:");
    std::unique_ptr<TBitmap32> picture = page.Render();
    if (reset) results.peakBytes = StatusBytes("VmHWM:") - before;
    if (!picture || picture->Width() != kPageWidth) state.SkipWithError("no page");
  }
  double best = 0;
  for (auto _ : state) {
    page.Files().TakeCounts();
    const auto start = std::chrono::steady_clock::now();
    std::unique_ptr<TBitmap32> picture = page.Render();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    best = best == 0 ? took.count() : std::min(best, took.count());
    benchmark::DoNotOptimize(picture->Bits());
    double most = 0, least = 1e9;
    const std::map<std::string, int64_t> counts = page.Files().TakeCounts();
    for (const std::string& photo : page.Photos()) {
      const auto found = counts.find(photo);
      const double read = found == counts.end() ? 0.0 : static_cast<double>(found->second);
      const double times = read / static_cast<double>(std::filesystem::file_size(photo));
      most = std::max(most, times);
      least = std::min(least, times);
    }
    results.mostRead = most;
    results.leastRead = least;
  }
  results.bestMs = best * 1e3;
}

BENCHMARK(BM_RenderPhotoPage)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// ---- vipsthumbnail on the same photos ----

struct ProgramRun {
  double ms = -1;
};

// Runs a program with its arguments; its wall time, or -1 when it cannot be run or fails. (Its
// peak memory cannot be told: a spawned child shares this process's memory until it runs the
// program, so the kernel's figure for it starts from this process's peak.)
ProgramRun RunProgram(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return {};
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return {};
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  return {took.count() * 1e3};
}

// The best of a few runs of vipsthumbnail over the photos into the boxes of the page.
ProgramRun BestThumbnailRun(const PageResults& page, const std::vector<std::string>& extra) {
  std::vector<std::string> args = {"vipsthumbnail"};
  args.insert(args.end(), extra.begin(), extra.end());
  args.insert(args.end(), page.photos.begin(), page.photos.end());
  args.push_back("--size");
  args.push_back(std::to_string(kBoxWidth) + "x" + std::to_string(kBoxHeight));
  // The vips format: the pixels as they are, so that no encoder is timed.
  args.push_back("-o");
  args.push_back(page.folder + "/thumbnail-%s.v");
  ProgramRun best;
  for (int run = 0; run < 5; ++run) {
    const ProgramRun one = RunProgram(args);
    if (one.ms < 0) return {};
    if (best.ms < 0 || one.ms < best.ms) best = one;
  }
  return best;
}

double Megabytes(int64_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

void PrintPageSummary() {
  const PageResults& page = PageResult();
  if (page.bestMs <= 0) return;
  const int64_t pageBytes = int64_t{kPageWidth} * kPageHeight * 4;
  // The working copy is at most twice the fitted box: 6000 × 4000 fits a 1920 × 1080 box as
  // 1620 × 1080.
  const int64_t fittedWidth = int64_t{kPhotoWidth} * kBoxHeight / kPhotoHeight;
  const int64_t workingBytes = 2 * fittedWidth * 2 * kBoxHeight * 4;
  const int64_t goalBytes = 3 * pageBytes + workingBytes;
  std::cout << "page of four 24-megapixel photos at " << kPageWidth << "x" << kPageHeight
            << ": best " << page.bestMs << " ms; peak " << Megabytes(page.peakBytes)
            << " MiB above the start (goal at most " << Megabytes(goalBytes)
            << " MiB: three pages of " << Megabytes(pageBytes) << " and a working copy of "
            << Megabytes(workingBytes) << ")\n";
  std::cout << "bytes read of each photo per page: " << page.leastRead << " to " << page.mostRead
            << " times its file size (goal below 2: one decode)\n";
  const ProgramRun vips = BestThumbnailRun(page, {});
  const ProgramRun vipsOneThread = BestThumbnailRun(page, {"--vips-concurrency=1"});
  if (vips.ms < 0) {
    std::cout << "vipsthumbnail could not be run (Debian package libvips-tools)\n";
    return;
  }
  std::cout << "vipsthumbnail, same photos into " << kBoxWidth << "x" << kBoxHeight
            << " boxes: best " << vips.ms << " ms; on one thread " << vipsOneThread.ms << " ms\n";
  std::cout << "ratio page / vipsthumbnail: " << page.bestMs / vips.ms
            << " (goal at most 1.2); against one thread: " << page.bestMs / vipsOneThread.ms
            << "\n";
}

}  // namespace

}  // namespace nimbra::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  nimbra::bench::PrintPageSummary();
  const auto& results = nimbra::bench::MillisecondsPerRun();
  if (results.count(100000) != 0 && results.count(1000000) != 0) {
    std::cout << "best of runs: " << results.at(100000) << " ms for 100,000 pictures (goal 100), "
              << results.at(1000000) << " ms for 1,000,000; ratio "
              << results.at(1000000) / results.at(100000) << " (goal at most 12)\n";
  }
  return 0;
}
