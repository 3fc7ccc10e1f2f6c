#include "platform/WallpaperFiles.h"

#include <QImage>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/BitmapFileWriter.h"
#include "raster/Blend.h"
#include "storage/AtomicFile.h"
#include "storage/StreamErrors.h"
#include "storage/SystemErrorText.h"

namespace nimbra {

namespace fs = std::filesystem;

namespace {

const char* const kExtensions[] = {".bmp", ".png"};

void WritePngFile(const TBitmap32& page, const std::string& fileName) {
  // The page is opaque by the time it is shown; RGB32 keeps a stray alpha byte from making it
  // transparent in a PNG while the BMP readers ignore it.
  const QImage image(reinterpret_cast<const uchar*>(page.Bits()), page.Width(), page.Height(),
                     static_cast<qsizetype>(page.Width()) * 4, QImage::Format_RGB32);
  TAtomicFile file(fileName, 0644);
  if (!image.save(QString::fromStdString(file.TemporaryName()), "PNG")) {
    throw EWallpaperError("Die Datei \"" + fileName + "\" kann nicht geschrieben werden.");
  }
  file.Commit();
}

// A screen's name as part of a file name: connectors are plain words, but a slash or a control
// character would leave the folder or the line.
std::string ScreenLabel(const TWallpaperScreen& screen, size_t index) {
  std::string label = screen.Name.empty() ? "Bildschirm " + std::to_string(index + 1) : screen.Name;
  for (char& c : label) {
    if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
  }
  return label;
}

// The screen's part of the page.
TBitmap32 ScreenPart(const TBitmap32& page, const TRect& area) {
  const TRect part = IntersectRect(area, page.BoundsRect());
  TBitmap32 picture;
  picture.SetSizeForOverwrite(part.Width(), part.Height());
  DrawBitmap(picture, 0, 0, page, part, TDrawMode::Opaque);
  return picture;
}

fs::file_time_type ModifiedOr(const std::string& fileName, fs::file_time_type fallback) {
  std::error_code error;
  const auto time = fs::last_write_time(fileName, error);
  return error ? fallback : time;
}

}  // namespace

TWallpaperFiles::TWallpaperFiles(std::string folder, std::string baseName)
    : folder_(std::move(folder)), baseName_(std::move(baseName)) {}

std::string TWallpaperFiles::FileName(int slot, const std::string& extension,
                                      const std::string& screen) const {
  const std::string part = screen.empty() ? "" : " " + screen;
  return (fs::path(folder_) / (baseName_ + part + (slot == 0 ? "" : " (2)") + extension))
      .string();
}

int TWallpaperFiles::SlotOf(const std::string& bitmapFile) const {
  return bitmapFile == FileName(1, ".bmp") ? 1 : 0;
}

int TWallpaperFiles::ChooseSlot(const TWallpaperNeeds& needs) const {
  if (!needs.FreshName) return 0;
  if (shownSlot_) return 1 - *shownSlot_;
  // After a restart the newer file is the one a desktop may still show under its cached name.
  const auto never = fs::file_time_type::min();
  return ModifiedOr(FileName(1, ".bmp"), never) < ModifiedOr(FileName(0, ".bmp"), never) ? 1 : 0;
}

TWallpaperPicture TWallpaperFiles::Write(const TBitmap32& page, const TWallpaperNeeds& needs,
                                         const std::vector<TWallpaperScreen>& screens) {
  std::error_code error;
  fs::create_directories(folder_, error);
  if (error || !fs::is_directory(folder_, error)) {
    const int code = error ? error.value() : ENOTDIR;
    throw EWallpaperError("Der Ordner \"" + folder_ +
                          "\" kann nicht angelegt werden: " + SystemErrorText(code));
  }
  const int slot = ChooseSlot(needs);
  TWallpaperPicture picture;
  picture.Page = &page;
  picture.BitmapFile = FileName(slot, ".bmp");
  // A full disk or a read-only folder is the user's to mend: say so in their words, naming the
  // file they know rather than its temporary twin.
  const auto write = [](const std::string& fileName, const auto& writer) {
    try {
      writer(fileName);
    } catch (const EStreamError& failure) {
      throw EWallpaperError("Die Datei \"" + fileName +
                            "\" kann nicht geschrieben werden: " + FileErrorReason(failure));
    }
  };
  write(picture.BitmapFile, [&page](const std::string& name) { WriteBitmapFile(page, name); });
  if (needs.Png) {
    picture.PngFile = FileName(slot, ".png");
    write(picture.PngFile, [&page](const std::string& name) { WritePngFile(page, name); });
  }
  picture.Screens = screens;
  if (!needs.FilePerScreen || screens.size() < 2) return picture;
  for (size_t i = 0; i < screens.size(); ++i) {
    TWallpaperScreen& screen = picture.Screens[i];
    const TBitmap32 part = ScreenPart(page, screen.Area);
    if (part.Empty()) continue;
    const std::string label = ScreenLabel(screen, i);
    screen.BitmapFile = FileName(slot, ".bmp", label);
    write(screen.BitmapFile, [&part](const std::string& name) { WriteBitmapFile(part, name); });
    if (needs.Png) {
      screen.PngFile = FileName(slot, ".png", label);
      write(screen.PngFile, [&part](const std::string& name) { WritePngFile(part, name); });
    }
  }
  return picture;
}

void TWallpaperFiles::RemoveLeftovers() const {
  for (int slot = 0; slot < 2; ++slot) {
    for (const char* extension : kExtensions) {
      TAtomicFile::RemoveLeftovers(FileName(slot, extension));
    }
  }
}

void TWallpaperFiles::Switched(const TWallpaperPicture& picture) {
  std::vector<std::string> written{picture.BitmapFile};
  if (!picture.PngFile.empty()) written.push_back(picture.PngFile);
  for (const TWallpaperScreen& screen : picture.Screens) {
    for (const std::string& file : {screen.BitmapFile, screen.PngFile}) {
      if (file.empty()) continue;
      written.push_back(file);
      if (std::find(screenFiles_.begin(), screenFiles_.end(), file) == screenFiles_.end()) {
        screenFiles_.push_back(file);
      }
    }
  }
  // Before the first switch of this process we cannot tell which file the desktop still shows.
  if (shownSlot_) {
    std::vector<std::string> ours = screenFiles_;
    for (int slot = 0; slot < 2; ++slot) {
      for (const char* extension : kExtensions) ours.push_back(FileName(slot, extension));
    }
    const auto inUse = [](const std::vector<std::string>& files, const std::string& name) {
      return std::find(files.begin(), files.end(), name) != files.end();
    };
    for (const std::string& name : ours) {
      if (inUse(written, name) || inUse(shownFiles_, name)) continue;
      std::error_code ignored;
      fs::remove(name, ignored);
    }
    std::erase_if(screenFiles_, [&](const std::string& name) {
      return !inUse(written, name) && !inUse(shownFiles_, name);
    });
  }
  shownSlot_ = SlotOf(picture.BitmapFile);
  shownFiles_ = std::move(written);
}

}  // namespace nimbra
