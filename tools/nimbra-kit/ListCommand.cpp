#include <iomanip>
#include <nlohmann/json.hpp>
#include <ostream>

#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/PackageOpening.h"
#include "storage/Packager.h"

namespace nimbra::kit {

namespace {

void PrintJson(TPackager& packager, std::ostream& out) {
  const TCSFStreamWinTypes& stream = *packager.PackageStream();
  nlohmann::ordered_json json;
  json["fileType"] = stream.FileType();
  json["fileVersion"] = stream.FileVersion();
  json["chunkCount"] = stream.ChunkCount();
  if (packager.State() == PackagerState::OpenedExecutable) {
    json["startOffset"] = packager.StartOffset();
  } else {
    json["startOffset"] = nullptr;
  }
  json["length"] = packager.PackageLength();
  json["entries"] = nlohmann::ordered_json::array();
  for (const TPackageFileListItem* item : packager.Directory()) {
    nlohmann::ordered_json entry;
    entry["name"] = item->FileName;
    entry["offset"] = item->Offset;
    entry["size"] = item->Size;
    json["entries"].push_back(std::move(entry));
  }
  out << json.dump(2) << "\n";
}

void PrintTable(const std::string& fileName, TPackager& packager, std::ostream& out) {
  const int count = packager.Directory().Count();
  out << fileName << ": " << count << (count == 1 ? " file, " : " files, ")
      << packager.PackageLength() << " bytes";
  if (packager.State() == PackagerState::OpenedExecutable) {
    out << ", appended at offset " << packager.StartOffset();
  }
  out << "\n"
      << std::setw(12) << "offset" << std::setw(14) << "size"
      << "  name\n";
  for (const TPackageFileListItem* item : packager.Directory()) {
    out << std::setw(12) << item->Offset << std::setw(14) << item->Size << "  " << item->FileName
        << "\n";
  }
}

void RunList(const TCommandLine& commandLine, std::ostream& out, std::ostream& /*err*/) {
  if (commandLine.Positionals().size() != 1) throw EUsageError("give exactly one FILE");
  const std::string& fileName = commandLine.Positionals()[0];
  TPackager packager;
  OpenAnyPackage(packager, fileName);
  if (commandLine.Has("json")) {
    PrintJson(packager, out);
  } else {
    PrintTable(fileName, packager, out);
  }
}

}  // namespace

const TKitCommand kListCommand = {
    "list",
    "list the files of a package or album executable",
    "Usage: nimbra-kit list FILE [--json]\n"
    "\n"
    "Lists the files stored in FILE, a package or an executable that carries one, in package\n"
    "order with their positions inside the package and their sizes.\n",
    {{.LongName = "json",
      .Help = "print one JSON object: fileType, fileVersion, chunkCount, startOffset\n"
              "(null for a plain package), length (the package's bytes including its\n"
              "trailer) and entries [{name, offset, size}]"}},
    RunList};

}  // namespace nimbra::kit
