#include "app/ProgramOptions.h"

#include <vector>

#include "framework/OptionHelp.h"
#include "platform/WallpaperBackends.h"
#include "storage/TextCase.h"

namespace nimbra {

namespace {

struct TProgramOption {
  std::string_view LongName = {};   // without "--"; empty for a switch
  char Switch = 0;                  // the parameter parser's switch letter; 0 for a long option
  std::string_view ValueName = {};  // empty for an option without a value
  std::string_view Help = {};
  std::string_view Default = {};
  // Takes the value over; false when the option cannot stand with it, which makes it unknown.
  // None for the switches.
  bool (*Apply)(TProgramOptions& options, std::string_view value) = nullptr;
};

template <bool TProgramOptions::*flag>
bool Set(TProgramOptions& options, std::string_view) {
  options.*flag = true;
  return true;
}

template <std::string TProgramOptions::*text>
bool SetText(TProgramOptions& options, std::string_view value) {
  if (value.empty()) return false;
  options.*text = std::string(value);
  return true;
}

// A command for a running album; only one per call.
template <const char* command>
bool SetControl(TProgramOptions& options, std::string_view album) {
  if (!options.Control.empty()) {
    throw EProgramUsageError("nur eines von --next, --previous, --pause, --resume und --quit");
  }
  options.Control = command;
  options.ControlAlbum = std::string(album);
  return true;
}

constexpr char kNext[] = "Next";
constexpr char kPrevious[] = "Previous";
constexpr char kPause[] = "Pause";
constexpr char kResume[] = "Resume";
constexpr char kQuit[] = "Quit";

bool SetWorkArea(TProgramOptions& options, std::string_view value) {
  options.WorkArea = ParseWorkArea(value);
  if (!options.WorkArea) {
    throw EProgramUsageError("--work-area braucht BREITExHÖHE, nicht \"" + std::string(value) +
                             "\"");
  }
  return true;
}

constexpr std::string_view kIntroduction =
    "Usage: nimbra [-pSLIDESHOW.kvt -tPROJECT.pwt] [-i] [-a] [-b] [OPTION]...\n"
    "       nimbra --next|--previous|--pause|--resume|--quit [ALBUM]\n"
    "\n"
    "Shows the pages of a photo album as the desktop wallpaper, one after the other, and lives in\n"
    "the tray. An album executable made with `nimbra-kit album` carries its documents and\n"
    "ignores -p and -t. Several albums may run at once; each keeps its own settings, page and\n"
    "autostart entry. Started without any album, nimbra says how to make one with\n"
    "`nimbra-kit album` and exits with 1.\n";

const TProgramOption kOptions[] = {
    {.Switch = 'p',
     .ValueName = "FILE",
     .Help = "the slideshow document (no blank after the switch)"},
    {.Switch = 't', .ValueName = "FILE", .Help = "the template project"},
    {.Switch = 'i', .Help = "start with the first page instead of the one shown last"},
    {.Switch = 'a', .Help = "start this album at login (its autostart entry)"},
    {.Switch = 'b', .Help = "remove this album's autostart entry"},
    {.LongName = "once",
     .Help = "make one change (the next page in timed mode), print where the\n"
             "page was written, save the settings and exit",
     .Apply = Set<&TProgramOptions::Once>},
    {.LongName = "no-tray",
     .Help = "run without a tray icon",
     .Apply = Set<&TProgramOptions::NoTray>},
    {.LongName = "wallpaper",
     .ValueName = "NAME",
     .Help = "how the wallpaper is set: auto, gnome, cinnamon, mate, kde, xfce,\n"
             "sway, x11, command, none (the picture file only)",
     .Default = "auto",
     .Apply = SetText<&TProgramOptions::Wallpaper>},
    {.LongName = "wallpaper-command",
     .ValueName = "CMD",
     .Help = "the command of --wallpaper=command; %f stands for the file",
     .Apply = SetText<&TProgramOptions::WallpaperCommand>},
    {.LongName = "work-area",
     .ValueName = "WxH",
     .Help = "render the pages at this size instead of the screen's work area",
     .Apply = SetWorkArea},
    {.LongName = "vendor-libraries",
     .Help = "load the vendor codec libraries an album package carries\n"
             "(JPEG 2000 pictures are read without them)",
     .Apply = Set<&TProgramOptions::VendorLibraries>},
    {.LongName = "next",
     .ValueName = "[=ALBUM]",
     .Help = "show the next page of the running album; ALBUM (its name or\n"
             "file) is needed only when several albums run",
     .Apply = SetControl<kNext>},
    {.LongName = "previous",
     .ValueName = "[=ALBUM]",
     .Help = "show the previous page of the running album",
     .Apply = SetControl<kPrevious>},
    {.LongName = "pause",
     .ValueName = "[=ALBUM]",
     .Help = "stop the running album's automatic changes",
     .Apply = SetControl<kPause>},
    {.LongName = "resume",
     .ValueName = "[=ALBUM]",
     .Help = "let the running album change pages again",
     .Apply = SetControl<kResume>},
    {.LongName = "quit",
     .ValueName = "[=ALBUM]",
     .Help = "end the running album",
     .Apply = SetControl<kQuit>},
    {.LongName = "help", .Help = "show this help (also -h)", .Apply = Set<&TProgramOptions::Help>},
    {.LongName = "version", .Help = "show the version", .Apply = Set<&TProgramOptions::Version>},
};

std::string Label(const TProgramOption& option) {
  if (option.Switch != 0) return std::string("  -") + option.Switch + std::string(option.ValueName);
  std::string label = "      --" + std::string(option.LongName);
  // An optional value shows its own brackets: "--next[=ALBUM]".
  if (option.ValueName.starts_with('[')) return label + std::string(option.ValueName);
  if (!option.ValueName.empty()) label += "=" + std::string(option.ValueName);
  return label;
}

const TProgramOption* FindLongOption(std::string_view name) {
  for (const TProgramOption& option : kOptions) {
    if (option.Switch == 0 && name == option.LongName) return &option;
  }
  return nullptr;
}

}  // namespace

std::string ProgramUsage() {
  std::vector<TOptionHelpLine> lines;
  for (const TProgramOption& option : kOptions) {
    lines.push_back({Label(option), option.Help, option.Default});
  }
  return std::string(kIntroduction) + "\n" + FormatOptionHelp(lines);
}

std::optional<TScreenGeometry> ParseWorkArea(std::string_view text) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) return std::nullopt;
  const auto number = [](std::string_view digits) -> int {
    if (digits.empty() || digits.size() > 5) return 0;
    int value = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return 0;
      value = value * 10 + (c - '0');
    }
    return value;
  };
  const int width = number(text.substr(0, x));
  const int height = number(text.substr(x + 1));
  if (width <= 0 || height <= 0) return std::nullopt;
  return FixedScreenGeometry(width, height);
}

TProgramOptions ParseProgramOptions(int argc, const char* const* argv) {
  TProgramOptions options;
  for (const TProgramOption& option : kOptions) {
    if (!option.Default.empty()) option.Apply(options, option.Default);
  }
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    // The short form everybody tries first; no album switch is named h.
    if (arg == "-h") options.Help = true;
    if (!arg.starts_with("--")) continue;
    const size_t equals = arg.find('=');
    const std::string_view name =
        arg.substr(2, equals == std::string_view::npos ? equals : equals - 2);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : arg.substr(equals + 1);
    const TProgramOption* option = FindLongOption(name);
    const bool wasControl = !options.Control.empty();
    if (option == nullptr || !option->Apply(options, value)) {
      throw EProgramUsageError("unbekannte Option \"" + std::string(arg) + "\"");
    }
    // "--next urlaub": the album may follow as an argument of its own.
    if (!wasControl && !options.Control.empty() && equals == std::string_view::npos &&
        i + 1 < argc && argv[i + 1][0] != '-') {
      options.ControlAlbum = argv[++i];
    }
  }
  bool known = false;
  std::string names;
  for (const std::string& backend : WallpaperBackendNames()) {
    known = known || SameText(backend, options.Wallpaper);
    names += (names.empty() ? "" : ", ") + backend;
  }
  if (!known) {
    throw EProgramUsageError("unbekannte Art, das Hintergrundbild zu setzen: --wallpaper=" +
                             options.Wallpaper + " (bekannt sind " + names + ")");
  }
  return options;
}

}  // namespace nimbra
