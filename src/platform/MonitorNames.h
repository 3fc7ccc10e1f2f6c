// The connector names of the connected monitors ("HDMI-1", "eDP-1") as Qt knows them, for the
// wallpaper setter. Call on the GUI thread with a QGuiApplication running; empty otherwise.
#pragma once

#include <string>
#include <vector>

namespace nimbra {

std::vector<std::string> ConnectedMonitorNames();

}  // namespace nimbra
