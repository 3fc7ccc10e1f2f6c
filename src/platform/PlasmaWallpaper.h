// "kde": Plasma's shell runs a script over D-Bus that points every desktop (one per screen and
// activity) at the picture through the image wallpaper plug-in, which also ends a slideshow
// plug-in that would otherwise replace our page.
#pragma once

#include <string>

#include "platform/WallpaperBackend.h"

namespace nimbra {

// A JavaScript string literal for the text, quoted as JSON quotes (a subset every script engine
// reads): backslashes, quotes, control characters and line separators are escaped.
std::string JavaScriptString(const std::string& text);
// The script for evaluateScript that shows the picture with that file URI on every desktop.
std::string PlasmaWallpaperScript(const std::string& fileUri);

class TPlasmaWallpaperBackend : public TWallpaperBackend {
 public:
  std::string Name() const override { return "kde"; }
  std::string Title() const override { return "KDE Plasma"; }
  // Plasma does not reload a name it already shows.
  TWallpaperNeeds Needs() const override { return {.FreshName = true, .Png = false}; }
  void Apply(const TWallpaperPicture& picture) override;
};

}  // namespace nimbra
