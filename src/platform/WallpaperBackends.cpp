#include "platform/WallpaperBackends.h"

#include "platform/CommandWallpaper.h"
#include "platform/GSettingsWallpaper.h"
#include "platform/PlasmaWallpaper.h"
#include "platform/SwayWallpaper.h"
#include "platform/X11Wallpaper.h"
#include "platform/XfceWallpaper.h"
#include "storage/TextCase.h"

namespace nimbra {

namespace {

constexpr std::string_view kCommandPrefix = "command:";

}  // namespace

std::vector<std::string> WallpaperBackendNames() {
  return {"auto", "gnome", "cinnamon", "mate", "kde", "xfce", "sway", "x11", "command", "none"};
}

std::unique_ptr<TWallpaperBackend> CreateWallpaperBackend(std::string_view name,
                                                          TWallpaperBackendOptions options,
                                                          const TEnvironmentLookup& environment) {
  if (name.size() >= kCommandPrefix.size() &&
      SameTextAscii(name.substr(0, kCommandPrefix.size()), kCommandPrefix)) {
    options.CommandLine = std::string(name.substr(kCommandPrefix.size()));
    name = "command";
  }
  std::string chosen(name);
  if (chosen.empty() || SameTextAscii(chosen, "auto")) chosen = DetectWallpaperBackend(environment);
  const auto is = [&](const char* candidate) { return SameTextAscii(chosen, candidate); };
  if (is("gnome")) return std::make_unique<TGSettingsWallpaperBackend>(GnomeRecipe());
  if (is("cinnamon")) return std::make_unique<TGSettingsWallpaperBackend>(CinnamonRecipe());
  if (is("mate")) return std::make_unique<TGSettingsWallpaperBackend>(MateRecipe());
  if (is("kde")) return std::make_unique<TPlasmaWallpaperBackend>();
  if (is("xfce")) return std::make_unique<TXfceWallpaperBackend>();
  if (is("sway")) return std::make_unique<TSwayWallpaperBackend>();
  if (is("x11")) return std::make_unique<TX11WallpaperBackend>(options.X11Display);
  if (is("none")) return std::make_unique<TNoWallpaperBackend>();
  if (is("command")) {
    if (options.CommandLine.empty()) {
      throw EWallpaperError(
          "für --wallpaper=command fehlt der Befehl: --wallpaper-command=BEFEHL");
    }
    return std::make_unique<TCommandWallpaperBackend>(options.CommandLine);
  }
  throw EWallpaperError("unbekannte Art, das Hintergrundbild zu setzen: \"" + chosen + "\"");
}

}  // namespace nimbra
