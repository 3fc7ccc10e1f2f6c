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

void CheckEntries(const std::vector<TPackEntry>& entries) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string& name = entries[i].StoredName;
    if (name.empty()) throw EUsageError("'" + entries[i].Path + "' has no file name to store");
    // Stored names are Windows-1252 text; a name that cannot be written so would come back altered.
    if (Windows1252ToUtf8(Utf8ToWindows1252(name)) != name) {
      throw ECommandError("the name '" + name + "' has characters a package cannot store");
    }
    for (size_t j = 0; j < i; ++j) {
      if (SameText(entries[j].StoredName, name)) {
        throw ECommandError("the name '" + name + "' is given twice (names ignore case)");
      }
    }
    struct stat info {};
    if (::stat(entries[i].Path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
      throw ECommandError("cannot read '" + entries[i].Path + "': not a file");
    }
  }
}

mode_t ExecutableMode(const std::string& exe) {
  struct stat info {};
  if (::stat(exe.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    throw ECommandError("cannot read the executable '" + exe + "'");
  }
  return info.st_mode & 07777;
}

void CopyFile(const std::string& from, const std::string& to) {
  TFileStream source(from, FileMode::OpenRead);
  TFileStream target(to, FileMode::Create);
  target.CopyFrom(source, 0);
  target.Flush();
}

void RunPack(const TCommandLine& commandLine, std::ostream& out, std::ostream& /*err*/) {
  const std::string& output = commandLine.Value("output");
  const std::vector<TPackEntry> entries = CollectPackEntries(commandLine);
  CheckEntries(entries);

  const bool appends = commandLine.Has("exe");
  const mode_t exeMode = appends ? ExecutableMode(commandLine.Value("exe")) : 0;
  TAtomicFile target(output, appends ? (exeMode & 0777) | 0200 : 0666);
  TPackager packager;
  if (appends) {
    CopyFile(commandLine.Value("exe"), target.TemporaryName());
    if (!packager.AppendToExecutable(target.TemporaryName())) {
      throw ECommandError(packager.LastError());
    }
  } else if (!packager.CreatePackageFile(target.TemporaryName())) {
    throw ECommandError(packager.LastError());
  }
  for (const TPackEntry& entry : entries) {
    if (!packager.AddFile(entry.Path, std::make_unique<TPackageFileListItem>(entry.StoredName))) {
      throw ECommandError("cannot add '" + entry.Path + "': " + packager.LastError());
    }
  }
  if (!packager.Close()) throw ECommandError(packager.LastError());
  if (appends && ::chmod(target.TemporaryName().c_str(), exeMode) != 0) {
    throw ECommandError("cannot keep the executable's permissions on '" + output + "'");
  }
  target.Commit();
  out << "wrote " << output << ": " << entries.size() << (entries.size() == 1 ? " file" : " files")
      << (appends ? " appended to " + commandLine.Value("exe") : std::string()) << "\n";
}

}  // namespace

const TKitCommand kPackCommand = {
    "pack",
    "store files in a package, or append one to an executable",
    "Usage: nimbra-kit pack -o OUT [--exe EXE] [--name STORED=PATH]... FILE...\n"
    "\n"
    "Writes the files into a new package OUT. Each FILE is stored under its bare file name;\n"
    "--name stores PATH under the name STORED instead. Names compare without regard to case\n"
    "and must be unique.\n",
    {{.LongName = "output",
      .ShortName = 'o',
      .ValueName = "OUT",
      .Help = "the package (or album executable) to write; written under a\n"
              "temporary name and renamed when complete"},
     {.LongName = "exe",
      .ValueName = "EXE",
      .Help = "write a copy of EXE with the package appended, keeping its\n"
              "permissions (an album executable)"},
     {.LongName = "name",
      .ValueName = "STORED=PATH",
      .Help = "store PATH under the name STORED (repeatable)"}},
    RunPack};

}  // namespace nimbra::kit
