#include "platform/WallpaperSetter.h"

#include <future>
#include <new>
#include <optional>
#include <system_error>

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

bool TWallpaperSetter::SetWallpaper(const TBitmap32& page,
                                    const std::vector<TWallpaperScreen>& screens) {
  const TWallpaperNeeds needs = backend_->Needs();
  TWallpaperPicture written;
  const auto writeFiles = [&] {
    return FailureOf([&] { written = files_.Write(page, needs, screens); });
  };
  TWallpaperPicture picture;
  picture.Page = &page;
  picture.Screens = screens;
  {
    std::lock_guard lock(mutex_);
    picture.MonitorNames = monitorNames_;
  }
  std::optional<std::string> fileFailure;
  std::optional<std::string> desktopFailure;
  if (needs.ReadsFile) {
    // The file's own message says where and why; the desktop was not asked.
    fileFailure = writeFiles();
    if (!fileFailure) {
      picture.BitmapFile = written.BitmapFile;
      picture.PngFile = written.PngFile;
      picture.Screens = written.Screens;
      desktopFailure = FailureOf([&] { backend_->Apply(picture); });
    }
  } else {
    // Handing a screen's page to the desktop takes about as long as writing its file: the page
    // is made ready while the file is written on a thread of its own (which has the caller's
    // priority), and shown once the file is there, so that a failed change leaves both as they
    // were.
    std::future<std::optional<std::string>> fileWriting;
    try {
      fileWriting = std::async(std::launch::async, writeFiles);
    } catch (const std::system_error&) {
      // No thread to spare: one after the other.
    }
    std::optional<TPreparedWallpaper> prepared;
    desktopFailure = FailureOf([&] { prepared = backend_->Prepare(picture); });
    fileFailure = fileWriting.valid() ? fileWriting.get() : writeFiles();
    if (!fileFailure && !desktopFailure) desktopFailure = FailureOf([&] { prepared->Show(); });
  }
  if (fileFailure) {
    Fail(*fileFailure);
    return false;
  }
  if (!desktopFailure) {
    desktopFailure = FailureOf([&] { files_.Switched(written); });
  }
  if (desktopFailure) {
    Fail(backend_->Title() + ": " + *desktopFailure);
    return false;
  }
  std::lock_guard lock(mutex_);
  currentFile_ = written.BitmapFile;
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
