// libFuzzer target for the album program's command line. The bytes are its arguments separated by
// zero bytes, as main receives them: the long options are read from them and the switches looked
// up in them. The same bytes are also a whole command-line text, split by the album's quoting
// rules. Unknown options and bad values are refused with EProgramUsageError; what the sanitizers
// or libFuzzer's limits catch, or a broken promise checked below, is a bug.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ZeroSeparatedArguments.h"
#include "album/ParameterParser.h"
#include "app/ProgramOptions.h"
#include "platform/WallpaperBackends.h"
#include "storage/TextCase.h"

namespace nimbra::fuzz {

namespace {

void Expect(bool promise) {
  if (!promise) __builtin_trap();
}

// The program's name, then the arguments.
std::vector<std::string> Arguments(std::string_view bytes) {
  std::vector<std::string> arguments = SplitAtZeros(bytes);
  arguments.insert(arguments.begin(), "nimbra");
  return arguments;
}

size_t Characters(std::string_view text) {
  size_t count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

// Every byte as a switch letter: a value belongs to a switch that is there, follows its letter in
// its token and is at most kMaxValueLength characters long.
void CheckSwitches(const TParameterParser& parser) {
  for (int letter = 0; letter < 256; ++letter) {
    const char c = static_cast<char>(letter);
    const std::string value = parser.ParameterValue(c);
    Expect(value.empty() || parser.HasParameter(c));
    Expect(Characters(value) <= TParameterParser::kMaxValueLength);
    if (value.empty()) continue;
    bool found = false;
    for (size_t i = 1; i < parser.Tokens().size() && !found; ++i) {
      const std::string& token = parser.Tokens()[i];
      found = token.size() > 2 && token.compare(2, value.size(), value) == 0 &&
              (token[0] == '-' || token[0] == '/');
    }
    Expect(found);
  }
}

// A work area is a whole screen of one to five digits a side.
void CheckWorkArea(const TScreenGeometry& area) {
  const int width = area.WorkArea.Width();
  const int height = area.WorkArea.Height();
  Expect(width >= 1 && width <= 99999 && height >= 1 && height <= 99999);
  Expect(area.Screen == area.WorkArea);
}

void ReadArguments(const std::vector<std::string>& arguments) {
  std::vector<const char*> argv;
  for (const std::string& argument : arguments) argv.push_back(argument.c_str());
  const auto argc = static_cast<int>(argv.size());
  const TParameterParser parser = TParameterParser::FromArguments(argc, argv.data());
  Expect(parser.Tokens() == arguments);
  CheckSwitches(parser);
  for (const std::string& argument : arguments) {
    if (const std::optional<TScreenGeometry> area = ParseWorkArea(argument)) CheckWorkArea(*area);
  }
  try {
    const TProgramOptions options = ParseProgramOptions(argc, argv.data());
    bool known = false;
    for (const std::string& backend : WallpaperBackendNames()) {
      known = known || SameText(backend, options.Wallpaper);
    }
    Expect(known);
    if (options.WorkArea) CheckWorkArea(*options.WorkArea);
  } catch (const EProgramUsageError&) {
  }
}

// Tokens are pieces of the text that do not overlap.
void ReadText(std::string_view text) {
  const TParameterParser parser = TParameterParser::FromText(text);
  size_t length = 0;
  for (const std::string& token : parser.Tokens()) length += token.size();
  Expect(length <= text.size());
  CheckSwitches(parser);
}

}  // namespace

}  // namespace nimbra::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  nimbra::fuzz::ReadArguments(nimbra::fuzz::Arguments(bytes));
  nimbra::fuzz::ReadText(bytes);
  return 0;
}
