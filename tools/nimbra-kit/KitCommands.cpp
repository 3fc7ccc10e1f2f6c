#include "nimbra-kit/KitCommands.h"

#include <exception>
#include <ostream>

#include "album/NimbraApplicationInfo.h"
#include "nimbra-kit/CommandLine.h"

namespace nimbra::kit {

namespace {

void PrintOverview(std::ostream& out) {
  out << "Usage: nimbra-kit COMMAND [ARGS...]\n\n"
         "Builds and reads the packages, documents and albums of Nimbra.\n\n"
         "Commands:\n";
  for (const KitCommand& command : KitCommands()) {
    const size_t length = std::string(command.name).size();
    const size_t padding = length < 12 ? 14 - length : 2;
    out << "  " << command.name << std::string(padding, ' ') << command.summary << "\n";
  }
  out << "\nRun 'nimbra-kit COMMAND --help' for a command's options.\n";
}

bool AsksForHelp(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--") return false;
    if (arg == "--help" || arg == "-h") return true;
  }
  return false;
}

}  // namespace

const std::vector<KitCommand>& KitCommands() {
  static const std::vector<KitCommand> commands = {kPackCommand, kListCommand, kExtractCommand,
                                                    kInspectCommand, kPagesCommand, kRenderCommand,
                                                    kMakeShowCommand, kMakeProjectCommand,
                                                    kAlbumCommand};
  return commands;
}

std::string CommandHelp(const KitCommand& command) {
  return std::string(command.usage) + "\n" + OptionHelp(command.options);
}

int RunKit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    PrintOverview(err);
    return kExitUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintOverview(out);
    return kExitOk;
  }
  if (args[0] == "--version") {
    out << "nimbra-kit " << TNimbraApplicationInfo().FullVersion() << "\n";
    return kExitOk;
  }
  for (const KitCommand& command : KitCommands()) {
    if (args[0] != command.name) continue;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (AsksForHelp(rest)) {
      out << CommandHelp(command);
      return kExitOk;
    }
    try {
      command.run(TCommandLine(rest, command.options), out);
      return kExitOk;
    } catch (const UsageError& error) {
      err << "nimbra-kit " << command.name << ": " << error.what() << "\n" << CommandHelp(command);
      return kExitUsage;
    } catch (const std::exception& error) {
      err << "nimbra-kit " << command.name << ": " << error.what() << "\n";
      return kExitFailure;
    }
  }
  err << "nimbra-kit: unknown command '" << args[0] << "'\n";
  PrintOverview(err);
  return kExitUsage;
}

}  // namespace nimbra::kit
