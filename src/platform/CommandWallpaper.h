// "command": the user's own program sets the wallpaper (see CommandLine.h for %f and quoting).
#pragma once

#include <chrono>
#include <string>

#include "platform/WallpaperBackend.h"

namespace nimbra {

class TCommandWallpaperBackend : public TWallpaperBackend {
 public:
  explicit TCommandWallpaperBackend(std::string commandLine,
                                    std::chrono::milliseconds timeout = std::chrono::seconds(60));

  std::string Name() const override { return "command"; }
  std::string Title() const override { return "Eigener Befehl"; }
  // The program is unknown; it may well cache by name.
  TWallpaperNeeds Needs() const override { return {.FreshName = true, .Png = false}; }
  void Apply(const TWallpaperPicture& picture) override;

 private:
  std::string commandLine_;
  std::chrono::milliseconds timeout_;
};

// "none": the picture file is written and nothing else happens; for users who point their own
// tools at the file.
class TNoWallpaperBackend : public TWallpaperBackend {
 public:
  std::string Name() const override { return "none"; }
  TWallpaperNeeds Needs() const override { return {}; }
  void Apply(const TWallpaperPicture&) override {}
};

}  // namespace nimbra
