// "gnome", "cinnamon", "mate": desktops whose wallpaper is a GSettings key. Each is a recipe of
// keys: a desktop slideshow to switch off first, then the picture keys, as a file URI or a plain
// path, and for a picture across several screens the placement that spans it. Written through
// GIO (the user's dconf, or whatever GSETTINGS_BACKEND names) and synced before we return, so that
// a failure is ours to report.
#pragma once

#include <string>
#include <vector>

#include "platform/WallpaperBackend.h"

namespace nimbra {

struct TGSettingsKey {
  std::string Schema;
  std::string Key;
  // Skipped where the desktop's release does not have it yet.
  bool Optional = false;
};

struct TGSettingsRecipe {
  std::string Name;
  std::string Title;  // the desktop as users know it
  std::vector<TGSettingsKey> SwitchOff;  // boolean keys set to false first
  std::vector<TGSettingsKey> UriKeys;    // string keys that take file:///…
  std::vector<TGSettingsKey> PathKeys;   // string keys that take the plain path
  // The picture's placement, set to "spanned" for a picture across several screens and left as
  // the user set it otherwise.
  std::vector<TGSettingsKey> SpanKeys;
};

TGSettingsRecipe GnomeRecipe();
TGSettingsRecipe CinnamonRecipe();
TGSettingsRecipe MateRecipe();

class TGSettingsWallpaperBackend : public TWallpaperBackend {
 public:
  explicit TGSettingsWallpaperBackend(TGSettingsRecipe recipe);

  std::string Name() const override { return recipe_.Name; }
  std::string Title() const override { return recipe_.Title; }
  // Setting a key to the value it has is no change, so nothing would be reloaded.
  TWallpaperNeeds Needs() const override { return {.FreshName = true, .Png = false}; }
  void Apply(const TWallpaperPicture& picture) override;

 private:
  TGSettingsRecipe recipe_;
};

}  // namespace nimbra
