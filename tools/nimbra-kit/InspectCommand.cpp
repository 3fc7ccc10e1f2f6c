#include <ostream>

#include "framework/Properties.h"
#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/Inspectors.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/KitStartup.h"
#include "nimbra-kit/ReadableJson.h"
#include "storage/CSFStream.h"
#include "storage/FileAccess.h"

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
    default:
      throw CommandError("cannot inspect files of type " + std::to_string(fileType) +
                         " (known: 1287 settings bag lists; --bag CLASS for a single bag)");
  }
}

void RunInspect(const std::vector<std::string>& args, std::ostream& out) {
  const TCommandLine commandLine(args, {{"json", 0, false},
                                        {"bag", 0, true},
                                        {"file-version", 0, true},
                                        {"package", 0, true}});
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
    PrintReadable(json, out);
  }
}

}  // namespace

const KitCommand kInspectCommand = {
    "inspect", "show what a document, project or settings file holds",
    "Usage: nimbra-kit inspect FILE [--json] [--bag CLASS [--file-version N]]\n"
    "                          [--package PACKAGE]...\n"
    "\n"
    "Describes a stored file: for a list of settings bags (file type 1287) every bag with\n"
    "its class and fields. With --bag, FILE holds one bag of class CLASS stored alone (as\n"
    "settings values and \"Oriel.cfg\" are); --file-version sets the version it is read as\n"
    "(default: the newest).\n"
    "\n"
    "      --json              print one JSON object instead of an outline\n"
    "      --bag CLASS         read FILE as a single bag of this class\n"
    "      --file-version N    the file version a single bag is read as\n"
    "      --package PACKAGE   register a package (or album executable), so that FILE may be\n"
    "                          a package name such as \"|show.kvt\" (repeatable)\n"
    "  -h, --help              show this help\n",
    RunInspect};

}  // namespace nimbra::kit
