// The album program's option table, which both reads its own long options (`--once`,
// `--wallpaper=NAME`, …) and makes its help. The album's switches (-p, -t, -i, -a, -b) stand in
// the table for the help; the parameter parser reads them, so they pass through here untouched.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/ScreenGeometry.h"
#include "storage/NimbraError.h"

namespace nimbra {

struct TProgramOptions {
  bool Once = false;
  bool NoTray = false;
  bool Help = false;
  bool Version = false;
  // Extract and load the vendor codec libraries an album package carries; nothing reads pictures
  // through them, so they stay in the package unless asked for.
  bool VendorLibraries = false;
  std::string Wallpaper;  // the table's default when not given
  std::string WallpaperCommand;
  std::optional<TScreenGeometry> WorkArea;
  // A command for a running album ("Next", "Previous", "Pause", "Resume", "Quit"; empty: run the
  // album) and the album it is for (empty: the one running).
  std::string Control;
  std::string ControlAlbum;
};

// Raised for an option the program does not know or a value it cannot take.
class EProgramUsageError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// The text --help shows: what the program does and a line for every option of the table.
std::string ProgramUsage();

// "WxH" with both numbers positive and at most five digits; none otherwise.
std::optional<TScreenGeometry> ParseWorkArea(std::string_view text);

// Reads the long options of argv[1 …]; every argument not starting with "--" is left to the
// album's switches, except the album after a command for a running album ("--next urlaub").
// Raises EProgramUsageError.
TProgramOptions ParseProgramOptions(int argc, const char* const* argv);

}  // namespace nimbra
