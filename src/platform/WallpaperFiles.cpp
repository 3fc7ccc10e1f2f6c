#include "platform/WallpaperFiles.h"

#include <QImage>
#include <QString>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/BitmapFileWriter.h"
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

fs::file_time_type ModifiedOr(const std::string& fileName, fs::file_time_type fallback) {
  std::error_code error;
  const auto time = fs::last_write_time(fileName, error);
  return error ? fallback : time;
}

}  // namespace

TWallpaperFiles::TWallpaperFiles(std::string folder, std::string baseName)
    : folder_(std::move(folder)), baseName_(std::move(baseName)) {}

std::string TWallpaperFiles::FileName(int slot, const std::string& extension) const {
  return (fs::path(folder_) / (baseName_ + (slot == 0 ? "" : " (2)") + extension)).string();
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

TWallpaperPicture TWallpaperFiles::Write(const TBitmap32& page, const TWallpaperNeeds& needs) {
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
  // Before the first switch of this process we cannot tell which file the desktop still shows.
  if (shownSlot_) {
    for (int slot = 0; slot < 2; ++slot) {
      for (const char* extension : kExtensions) {
        const std::string name = FileName(slot, extension);
        const auto inUse = [&](const std::vector<std::string>& files) {
          return std::find(files.begin(), files.end(), name) != files.end();
        };
        if (inUse(written) || inUse(shownFiles_)) continue;
        std::error_code ignored;
        fs::remove(name, ignored);
      }
    }
  }
  shownSlot_ = SlotOf(picture.BitmapFile);
  shownFiles_ = std::move(written);
}

}  // namespace nimbra
