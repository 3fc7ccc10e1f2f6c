// The wallpaper backends by name, as `--wallpaper=NAME` selects them: "auto" (or nothing) asks
// the session, "command:<command line>" is the command backend with its command line.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/SessionDetection.h"
#include "platform/WallpaperBackend.h"

namespace nimbra {

struct TWallpaperBackendOptions {
  std::string CommandLine;  // for "command"
  std::string X11Display;   // for "x11"; empty: $DISPLAY
};

// Every name CreateWallpaperBackend knows, "auto" first.
std::vector<std::string> WallpaperBackendNames();

// The backend of that name (case-insensitive); raises EWallpaperError for an unknown name or
// "command" without a command line.
std::unique_ptr<TWallpaperBackend> CreateWallpaperBackend(
    std::string_view name, TWallpaperBackendOptions options = {},
    const TEnvironmentLookup& environment = ProcessEnvironment());

}  // namespace nimbra
