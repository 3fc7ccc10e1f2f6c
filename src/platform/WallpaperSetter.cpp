#include "platform/WallpaperSetter.h"

#include <exception>

#include "framework/ApplicationInfo.h"

namespace nimbra {

std::string WallpaperBaseName(const ISlideShowApplicationInfo& info) {
  return info.CompanyName() + " " + info.ProductName() + " Hintergrundbild";
}

TWallpaperSetter::TWallpaperSetter(std::unique_ptr<TWallpaperBackend> backend, std::string folder,
                                   std::string baseName)
    : backend_(std::move(backend)), files_(std::move(folder), std::move(baseName)) {
  if (!backend_) throw EWallpaperError("a wallpaper setter needs a backend");
}

bool TWallpaperSetter::SetWallpaper(const TBitmap32& page) {
  TWallpaperPicture picture;
  try {
    picture = files_.Write(page, backend_->Needs());
  } catch (const std::exception& error) {
    // The file's own message says where and why; the desktop was not asked.
    Fail(error.what());
    return false;
  }
  try {
    {
      std::lock_guard lock(mutex_);
      picture.MonitorNames = monitorNames_;
    }
    backend_->Apply(picture);
    files_.Switched(picture);
    std::lock_guard lock(mutex_);
    currentFile_ = picture.BitmapFile;
    lastError_.clear();
    return true;
  } catch (const std::exception& error) {
    Fail(backend_->Name() + " wallpaper: " + error.what());
  } catch (...) {
    Fail(backend_->Name() + " wallpaper: unknown failure");
  }
  return false;
}

void TWallpaperSetter::Fail(std::string reason) {
  std::lock_guard lock(mutex_);
  lastError_ = std::move(reason);
}

std::string TWallpaperSetter::LastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

std::string TWallpaperSetter::CurrentFile() const {
  std::lock_guard lock(mutex_);
  return currentFile_;
}

void TWallpaperSetter::SetMonitorNames(std::vector<std::string> names) {
  std::lock_guard lock(mutex_);
  monitorNames_ = std::move(names);
}

}  // namespace nimbra
