#include "app/AlbumWallpaper.h"

#include <stdexcept>

#include "framework/ApplicationInfo.h"
#include "framework/FrameworkFolders.h"

namespace nimbra {

std::unique_ptr<TWallpaperSetter> CreateAlbumWallpaperSetter(std::string_view backendName,
                                                             TWallpaperBackendOptions options) {
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  if (!info) throw std::logic_error("the wallpaper needs the application information");
  return std::make_unique<TWallpaperSetter>(CreateWallpaperBackend(backendName, std::move(options)),
                                            UserDataFolder(), WallpaperBaseName(*info));
}

}  // namespace nimbra
