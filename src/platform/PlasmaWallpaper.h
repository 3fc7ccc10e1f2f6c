// "kde": Plasma's shell runs a script over D-Bus that points every desktop (one per screen and
// activity) at the picture, or at its screen's picture, through the image wallpaper plug-in,
// which also ends a slideshow plug-in that would otherwise replace our page.
#pragma once

#include <string>
#include <vector>

#include "platform/WallpaperBackend.h"

namespace nimbra {

// A JavaScript string literal for the text, quoted as JSON quotes (a subset every script engine
// reads): backslashes, quotes, control characters and line separators are escaped.
std::string JavaScriptString(const std::string& text);
// The script for evaluateScript that shows the picture with that file URI on every desktop, or,
// given one picture per screen (in reading order), each screen's picture on the desktops of that
// screen, Plasma's screens taken in reading order too.
std::string PlasmaWallpaperScript(const std::string& fileUri,
                                  const std::vector<std::string>& screenUris = {});

class TPlasmaWallpaperBackend : public TWallpaperBackend {
 public:
  std::string Name() const override { return "kde"; }
  std::string Title() const override { return "KDE Plasma"; }
  // Plasma does not reload a name it already shows.
  TWallpaperNeeds Needs() const override {
    return {.FreshName = true, .Png = false, .FilePerScreen = true};
  }
  void Apply(const TWallpaperPicture& picture) override;
};

}  // namespace nimbra
