// nimbra-kit render: draws an album's pages into numbered picture files through the picture
// engine's save mode, with the documents read as the album reads them.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "album/AlbumPackage.h"
#include "elements/DrawingRandom.h"
#include "elements/ElementErrorReporting.h"
#include "framework/ErrorCounter.h"
#include "framework/Progress.h"
#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/KitStartup.h"
#include "nimbra-kit/RenderCommandOptions.h"
#include "render/PrintWizardPictureEngine.h"
#include "render/PrintWizardPictureEngineProperties.h"

namespace nimbra::kit {

namespace {

// The picture engine in save mode, remembering which files it wrote.
class TSavingEngine : public TPrintWizardPictureEngine {
 public:
  void SavePage() override {
    const int32_t failuresBefore = ErrorCounter() != nullptr ? ErrorCounter()->CriticalCount() : 0;
    TPrintWizardPictureEngine::SavePage();
    const int32_t failuresAfter = ErrorCounter() != nullptr ? ErrorCounter()->CriticalCount() : 0;
    if (failuresAfter == failuresBefore) written_.push_back(PageFileName());
  }
  const std::vector<std::string>& Written() const { return written_; }

 private:
  std::vector<std::string> written_;
};

// A bar over the run's pages, drawn on a terminal only, so that logs and pipes stay clean. A page's
// step arrives before the page is drawn, so the bar shows the pages finished before it.
class TTerminalProgressBar {
 public:
  explicit TTerminalProgressBar(TProgress& progress)
      : terminal_(::isatty(STDERR_FILENO) != 0 ? stderr : nullptr) {
    if (terminal_ == nullptr) return;
    progress.OnProgress = [this](TObject*, TSingleProgress& step) {
      if (step.Caption() != TPrintWizardRenderEngine::kPagesCaption) return;
      const int64_t pages = std::max(1, step.Maximum() - step.Minimum() + 1);
      Draw(std::clamp<int64_t>(step.Position() - step.Minimum(), 0, pages), pages, step.Text());
      pages_ = pages;
      text_ = step.Text();
    };
  }
  // A run that got through shows a full bar; either way the next output starts on a new line.
  ~TTerminalProgressBar() {
    if (terminal_ == nullptr || pages_ == 0) return;
    if (std::uncaught_exceptions() == 0) Draw(pages_, pages_, text_);
    std::fputc('\n', terminal_);
  }
  TTerminalProgressBar(const TTerminalProgressBar&) = delete;
  TTerminalProgressBar& operator=(const TTerminalProgressBar&) = delete;

 private:
  void Draw(int64_t done, int64_t pages, const std::string& text) {
    constexpr int64_t kWidth = 30;
    const auto filled = static_cast<size_t>(done * kWidth / pages);
    std::fprintf(terminal_, "\r[%s%s] %s ", std::string(filled, '#').c_str(),
                 std::string(static_cast<size_t>(kWidth) - filled, ' ').c_str(), text.c_str());
    std::fflush(terminal_);
  }

  std::FILE* terminal_;
  int64_t pages_ = 0;
  std::string text_;
};

std::unique_ptr<TAlbumDocuments> LoadAlbum(const TCommandLine& commandLine) {
  try {
    if (commandLine.Has("album")) return LoadAlbumPackage(commandLine.Value("album"));
    return LoadAlbumFiles(commandLine.Value("slideshow"), commandLine.Value("template"));
  } catch (const EAlbumLoadError& error) {
    throw ECommandError(error.what());
  }
}

void PrintErrors(const TErrorList& list, const char* severity, std::ostream& out) {
  for (int32_t i = 0; i < list.Count(); ++i) {
    const TError& error = list.Items(i);
    out << severity;
    // Negative numbers only sort errors known by their text.
    if (error.ErrorNr >= 0) out << " " << error.ErrorNr;
    out << ": " << error.Text << "\n";
  }
}

void RunRender(const TCommandLine& commandLine, std::ostream& out, std::ostream& err) {
  const TRenderOptions options = ReadRenderOptions(commandLine);

  const TKitSession session(TStartupStage::Rendering);
  // Declared before the engine, so that the engine lets go of the tree before the tree goes.
  const std::unique_ptr<TAlbumDocuments> album = LoadAlbum(commandLine);

  TPrintWizardPictureEngineProperties bag;
  bag.SetSizeUnit(kSizeUnitPixels);
  bag.SetWidth(options.Size.Width);
  bag.SetHeight(options.Size.Height);
  bag.SetResolution(options.Dpi);
  bag.SetOutputDirectory(commandLine.Value("output"));
  bag.SetFileNamePrefix(options.Prefix);
  bag.SetFormat(*options.Format);
  TErrorCounter errors;
  TProgress progress;
  TSavingEngine engine;
  engine.SetProperties(&bag);
  engine.SetErrorCounter(&errors);
  engine.SetProgress(&progress);
  engine.SetProject(album->Project.get());
  engine.SetSlideShowTree(TRef<ITree>(album->Tree.get()));
  engine.SetMode(kPictureEngineSaveFiles);
  if (options.Seed) SeedDrawingRandom(*options.Seed);
  const auto report = [&] {
    for (const std::string& name : engine.Written()) out << "wrote " << name << "\n";
    PrintErrors(errors.CriticalErrors(), "error", out);
    PrintErrors(errors.Warnings(), "warning", out);
    PrintErrors(errors.Hints(), "hint", out);
    const std::string notDrawn = PicturesNotDrawnMessage(errors.Warnings());
    if (!notDrawn.empty()) err << notDrawn << "\n";
  };
  try {
    const TTerminalProgressBar bar(progress);
    if (options.Pages.empty()) {
      engine.RenderAll();
    } else {
      const std::unique_ptr<TRenderPageTemplateList> list = engine.BuildPageList();
      for (const int32_t index : options.Pages) {
        if (index >= list->Count()) {
          throw ECommandError("page " + std::to_string(index + 1) +
                              " is not in the album, which has " + std::to_string(list->Count()) +
                              " pages");
        }
      }
      engine.RenderPages(*list, options.Pages);
    }
  } catch (const std::exception&) {
    // What was saved and counted before the failure is still worth knowing.
    report();
    throw;
  }
  report();
  if (engine.Written().empty() && errors.CriticalCount() == 0) out << "no pages\n";
  if (errors.HasCriticalErrors()) {
    throw ECommandError(std::to_string(errors.CriticalCount()) +
                        " error(s) while saving the pages");
  }
}

}  // namespace

const TKitCommand kRenderCommand = {
    "render",
    "draw an album's pages into picture files",
    "Usage: nimbra-kit render (-p SLIDESHOW.kvt -t PROJECT.pwt | --album EXE) -o DIR\n"
    "                         [--size WxH] [--dpi N] [--pages LIST] [--format png|bmp|jpg]\n"
    "                         [--prefix PREFIX] [--seed N]\n"
    "\n"
    "Lays the slideshow onto the project's templates as the album does and draws each page\n"
    "into a picture file in DIR, named PREFIX, the page number with five digits and the\n"
    "format's extension (Bild00001.png). Missing pictures, files that are overwritten and\n"
    "files that cannot be written are listed at the end; the last make the command fail.\n"
    "How many pictures could not be drawn is said on standard error.\n",
    {SlideShowOption(),
     TemplateOption(),
     {.LongName = "album",
      .ValueName = "EXE",
      .Help = "read both from the package of an album executable (or a\n"
              "package file), as the album does"},
     {.LongName = "output",
      .ShortName = 'o',
      .ValueName = "DIR",
      .Help = "the folder for the pictures, made when missing"},
     {.LongName = "size",
      .ValueName = "WxH",
      .Help = "the picture size in pixels",
      .DefaultValue = "1024x768"},
     {.LongName = "dpi",
      .ValueName = "N",
      .Help = "the resolution for centimetre sizes on the pages",
      .DefaultValue = "96"},
     {.LongName = "pages",
      .ValueName = "LIST",
      .Help = "only these pages, such as 1,3,5-7 (default all)"},
     {.LongName = "format",
      .ValueName = "FORMAT",
      .Help = "png, bmp or jpg",
      .DefaultValue = "png"},
     {.LongName = "prefix",
      .ValueName = "PREFIX",
      .Help = "the start of every file name",
      .DefaultValue = TPrintWizardPictureEngineProperties::kDefaultFileNamePrefix},
     {.LongName = "seed",
      .ValueName = "N",
      .Help = "draw the pictures' random turns from N, so that a render can\n"
              "be repeated exactly"}},
    RunRender};

}  // namespace nimbra::kit
