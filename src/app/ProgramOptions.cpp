#include "app/ProgramOptions.h"

#include "platform/WallpaperBackends.h"
#include "storage/TextCase.h"

namespace nimbra {

const std::string_view kProgramUsage =
    "Usage: nimbra [-pSLIDESHOW.kvt -tPROJECT.pwt] [-i] [-a] [-b] [OPTION]...\n"
    "\n"
    "Shows the pages of a photo album as the desktop wallpaper, one after the other, and lives in\n"
    "the tray. An album executable made with `nimbra-kit pack --exe` carries its documents and\n"
    "ignores -p and -t.\n"
    "\n"
    "  -pFILE                 the slideshow document (no blank after the switch)\n"
    "  -tFILE                 the template project\n"
    "  -i                     start with the first page instead of the one shown last\n"
    "  -a                     install the autostart entry\n"
    "  -b                     remove the autostart entry\n"
    "      --once             make one change (the next page in timed mode), print where the\n"
    "                         page was written, save the settings and exit\n"
    "      --no-tray          run without a tray icon\n"
    "      --wallpaper=NAME   how the wallpaper is set: auto, gnome, cinnamon, mate, kde, xfce,\n"
    "                         sway, x11, command, none (the picture file only)\n"
    "      --wallpaper-command=CMD\n"
    "                         the command of --wallpaper=command; %f stands for the file\n"
    "      --work-area=WxH    render the pages at this size instead of the screen's work area\n"
    "      --vendor-libraries load the vendor codec libraries an album package carries\n"
    "                         (JPEG 2000 pictures are read without them)\n"
    "      --help             show this help\n"
    "      --version          show the version\n";

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
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (!arg.starts_with("--")) continue;
    const size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view() : arg.substr(equals + 1);
    if (name == "--once") {
      options.Once = true;
    } else if (name == "--no-tray") {
      options.NoTray = true;
    } else if (name == "--help") {
      options.Help = true;
    } else if (name == "--version") {
      options.Version = true;
    } else if (name == "--vendor-libraries") {
      options.VendorLibraries = true;
    } else if (name == "--wallpaper" && !value.empty()) {
      options.Wallpaper = std::string(value);
    } else if (name == "--wallpaper-command" && !value.empty()) {
      options.WallpaperCommand = std::string(value);
    } else if (name == "--work-area") {
      options.WorkArea = ParseWorkArea(value);
      if (!options.WorkArea) {
        throw EProgramUsageError("--work-area needs WIDTHxHEIGHT, got '" + std::string(value) +
                                 "'");
      }
    } else {
      throw EProgramUsageError("unknown option '" + std::string(arg) + "'");
    }
  }
  bool known = false;
  for (const std::string& backend : WallpaperBackendNames()) {
    known = known || SameText(backend, options.Wallpaper);
  }
  if (!known) throw EProgramUsageError("unknown wallpaper backend '" + options.Wallpaper + "'");
  return options;
}

}  // namespace nimbra
