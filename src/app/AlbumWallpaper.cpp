#include "app/AlbumWallpaper.h"

#include "framework/ApplicationInfo.h"
#include "framework/FrameworkFolders.h"
#include "storage/Check.h"

namespace nimbra {

std::unique_ptr<TWallpaperSetter> CreateAlbumWallpaperSetter(std::string_view backendName,
                                                             TWallpaperBackendOptions options) {
  const std::shared_ptr<ISlideShowApplicationInfo> info = SlideShowApplicationInfo();
  NIMBRA_CHECK(info, "the wallpaper needs the application information");
  return std::make_unique<TWallpaperSetter>(CreateWallpaperBackend(backendName, std::move(options)),
                                            UserDataFolder(), WallpaperBaseName(*info));
}

}  // namespace nimbra
