#include <ostream>

#include "framework/Properties.h"
#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/DocumentDescriptions.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/KitStartup.h"
#include "nimbra-kit/ReadableJson.h"
#include "slideshow/SlideShowObject.h"
#include "storage/CSFStream.h"
#include "storage/FileAccess.h"
#include "templates/PageTemplateProject.h"

namespace nimbra::kit {

namespace {

constexpr int32_t kBagListFileType = 1287;

// Registers the packages named with --package, so that names like "|show.kvt" open inside them.
std::shared_ptr<TFileAccess> MakeFileAccess(const std::vector<std::string>& packages) {
  auto access = std::make_shared<TFileAccess>();
  for (const std::string& package : packages) {
    TPackager probe;
    if (!(TPackager::IsPackage(package) ? probe.OpenExecutable(package)
                                        : probe.OpenPackageFile(package))) {
      throw CommandError(package + " is not a package: " + probe.LastError());
    }
    const bool executable = probe.State() == PackagerState::OpenedExecutable;
    access->AddPackageFile(package, executable);
  }
  return access;
}

int32_t FileVersionOption(const TCommandLine& commandLine) {
  if (!commandLine.Has("file-version")) return kCopyFileVersion;
  try {
    return std::stoi(commandLine.Value("file-version"));
  } catch (const std::exception&) {
    throw UsageError("--file-version needs a number");
  }
}

Json Inspect(TStream& stream, const TCommandLine& commandLine) {
  if (commandLine.Has("bag")) {
    return InspectSingleBag(stream, commandLine.Value("bag"), FileVersionOption(commandLine));
  }
  int32_t fileType = 0;
  {
    TCSFStream header(stream, CSFMode::Read);
    fileType = header.FileType();
  }
  stream.SetPosition(0);
  switch (fileType) {
    case kBagListFileType: return InspectBagList(stream);
    case kSlideShowFileType: return InspectSlideShow(stream);
    case kTemplateProjectFileType: return InspectTemplateProject(stream);
    default:
      throw CommandError("cannot inspect files of type " + std::to_string(fileType) +
                         " (known: 1281 slideshow documents, 1287 settings bag lists, 1289 "
                         "template projects; --bag CLASS for a single bag)");
  }
}

void PrintOutline(const Json& json, const TCommandLine& commandLine, std::ostream& out) {
  const int32_t fileType = commandLine.Has("bag") ? 0 : json.value("fileType", 0);
  switch (fileType) {
    case kSlideShowFileType: PrintSlideShowOutline(json, out); break;
    case kTemplateProjectFileType: PrintTemplateProjectOutline(json, out); break;
    default: PrintReadable(json, out);
  }
}

void RunInspect(const TCommandLine& commandLine, std::ostream& out) {
  if (commandLine.Positionals().size() != 1) throw UsageError("give exactly one FILE");
  const std::string& fileName = commandLine.Positionals()[0];
  TKitSession session;
  const std::shared_ptr<TFileAccess> access = MakeFileAccess(commandLine.Values("package"));
  SetFileAccess(access);
  const std::unique_ptr<TStream> stream = access->OpenFile(fileName);
  if (!stream) throw CommandError("cannot open " + fileName);
  Json json;
  try {
    json = Inspect(*stream, commandLine);
  } catch (const CommandError&) {
    SetFileAccess(nullptr);
    throw;
  } catch (const std::exception& error) {
    SetFileAccess(nullptr);
    throw CommandError(fileName + ": " + error.what());
  }
  SetFileAccess(nullptr);
  if (commandLine.Has("json")) {
    out << json.dump(2) << "\n";
  } else {
    PrintOutline(json, commandLine, out);
  }
}

}  // namespace

const KitCommand kInspectCommand = {
    "inspect",
    "show what a document, project or settings file holds",
    "Usage: nimbra-kit inspect FILE [--json] [--bag CLASS [--file-version N]]\n"
    "                          [--package PACKAGE]...\n"
    "\n"
    "Describes a stored file: for a slideshow document (*.kvt, file type 1281) its load\n"
    "result, settings, information, music and object tree; for a template project (*.pwt,\n"
    "file type 1289) its settings, templates with their elements, and structure; for a list\n"
    "of settings bags (file type 1287) every bag with its class and fields. With --bag,\n"
    "FILE holds one bag of class CLASS stored alone (as settings values and \"Oriel.cfg\"\n"
    "are); --file-version sets the version it is read as (default: the newest).\n",
    {{.longName = "json", .help = "print one JSON object instead of an outline"},
     {.longName = "bag", .valueName = "CLASS", .help = "read FILE as a single bag of this class"},
     {.longName = "file-version",
      .valueName = "N",
      .help = "the file version a single bag is read as"},
     PackageOption()},
    RunInspect};

}  // namespace nimbra::kit
