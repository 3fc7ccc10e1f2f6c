#include "platform/WallpaperSetter.h"

#include <new>
#include <optional>

#include "framework/ApplicationInfo.h"
#include "storage/NimbraError.h"

namespace nimbra {

namespace {

// What made step fail, when it raised one of the project's errors or ran out of memory; none when
// it succeeded. Anything else is a fault of ours and passes on.
template <typename Step>
std::optional<std::string> FailureOf(Step&& step) {
  try {
    step();
    return std::nullopt;
  } catch (const ENimbraError& error) {
    return error.what();
  } catch (const std::bad_alloc& error) {
    return error.what();
  }
}

}  // namespace

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
  // The file's own message says where and why; the desktop was not asked.
  if (const std::optional<std::string> failure =
          FailureOf([&] { picture = files_.Write(page, backend_->Needs()); })) {
    Fail(*failure);
    return false;
  }
  const std::optional<std::string> failure = FailureOf([&] {
    {
      std::lock_guard lock(mutex_);
      picture.MonitorNames = monitorNames_;
    }
    backend_->Apply(picture);
    files_.Switched(picture);
  });
  if (failure) {
    Fail(backend_->Title() + ": " + *failure);
    return false;
  }
  std::lock_guard lock(mutex_);
  currentFile_ = picture.BitmapFile;
  lastError_.clear();
  return true;
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
