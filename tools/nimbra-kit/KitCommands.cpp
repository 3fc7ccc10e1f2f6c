#include "nimbra-kit/KitCommands.h"

#include <exception>
#include <new>
#include <ostream>

#include "album/NimbraApplicationInfo.h"
#include "nimbra-kit/CommandLine.h"

namespace nimbra::kit {

namespace {

void PrintOverview(std::ostream& out) {
  out << "Usage: nimbra-kit COMMAND [ARGS...]\n\n"
         "Builds and reads the packages, documents and albums of Nimbra.\n\n"
         "Commands:\n";
  for (const TKitCommand& command : KitCommands()) {
    const size_t length = std::string(command.Name).size();
    const size_t padding = length < 12 ? 14 - length : 2;
    out << "  " << command.Name << std::string(padding, ' ') << command.Summary << "\n";
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

const std::vector<TKitCommand>& KitCommands() {
  static const std::vector<TKitCommand> commands = {
      kPackCommand,   kListCommand,     kExtractCommand,     kInspectCommand, kPagesCommand,
      kRenderCommand, kMakeShowCommand, kMakeProjectCommand, kAlbumCommand};
  return commands;
}

std::string CommandHelp(const TKitCommand& command) {
  return std::string(command.Usage) + "\n" + OptionHelp(command.Options);
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
  for (const TKitCommand& command : KitCommands()) {
    if (args[0] != command.Name) continue;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (AsksForHelp(rest)) {
      out << CommandHelp(command);
      return kExitOk;
    }
    try {
      command.Run(TCommandLine(rest, command.Options), out, err);
      return kExitOk;
    } catch (const EUsageError& error) {
      err << "nimbra-kit " << command.Name << ": " << error.what() << "\n" << CommandHelp(command);
      return kExitUsage;
    } catch (const ENimbraError& error) {
      err << "nimbra-kit " << command.Name << ": " << error.what() << "\n";
      return kExitFailure;
    } catch (const std::bad_alloc&) {
      err << "nimbra-kit " << command.Name << ": out of memory\n";
      return kExitFailure;
    } catch (const std::exception& error) {
      // A bug of the kit's own, not a fault of the user's files: said as such, still in one line.
      err << "nimbra-kit " << command.Name << ": internal error: " << error.what() << "\n";
      return kExitFailure;
    }
  }
  err << "nimbra-kit: unknown command '" << args[0] << "'\n";
  PrintOverview(err);
  return kExitUsage;
}

}  // namespace nimbra::kit
