#include "platform/SwayWallpaper.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"

namespace nimbra {

namespace {

bool EnvironmentSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// How long a new swaybg gets to show its picture (or fail) before the old one goes.
constexpr auto kSwaybgSettle = std::chrono::milliseconds(1000);
// swaymsg can hang when sway is busy; the album must not.
constexpr auto kSwaymsgTimeout = std::chrono::seconds(10);

}  // namespace

std::optional<std::string> SwayCommandArgument(const std::string& file) {
  if (file.find_first_of("\"\n\r") != std::string::npos || file.find("  ") != std::string::npos) {
    return std::nullopt;
  }
  return "\"" + ShellQuote(file) + "\"";
}

void TSwayWallpaperBackend::Apply(const TWallpaperPicture& picture) {
  if (picture.PngFile.empty()) throw EWallpaperError("für swaybg wurde keine PNG-Datei geschrieben");
  // Each output its own picture where every screen has one and a name; else the whole on all.
  std::vector<TOutputPicture> pictures;
  // Output names are plain words ("HDMI-A-1"); sway takes them as they are.
  const auto plainName = [](const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
    });
  };
  for (const TWallpaperScreen& screen : picture.Screens) {
    if (!plainName(screen.Name) || screen.PngFile.empty()) {
      pictures.clear();
      break;
    }
    pictures.emplace_back(screen.Name, screen.PngFile);
  }
  if (pictures.empty()) pictures.emplace_back("*", picture.PngFile);
  const bool swaymsgTakes = std::all_of(pictures.begin(), pictures.end(),
                                        [](const auto& p) { return SwayCommandArgument(p.second); });
  if (EnvironmentSet("SWAYSOCK") && ProgramExists("swaymsg") && swaymsgTakes) {
    ApplyWithSwaymsg(pictures);
  } else if (EnvironmentSet("WAYLAND_DISPLAY") && ProgramExists("swaybg")) {
    ApplyWithSwaybg(pictures);
  } else {
    throw EWallpaperError(
        "weder swaymsg (braucht SWAYSOCK) noch swaybg (braucht WAYLAND_DISPLAY) ist nutzbar");
  }
}

void TSwayWallpaperBackend::ApplyWithSwaymsg(const std::vector<TOutputPicture>& pictures) {
  for (const auto& [output, file] : pictures) {
    const TProcessResult result = RunProcess(
        {"swaymsg", "output", output, "bg", *SwayCommandArgument(file), "fill"}, kSwaymsgTimeout);
    if (!result.Succeeded()) throw EWallpaperError("swaymsg " + result.Describe());
  }
  // sway draws the background now; a swaybg of ours would cover it.
  StopProcess(swaybg_);
  swaybg_ = 0;
}

void TSwayWallpaperBackend::ApplyWithSwaybg(const std::vector<TOutputPicture>& pictures) {
  std::vector<std::string> argv{"swaybg"};
  for (const auto& [output, file] : pictures) {
    argv.insert(argv.end(), {"-o", output, "-i", file, "-m", "fill"});
  }
  const pid_t started = StartProcess(argv);
  const auto deadline = std::chrono::steady_clock::now() + kSwaybgSettle;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!ProcessRunning(started)) {
      throw EWallpaperError(
          "swaybg endete sofort; dem Compositor fehlt vielleicht wlr-layer-shell");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  StopProcess(swaybg_);
  swaybg_ = started;
}

}  // namespace nimbra
