#include <charconv>
#include <ostream>

#include "framework/Properties.h"
#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/DocumentDescriptions.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/KitStartup.h"
#include "nimbra-kit/PackageOpening.h"
#include "nimbra-kit/ReadableJson.h"
#include "slideshow/SlideShowObject.h"
#include "storage/CSFStream.h"
#include "storage/FileAccess.h"
#include "templates/PageTemplateProject.h"

namespace nimbra::kit {

namespace {

constexpr int32_t kBagListFileType = 1287;

int32_t FileVersionOption(const TCommandLine& commandLine) {
  if (!commandLine.Has("file-version")) return kCopyFileVersion;
  const std::string& text = commandLine.Value("file-version");
  int32_t version = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), version);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw EUsageError("--file-version needs a number");
  }
  return version;
}

TJson Inspect(TStream& stream, const TCommandLine& commandLine) {
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
    case kBagListFileType:
      return InspectBagList(stream);
    case kSlideShowFileType:
      return InspectSlideShow(stream);
    case kTemplateProjectFileType:
      return InspectTemplateProject(stream);
    default:
      throw ECommandError("cannot inspect files of type " + std::to_string(fileType) +
                          " (known: 1281 slideshow documents, 1287 settings bag lists, 1289 "
                          "template projects; --bag CLASS for a single bag)");
  }
}

void PrintOutline(const TJson& json, const TCommandLine& commandLine, std::ostream& out) {
  const int32_t fileType = commandLine.Has("bag") ? 0 : json.value("fileType", 0);
  switch (fileType) {
    case kSlideShowFileType:
      PrintSlideShowOutline(json, out);
      break;
    case kTemplateProjectFileType:
      PrintTemplateProjectOutline(json, out);
      break;
    default:
      PrintReadable(json, out);
  }
}

void RunInspect(const TCommandLine& commandLine, std::ostream& out, std::ostream& /*err*/) {
  if (commandLine.Positionals().size() != 1) throw EUsageError("give exactly one FILE");
  const std::string& fileName = commandLine.Positionals()[0];
  TKitSession session;
  const std::shared_ptr<TFileAccess> access = MakeFileAccess(commandLine.Values("package"));
  const TFileAccessScope scope(access);
  const std::unique_ptr<TStream> stream = access->OpenFile(fileName);
  if (!stream) throw ECommandError("cannot open " + fileName);
  TJson json;
  try {
    json = Inspect(*stream, commandLine);
  } catch (const ECommandError&) {
    throw;
  } catch (const EUsageError&) {
    throw;
  } catch (const ENimbraError& error) {
    throw ECommandError(fileName + ": " + error.what());
  }
  if (commandLine.Has("json")) {
    out << json.dump(2) << "\n";
  } else {
    PrintOutline(json, commandLine, out);
  }
}

}  // namespace

const TKitCommand kInspectCommand = {
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
    {{.LongName = "json", .Help = "print one JSON object instead of an outline"},
     {.LongName = "bag", .ValueName = "CLASS", .Help = "read FILE as a single bag of this class"},
     {.LongName = "file-version",
      .ValueName = "N",
      .Help = "the file version a single bag is read as"},
     PackageOption()},
    RunInspect};

}  // namespace nimbra::kit
