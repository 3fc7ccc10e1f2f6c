#include <filesystem>
#include <memory>
#include <ostream>

#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/DocumentDescriptions.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/KitStartup.h"
#include "nimbra-kit/MakeShowCommandPhotos.h"
#include "nimbra-kit/PackageOpening.h"
#include "render/PageTexts.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowTree.h"
#include "storage/CSFStream.h"
#include "storage/FileAccess.h"
#include "templates/PageTemplateProject.h"
#include "templates/VirtualProjectRenderer.h"

namespace nimbra::kit {

namespace {

// Names inside a package start with a bar; others are files, against which the documents resolve
// their relative names, as the album does in command-line mode.
bool IsDiskName(const std::string& name) {
  return name.empty() || name[0] != '|';
}

std::unique_ptr<TStream> Open(IFileAccess& access, const std::string& name) {
  std::unique_ptr<TStream> stream = access.OpenFile(name);
  if (!stream) throw ECommandError("cannot open " + name);
  return stream;
}

// As the album names its documents: the photos they name are looked for beside them, whatever the
// current folder.
std::string AbsoluteName(const std::string& name) {
  return std::filesystem::absolute(name).lexically_normal().string();
}

void LoadSlideShow(IFileAccess& access, const std::string& name, TSlideShow& slideShow) {
  const std::unique_ptr<TStream> stream = Open(access, name);
  const TSlideShowLoad code = slideShow.LoadFromStream(*stream);
  if (code == TSlideShowLoad::TooOld) throw ECommandError(name + " is a slideshow too old to read");
  if (code != TSlideShowLoad::Loaded && code != TSlideShowLoad::LoadedWithMarker) {
    throw ECommandError(name + " is not a readable slideshow");
  }
  if (IsDiskName(name)) slideShow.SetFileName(AbsoluteName(name));
}

// Like the album, a project that is damaged further on is used as far as it could be read.
void LoadProject(IFileAccess& access, const std::string& name,
                 TPrintWizardPageTemplateProject& project) {
  const std::unique_ptr<TStream> stream = Open(access, name);
  try {
    TCSFStream header(*stream, CSFMode::Read);
    if (header.FileType() != kTemplateProjectFileType) {
      throw ECommandError(name + " is not a template project (file type " +
                          std::to_string(header.FileType()) + ")");
    }
  } catch (const ECommandError&) {
    throw;
  } catch (const ENimbraError& error) {
    throw ECommandError(name + ": " + error.what());
  }
  stream->SetPosition(0);
  if (IsDiskName(name)) project.SetFileName(AbsoluteName(name));
  project.LoadFromStream(*stream);
}

TJson DescribeTexts(const TRenderPageTemplateListItem& page) {
  TJson texts = TJson::array();
  for (const TPageText& text : FinalPageTexts(page)) {
    texts.push_back({{"element", text.Element}, {"class", text.ClassName}, {"text", text.Text}});
  }
  return texts;
}

TJson Describe(const TRenderPageTemplateList& pages, bool withTexts) {
  TJson list = TJson::array();
  for (int32_t i = 0; i < pages.Count(); ++i) {
    const TRenderPageTemplateListItem& page = *pages.Items(i);
    TJson bindings = TJson::array();
    for (int32_t e = 0; e < page.Elements().Count(); ++e) {
      const TRenderPageElementListItem& binding = *page.Elements().Items(e);
      const TSlideShowObject* object = SlideShowObjectOf(binding.Object());
      bindings.push_back({{"element", binding.Element()->ClassName()},
                          {"object", object != nullptr ? TJson(object->PathText()) : TJson()}});
    }
    const TPageTemplate* pageTemplate = page.Template();
    list.push_back({{"index", page.PageIndex()},
                    {"templateId", pageTemplate != nullptr ? pageTemplate->ID() : 0},
                    {"templateName",
                     pageTemplate != nullptr ? pageTemplate->Properties().Name() : std::string()},
                    {"blank", page.Blank()},
                    {"bindings", std::move(bindings)}});
    if (withTexts) list.back()["texts"] = DescribeTexts(page);
  }
  return TJson{{"pages", std::move(list)}};
}

void PrintPages(const TJson& description, std::ostream& out) {
  const TJson& pages = description["pages"];
  if (pages.empty()) out << "no pages\n";
  for (const TJson& page : pages) {
    out << "page " << page["index"].get<int>() + 1 << ": template " << page["templateId"] << " "
        << page["templateName"];
    if (page["blank"].get<bool>()) {
      out << ", blank\n";
      continue;
    }
    const char* separator = ": ";
    for (const TJson& binding : page["bindings"]) {
      out << separator << binding["element"].get<std::string>() << " "
          << (binding["object"].is_null() ? "-" : binding["object"].get<std::string>());
      separator = ", ";
    }
    out << "\n";
    // Quoted, so that a text of several lines stays on one.
    if (!page.contains("texts")) continue;
    for (const TJson& text : page["texts"]) {
      out << "  element " << text["element"].get<int>() << " " << text["class"].get<std::string>()
          << ": " << text["text"].dump() << "\n";
    }
  }
}

void RunPages(const TCommandLine& commandLine, std::ostream& out, std::ostream& /*err*/) {
  if (!commandLine.Positionals().empty()) throw EUsageError("unexpected argument");
  if (!commandLine.Has("slideshow")) throw EUsageError("give the slideshow with -p FILE");
  if (!commandLine.Has("template")) throw EUsageError("give the template project with -t FILE");
  TKitSession session;
  // A page may choose its template by the orientation its photo's header tells.
  const TPictureFormatsScope formats;
  const std::shared_ptr<TFileAccess> files = MakeFileAccess(commandLine.Values("package"));
  const TFileAccessScope access(files);

  TSlideShow slideShow;
  LoadSlideShow(*files, commandLine.Value("slideshow"), slideShow);
  TPrintWizardPageTemplateProject project;
  LoadProject(*files, commandLine.Value("template"), project);
  auto tree = std::make_unique<TCustomTree>();
  BuildSlideShowTree(slideShow, *tree);

  TJson description;
  {
    TSlideShowVirtualProjectRenderer renderer;
    renderer.SetProject(&project);
    renderer.SetSlideShowTree(TRef<ITree>(tree.get()));
    renderer.SetInsertBlankPages(commandLine.Has("blank-pages"));
    const std::unique_ptr<TRenderPageTemplateList> pages = renderer.Execute();
    description = Describe(*pages, commandLine.Has("texts"));
  }
  if (commandLine.Has("json")) {
    out << description.dump(2) << "\n";
  } else {
    PrintPages(description, out);
  }
}

}  // namespace

const TKitCommand kPagesCommand = {
    "pages",
    "list the pages an album makes of a slideshow and a template project",
    "Usage: nimbra-kit pages -p SLIDESHOW.kvt -t PROJECT.pwt [--package PACKAGE]...\n"
    "                        [--blank-pages] [--texts] [--json]\n"
    "\n"
    "Lays the slideshow onto the project's templates as the album does and lists the pages:\n"
    "for each page its template and, for each element of the template, the slideshow object\n"
    "it shows (as its position, \"2.3\" being the third object in the second root object).\n"
    "With --texts, each page is followed by the text of each of its text elements as the\n"
    "picture engine draws it, variables expanded.\n",
    {SlideShowOption(),
     TemplateOption(),
     PackageOption(),
     {.LongName = "blank-pages",
      .Help = "insert blank pages so that templates land on the side of the\n"
              "page they ask for"},
     {.LongName = "texts", .Help = "after each page, the final text of its text elements"},
     {.LongName = "json", .Help = "print one JSON object instead of one line per page"}},
    RunPages};

}  // namespace nimbra::kit
