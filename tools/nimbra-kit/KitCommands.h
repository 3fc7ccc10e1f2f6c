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

struct TKitCommand {
  const char* Name;
  const char* Summary;
  // The start of the help shown by --help: the usage line and what the command does.
  const char* Usage;
  // What the arguments behind the command's name are read as, before the command runs; the
  // option lines of the help are made from it.
  std::vector<TOptionDefinition> Options;
  // Runs with its command line: its output goes to out, what the user should know beside it to
  // err; raises EUsageError or ECommandError.
  void (*Run)(const TCommandLine& commandLine, std::ostream& out, std::ostream& err);
};

const std::vector<TKitCommand>& KitCommands();

// The text --help shows: the usage, then a line for every option.
std::string CommandHelp(const TKitCommand& command);

// Runs "nimbra-kit COMMAND ARGS..." and yields the exit code; messages go to out and err.
int RunKit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The commands, each in a file of its own.
extern const TKitCommand kPackCommand;
extern const TKitCommand kListCommand;
extern const TKitCommand kExtractCommand;
extern const TKitCommand kInspectCommand;
extern const TKitCommand kPagesCommand;
extern const TKitCommand kRenderCommand;
extern const TKitCommand kMakeShowCommand;
extern const TKitCommand kMakeProjectCommand;
extern const TKitCommand kAlbumCommand;

}  // namespace nimbra::kit
