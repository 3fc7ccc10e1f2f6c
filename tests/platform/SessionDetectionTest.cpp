#include <gtest/gtest.h>

#include <map>

#include "platform/SessionDetection.h"
#include "platform/WallpaperBackend.h"
#include "platform/WallpaperBackends.h"

namespace nimbra {
namespace {

TEnvironmentLookup Environment(std::map<std::string, std::string> values) {
  return [values = std::move(values)](std::string_view name) -> std::optional<std::string> {
    const auto it = values.find(std::string(name));
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
}

struct TDetectionCase {
  std::map<std::string, std::string> Variables;
  std::string Backend;
};

TEST(SessionDetectionTest, PicksTheBackendInTheDocumentedOrder) {
  const TDetectionCase cases[] = {
      {{{"XDG_CURRENT_DESKTOP", "GNOME"}, {"DISPLAY", ":0"}}, "gnome"},
      {{{"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}, {"WAYLAND_DISPLAY", "wayland-0"}}, "gnome"},
      {{{"XDG_CURRENT_DESKTOP", "Budgie:GNOME"}}, "gnome"},
      {{{"XDG_CURRENT_DESKTOP", "Unity"}}, "gnome"},
      {{{"XDG_CURRENT_DESKTOP", "X-Cinnamon"}}, "cinnamon"},
      {{{"XDG_CURRENT_DESKTOP", "MATE"}}, "mate"},
      {{{"XDG_CURRENT_DESKTOP", "XFCE"}}, "xfce"},
      {{{"XDG_CURRENT_DESKTOP", "KDE"}, {"WAYLAND_DISPLAY", "wayland-0"}}, "kde"},
      {{{"XDG_CURRENT_DESKTOP", "sway"}}, "sway"},
      // The first entry of the list that names a desktop we know decides.
      {{{"XDG_CURRENT_DESKTOP", "LXQt:KDE:GNOME"}}, "kde"},
      // An unknown desktop falls through to the next variable, then to the session type.
      {{{"XDG_CURRENT_DESKTOP", "LXDE"}, {"XDG_SESSION_DESKTOP", "xfce"}}, "xfce"},
      {{{"XDG_CURRENT_DESKTOP", ""}, {"DESKTOP_SESSION", "/usr/share/xsessions/plasma"}}, "kde"},
      {{{"XDG_CURRENT_DESKTOP", "Hyprland"}, {"WAYLAND_DISPLAY", "wayland-1"}, {"DISPLAY", ":1"}},
       "sway"},
      {{{"SWAYSOCK", "/run/user/1000/sway-ipc.sock"}, {"DISPLAY", ":0"}}, "sway"},
      {{{"XDG_CURRENT_DESKTOP", "i3"}, {"DISPLAY", ":0"}}, "x11"},
      {{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", ""}}, "x11"},
      {{{"XDG_CURRENT_DESKTOP", "Deepin"}}, "none"},
      {{}, "none"},
  };
  for (const TDetectionCase& c : cases) {
    std::string described;
    for (const auto& [name, value] : c.Variables) described += name + "=" + value + " ";
    EXPECT_EQ(DetectWallpaperBackend(Environment(c.Variables)), c.Backend) << described;
  }
}

TEST(SessionDetectionTest, ExplainsWhichVariableDecided) {
  const auto environment = Environment({{"XDG_CURRENT_DESKTOP", "LXDE"}, {"DISPLAY", ":5"}});
  const std::string why = ExplainWallpaperBackend(environment);
  EXPECT_NE(why.find("\"x11\""), std::string::npos) << why;
  EXPECT_NE(why.find("XDG_CURRENT_DESKTOP=LXDE"), std::string::npos) << why;
  EXPECT_NE(why.find("DISPLAY=:5"), std::string::npos) << why;
  const std::string kde = ExplainWallpaperBackend(Environment({{"XDG_SESSION_DESKTOP", "KDE"}}));
  EXPECT_NE(kde.find("XDG_SESSION_DESKTOP=KDE"), std::string::npos) << kde;
}

TEST(SessionDetectionTest, BackendsAreCreatedByNameOrFromTheSession) {
  const auto xfce = Environment({{"XDG_CURRENT_DESKTOP", "XFCE"}});
  EXPECT_EQ(CreateWallpaperBackend("auto", {}, xfce)->Name(), "xfce");
  EXPECT_EQ(CreateWallpaperBackend("", {}, xfce)->Name(), "xfce");
  for (const std::string& name : WallpaperBackendNames()) {
    if (name == "auto" || name == "command") continue;
    EXPECT_EQ(CreateWallpaperBackend(name, {}, xfce)->Name(), name);
  }
  EXPECT_EQ(CreateWallpaperBackend("GNOME", {}, xfce)->Name(), "gnome");
  EXPECT_EQ(CreateWallpaperBackend("command:feh --bg-fill %f", {}, xfce)->Name(), "command");
  EXPECT_THROW(CreateWallpaperBackend("command", {}, xfce), EWallpaperError);
  EXPECT_THROW(CreateWallpaperBackend("windows", {}, xfce), EWallpaperError);
}

}  // namespace
}  // namespace nimbra
