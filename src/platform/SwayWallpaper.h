// "sway" and other wlroots compositors: under sway, `swaymsg output * bg FILE fill` (sway then runs
// swaybg itself); elsewhere, or for a path sway cannot be told, a swaybg of our own, kept running,
// the previous one ended only once the new one shows, so there is no grey flash. swaybg may lack
// a BMP loader, hence the PNG. With a picture per screen each output gets its own.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/WallpaperBackend.h"

namespace nimbra {

// The file as one argument of a sway command. sway reads a command through its own quoting and
// then through wordexp(3), so the path is shell-quoted inside double quotes. Nothing when sway
// cannot be given the path: a double quote, a line break, or two spaces in a row, which sway
// collapses.
std::optional<std::string> SwayCommandArgument(const std::string& file);

class TSwayWallpaperBackend : public TWallpaperBackend {
 public:
  TSwayWallpaperBackend() = default;
  // Our swaybg stays: the wallpaper outlives the album, as on every other desktop.
  ~TSwayWallpaperBackend() override = default;
  TSwayWallpaperBackend(const TSwayWallpaperBackend&) = delete;
  TSwayWallpaperBackend& operator=(const TSwayWallpaperBackend&) = delete;

  std::string Name() const override { return "sway"; }
  TWallpaperNeeds Needs() const override {
    return {.FreshName = true, .Png = true, .FilePerScreen = true};
  }
  void Apply(const TWallpaperPicture& picture) override;

  // The swaybg we keep running, or 0.
  pid_t KeptBackgroundProcess() const { return swaybg_; }

 private:
  // One output's picture: the output's name ("*" for all) and the file.
  using TOutputPicture = std::pair<std::string, std::string>;
  void ApplyWithSwaymsg(const std::vector<TOutputPicture>& pictures);
  void ApplyWithSwaybg(const std::vector<TOutputPicture>& pictures);

  pid_t swaybg_ = 0;
};

}  // namespace nimbra
