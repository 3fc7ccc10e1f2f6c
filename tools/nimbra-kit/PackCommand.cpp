#include <sys/stat.h>

#include <ostream>

#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/PackEntries.h"
#include "storage/AtomicFile.h"
#include "storage/FileList.h"
#include "storage/FileStream.h"
#include "storage/Packager.h"
#include "storage/TextCase.h"
#include "storage/Windows1252.h"

namespace nimbra::kit {

namespace {

void CheckEntries(const std::vector<PackEntry>& entries) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string& name = entries[i].storedName;
    if (name.empty()) throw UsageError("'" + entries[i].path + "' has no file name to store");
    // Stored names are Windows-1252 text; a name that cannot be written so would come back altered.
    if (Windows1252ToUtf8(Utf8ToWindows1252(name)) != name) {
      throw CommandError("the name '" + name + "' has characters a package cannot store");
    }
    for (size_t j = 0; j < i; ++j) {
      if (SameText(entries[j].storedName, name)) {
        throw CommandError("the name '" + name + "' is given twice (names ignore case)");
      }
    }
    struct stat info {};
    if (::stat(entries[i].path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      throw CommandError("cannot read '" + entries[i].path + "': not a file");
    }
  }
}

mode_t ExecutableMode(const std::string& exe) {
  struct stat info {};
  if (::stat(exe.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    throw CommandError("cannot read the executable '" + exe + "'");
  }
  return info.st_mode & 07777;
}

void CopyFile(const std::string& from, const std::string& to) {
  TFileStream source(from, FileMode::OpenRead);
  TFileStream target(to, FileMode::Create);
  target.CopyFrom(source, 0);
  target.Flush();
}

void RunPack(const TCommandLine& commandLine, std::ostream& out) {
  const std::string& output = commandLine.Value("output");
  const std::vector<PackEntry> entries = CollectPackEntries(commandLine);
  CheckEntries(entries);

  const bool appends = commandLine.Has("exe");
  const mode_t exeMode = appends ? ExecutableMode(commandLine.Value("exe")) : 0;
  TAtomicFile target(output, appends ? (exeMode & 0777) | 0200 : 0666);
  TPackager packager;
  if (appends) {
    CopyFile(commandLine.Value("exe"), target.TemporaryName());
    if (!packager.AppendToExecutable(target.TemporaryName())) {
      throw CommandError(packager.LastError());
    }
  } else if (!packager.CreatePackageFile(target.TemporaryName())) {
    throw CommandError(packager.LastError());
  }
  for (const PackEntry& entry : entries) {
    if (!packager.AddFile(entry.path, std::make_unique<TPackageFileListItem>(entry.storedName))) {
      throw CommandError("cannot add '" + entry.path + "': " + packager.LastError());
    }
  }
  if (!packager.Close()) throw CommandError(packager.LastError());
  if (appends && ::chmod(target.TemporaryName().c_str(), exeMode) != 0) {
    throw CommandError("cannot keep the executable's permissions on '" + output + "'");
  }
  target.Commit();
  out << "wrote " << output << ": " << entries.size() << (entries.size() == 1 ? " file" : " files")
      << (appends ? " appended to " + commandLine.Value("exe") : std::string()) << "\n";
}

}  // namespace

const KitCommand kPackCommand = {
    "pack",
    "store files in a package, or append one to an executable",
    "Usage: nimbra-kit pack -o OUT [--exe EXE] [--name STORED=PATH]... FILE...\n"
    "\n"
    "Writes the files into a new package OUT. Each FILE is stored under its bare file name;\n"
    "--name stores PATH under the name STORED instead. Names compare without regard to case\n"
    "and must be unique.\n",
    {{.longName = "output",
      .shortName = 'o',
      .valueName = "OUT",
      .help = "the package (or album executable) to write; written under a\n"
              "temporary name and renamed when complete"},
     {.longName = "exe",
      .valueName = "EXE",
      .help = "write a copy of EXE with the package appended, keeping its\n"
              "permissions (an album executable)"},
     {.longName = "name",
      .valueName = "STORED=PATH",
      .help = "store PATH under the name STORED (repeatable)"}},
    RunPack};

}  // namespace nimbra::kit
