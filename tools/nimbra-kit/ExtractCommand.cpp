#include <ostream>

#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/PackageOpening.h"
#include "storage/Packager.h"

namespace nimbra::kit {

namespace {

void RunExtract(const TCommandLine& commandLine, std::ostream& out, std::ostream& /*err*/) {
  if (commandLine.Positionals().size() != 2) throw EUsageError("give FILE and NAME");
  const std::string& fileName = commandLine.Positionals()[0];
  const std::string& name = commandLine.Positionals()[1];
  const std::string& output = commandLine.Value("output");
  TPackager packager;
  OpenAnyPackage(packager, fileName);
  const TPackageFileListItem* record = packager.Directory().FindByName(name);
  if (record == nullptr) throw ECommandError(fileName + " holds no file named '" + name + "'");
  if (!packager.Extract(*record, output)) {
    throw ECommandError("cannot extract '" + name + "': " + packager.LastError());
  }
  out << "extracted " << record->FileName << " (" << record->Size << " bytes) to " << output
      << "\n";
}

}  // namespace

const TKitCommand kExtractCommand = {
    "extract",
    "copy one file out of a package or album executable",
    "Usage: nimbra-kit extract FILE NAME -o DEST\n"
    "\n"
    "Copies the file stored as NAME (compared without regard to case) out of FILE, a package\n"
    "or an executable that carries one, into DEST. DEST is replaced only when the copy is\n"
    "complete.\n",
    {{.LongName = "output", .ShortName = 'o', .ValueName = "DEST", .Help = "the file to write"}},
    RunExtract};

}  // namespace nimbra::kit
