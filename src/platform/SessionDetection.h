// Which wallpaper backend suits the session we run in, and why, from the environment the session
// manager gives us. Order: the desktop named by XDG_CURRENT_DESKTOP (each entry of the colon-
// separated list in turn), then XDG_SESSION_DESKTOP, then DESKTOP_SESSION; then a wlroots
// compositor (SWAYSOCK, or any WAYLAND_DISPLAY, where swaybg is the one way we know); then bare
// X11 when DISPLAY is set; else "none". Desktop names match case-insensitively as substrings.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nimbra {

// Answers an environment variable's value, or nothing when it is unset.
using TEnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

// The process's own environment.
TEnvironmentLookup ProcessEnvironment();

struct TWallpaperBackendChoice {
  std::string Name;    // "gnome", "kde", "xfce", "cinnamon", "mate", "sway", "x11" or "none"
  std::string Reason;  // for the log: which variable decided, and its value
};

TWallpaperBackendChoice ChooseWallpaperBackend(const TEnvironmentLookup& environment);
std::string DetectWallpaperBackend(const TEnvironmentLookup& environment = ProcessEnvironment());
std::string ExplainWallpaperBackend(const TEnvironmentLookup& environment = ProcessEnvironment());

// The backend a single desktop name stands for ("X-Cinnamon" → "cinnamon"), or empty.
std::string BackendForDesktopName(std::string_view desktop);

}  // namespace nimbra
