// Makes a rendered page the desktop wallpaper: writes it into the wallpaper folder under the name
// its backend needs, hands it to the backend, and tidies up the files no longer on show. A failure
// yields false and keeps its reason for whoever tells the user.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/WallpaperBackend.h"
#include "platform/WallpaperFiles.h"
#include "raster/Bitmap32.h"

namespace nimbra {

class ISlideShowApplicationInfo;

// company + " " + product + " Hintergrundbild", the wallpaper file's name without extension.
std::string WallpaperBaseName(const ISlideShowApplicationInfo& info);

class TWallpaperSetter {
 public:
  TWallpaperSetter(std::unique_ptr<TWallpaperBackend> backend, std::string folder,
                   std::string baseName);

  // Called from the render thread, one change at a time. screens: with several screens, where
  // each lies on the page.
  bool SetWallpaper(const TBitmap32& page, const std::vector<TWallpaperScreen>& screens = {});

  // The reason of the last failure, empty after a success.
  std::string LastError() const;
  // The picture file of the last successful change, empty before the first.
  std::string CurrentFile() const;
  const TWallpaperBackend& Backend() const { return *backend_; }

  // Connector names of the connected monitors, from the GUI thread whenever they change.
  void SetMonitorNames(std::vector<std::string> names);
  // See TWallpaperFiles::RemoveLeftovers.
  void RemoveLeftoverFiles() const { files_.RemoveLeftovers(); }

 private:
  void Fail(std::string reason);

  std::unique_ptr<TWallpaperBackend> backend_;
  TWallpaperFiles files_;
  mutable std::mutex mutex_;  // guards the fields below, read from other threads
  std::vector<std::string> monitorNames_;
  std::string lastError_;
  std::string currentFile_;
};

}  // namespace nimbra
