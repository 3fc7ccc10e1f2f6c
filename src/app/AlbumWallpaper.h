// The album's wallpaper setter: the backend the session (or `--wallpaper=NAME`) asks for, writing
// "Velmora Nimbra Hintergrundbild.bmp" into the user's data folder of the application
// ($XDG_DATA_HOME/Velmora/Nimbra/).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/WallpaperBackends.h"
#include "platform/WallpaperSetter.h"

namespace nimbra {

// Needs the application information installed; raises EWallpaperError for an unknown backend.
std::unique_ptr<TWallpaperSetter> CreateAlbumWallpaperSetter(std::string_view backendName,
                                                             TWallpaperBackendOptions options = {});

}  // namespace nimbra
