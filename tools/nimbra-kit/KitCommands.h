// The commands of nimbra-kit and the dispatcher that runs one of them.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "nimbra-kit/CommandLine.h"

namespace nimbra::kit {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct KitCommand {
  const char* name;
  const char* summary;
  // The start of the help shown by --help: the usage line and what the command does.
  const char* usage;
  // What the arguments behind the command's name are read as, before the command runs; the
  // option lines of the help are made from it.
  std::vector<OptionDefinition> options;
  // Runs with its command line; raises UsageError or CommandError.
  void (*run)(const TCommandLine& commandLine, std::ostream& out);
};

const std::vector<KitCommand>& KitCommands();

// The text --help shows: the usage, then a line for every option.
std::string CommandHelp(const KitCommand& command);

// Runs "nimbra-kit COMMAND ARGS..." and yields the exit code; messages go to out and err.
int RunKit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The commands, each in a file of its own.
extern const KitCommand kPackCommand;
extern const KitCommand kListCommand;
extern const KitCommand kExtractCommand;
extern const KitCommand kInspectCommand;
extern const KitCommand kPagesCommand;
extern const KitCommand kRenderCommand;
extern const KitCommand kMakeShowCommand;
extern const KitCommand kMakeProjectCommand;
extern const KitCommand kAlbumCommand;

}  // namespace nimbra::kit
