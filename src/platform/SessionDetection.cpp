#include "platform/SessionDetection.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

namespace nimbra {

namespace {

struct TDesktopPattern {
  std::string_view Fragment;
  std::string_view Backend;
};

// Tried in this order, so "x-cinnamon" is not taken for something else and the GNOME family
// (Ubuntu, Unity, Budgie, Pantheon, GNOME Flashback) comes after the desktops that merely say
// they are GNOME-compatible.
constexpr TDesktopPattern kPatterns[] = {
    {"cinnamon", "cinnamon"}, {"mate", "mate"},      {"xfce", "xfce"},   {"kde", "kde"},
    {"plasma", "kde"},        {"gnome", "gnome"},    {"unity", "gnome"}, {"ubuntu", "gnome"},
    {"budgie", "gnome"},      {"pantheon", "gnome"}, {"sway", "sway"},
};

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::vector<std::string_view> SplitColons(std::string_view text) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t colon = std::min(text.find(':', start), text.size());
    if (colon > start) parts.push_back(text.substr(start, colon - start));
    start = colon + 1;
  }
  return parts;
}

std::optional<std::string> NonEmpty(const TEnvironmentLookup& environment, std::string_view name) {
  auto value = environment(name);
  if (value && value->empty()) return std::nullopt;
  return value;
}

}  // namespace

TEnvironmentLookup ProcessEnvironment() {
  return [](std::string_view name) -> std::optional<std::string> {
    const char* value = std::getenv(std::string(name).c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  };
}

std::string BackendForDesktopName(std::string_view desktop) {
  const std::string lower = Lower(desktop);
  for (const TDesktopPattern& pattern : kPatterns) {
    if (lower.find(pattern.Fragment) != std::string::npos) return std::string(pattern.Backend);
  }
  return {};
}

TWallpaperBackendChoice ChooseWallpaperBackend(const TEnvironmentLookup& environment) {
  std::string unknown;  // desktops we saw but have no backend for, for the reason text
  for (const std::string_view variable :
       {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION"}) {
    const auto value = NonEmpty(environment, variable);
    if (!value) continue;
    for (const std::string_view desktop : SplitColons(*value)) {
      std::string backend = BackendForDesktopName(desktop);
      if (!backend.empty()) {
        return {std::move(backend),
                std::string(variable) + "=" + *value + " names " + std::string(desktop)};
      }
    }
    unknown += (unknown.empty() ? "" : ", ") + std::string(variable) + "=" + *value;
  }
  const std::string known = unknown.empty() ? "no desktop is named" : "no backend knows " + unknown;
  if (const auto socket = NonEmpty(environment, "SWAYSOCK")) {
    return {"sway", known + "; SWAYSOCK=" + *socket + " is a sway session"};
  }
  if (const auto wayland = NonEmpty(environment, "WAYLAND_DISPLAY")) {
    return {"sway", known + "; WAYLAND_DISPLAY=" + *wayland +
                        " is a Wayland session, where swaybg serves wlroots compositors"};
  }
  if (const auto display = NonEmpty(environment, "DISPLAY")) {
    return {"x11", known + "; DISPLAY=" + *display + " is an X11 session"};
  }
  return {"none", known + "; neither WAYLAND_DISPLAY nor DISPLAY is set: the file only"};
}

std::string DetectWallpaperBackend(const TEnvironmentLookup& environment) {
  return ChooseWallpaperBackend(environment).Name;
}

std::string ExplainWallpaperBackend(const TEnvironmentLookup& environment) {
  const TWallpaperBackendChoice choice = ChooseWallpaperBackend(environment);
  return "wallpaper backend \"" + choice.Name + "\": " + choice.Reason;
}

}  // namespace nimbra
