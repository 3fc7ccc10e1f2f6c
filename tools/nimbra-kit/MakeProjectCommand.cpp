#include <ostream>

#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/KitStartup.h"
#include "nimbra-kit/MakeProjectCommandLayout.h"
#include "templates/PageTemplateProject.h"

namespace nimbra::kit {

namespace {

void RunMakeProject(const TCommandLine& commandLine, std::ostream& out, std::ostream& /*err*/) {
  if (!commandLine.Positionals().empty()) throw EUsageError("unexpected argument");
  if (!commandLine.Has("layout")) throw EUsageError("give the layout with --layout NAME|FILE.json");
  const std::string& output = commandLine.Value("output");

  TKitSession session;
  const TLayout layout = LoadLayoutArgument(commandLine.Value("layout"));
  if (!layout.Project->SaveToFile(output)) throw ECommandError("cannot write " + output);
  out << "wrote " << output << ": layout " << layout.Name << ", "
      << layout.Project->Templates().Count() << " templates\n";
}

}  // namespace

const TKitCommand kMakeProjectCommand = {
    "make-project",
    "make a template project from a layout",
    "Usage: nimbra-kit make-project --layout NAME|FILE.json -o OUT.pwt\n"
    "\n"
    "Writes the template project of a built-in layout, or of a layout described in JSON\n"
    "(docs/layouts.md). A layout with mistakes is refused with the line and what is wrong.\n",
    {LayoutOption(),
     {.LongName = "output",
      .ShortName = 'o',
      .ValueName = "OUT.pwt",
      .Help = "the project to write; replaced only when complete"}},
    RunMakeProject};

}  // namespace nimbra::kit
