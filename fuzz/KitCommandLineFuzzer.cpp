// libFuzzer target for nimbra-kit's command lines, read as the program reads them before a command
// does any work. The first byte chooses the command (its index among KitCommands(), modulo their
// number); the rest are its arguments separated by zero bytes, read against the command's options
// and then, for the commands that check values up front, into those values. Anything but
// EUsageError escaping, what the sanitizers or libFuzzer's limits catch, or a broken promise
// checked below, is a bug.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ZeroSeparatedArguments.h"
#include "nimbra-kit/AlbumCommandParts.h"
#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/MakeShowCommandPhotos.h"
#include "nimbra-kit/PackEntries.h"
#include "nimbra-kit/RenderCommandOptions.h"

namespace nimbra::kit {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

// Every option read is one the command declares, in the order given, and the positionals are the
// unnamed ones among them.
void CheckCommandLine(const TCommandLine& commandLine, const std::vector<TOptionDefinition>& options,
                      size_t argumentCount) {
  Expect(commandLine.InOrder().size() <= argumentCount);
  std::vector<std::string> positionals;
  for (const auto& [name, value] : commandLine.InOrder()) {
    if (name.empty()) {
      positionals.push_back(value);
      continue;
    }
    const std::string& option = name;
    const auto declared =
        std::find_if(options.begin(), options.end(),
                     [&](const TOptionDefinition& o) { return o.LongName == option; });
    Expect(declared != options.end() && (declared->TakesValue() || value.empty()));
  }
  Expect(positionals == commandLine.Positionals());
  for (const TOptionDefinition& option : options) {
    const std::vector<std::string> values = commandLine.Values(option.LongName);
    Expect(commandLine.Has(option.LongName) == !values.empty());
    if (!values.empty()) Expect(commandLine.Value(option.LongName) == values.back());
  }
}

void CheckRenderOptions(const TRenderOptions& options) {
  Expect(options.Size.Width >= 1 && options.Size.Width <= kMaxRenderSide);
  Expect(options.Size.Height >= 1 && options.Size.Height <= kMaxRenderSide);
  Expect(options.Dpi > 0 && options.Dpi <= 10000);
  Expect(options.Format != nullptr);
  Expect(options.Prefix.find_first_of("/\\") == std::string::npos);
  const std::set<int32_t> pages(options.Pages.begin(), options.Pages.end());
  Expect(pages.size() == options.Pages.size() && (pages.empty() || *pages.begin() >= 0));
}

void CheckAlbumOptions(const TAlbumOptions& options) {
  Expect(!options.Interval || *options.Interval >= 1000);
  Expect(!options.ChangeMode || *options.ChangeMode <= 2);
}

// What the commands that check values before their work read.
void ReadValues(std::string_view command, const TCommandLine& commandLine) {
  if (command == "render") {
    CheckRenderOptions(ReadRenderOptions(commandLine));
  } else if (command == "album") {
    CheckAlbumOptions(ReadAlbumOptions(commandLine));
  } else if (command == "pack") {
    const std::vector<TPackEntry> entries = CollectPackEntries(commandLine);
    Expect(entries.size() == commandLine.Positionals().size() + commandLine.Values("name").size());
  } else if (command == "make-show" && commandLine.Has("sort")) {
    ParsePhotoOrder(commandLine.Value("sort"));
  }
}

}  // namespace

}  // namespace nimbra::kit

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nimbra::kit;
  if (size == 0) return 0;
  const TKitCommand& command = KitCommands()[data[0] % KitCommands().size()];
  const std::vector<std::string> arguments = nimbra::fuzz::SplitAtZeros(
      std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  try {
    const TCommandLine commandLine(arguments, command.Options);
    CheckCommandLine(commandLine, command.Options, arguments.size());
    ReadValues(command.Name, commandLine);
  } catch (const EUsageError&) {
  }
  return 0;
}
