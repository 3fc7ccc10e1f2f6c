#include "nimbra-kit/MakeShowCommandPhotos.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <ostream>

#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/NaturalOrder.h"
#include "raster/CodecError.h"
#include "raster/PictureFile.h"
#include "raster/PictureFormatRegistration.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "storage/FileAccess.h"

namespace nimbra::kit {

namespace {

namespace fs = std::filesystem;

// Folders nested deeper than this are taken for a link loop and not entered.
constexpr int kMaxFolderDepth = 32;

// A picture's header is enough to know the album can show it: the readers refuse up front
// every picture they would not decode (sizes beyond their limits, more pixels than the file could
// hold), and decoding would cost as much as the picture claims to be large. The formats are
// registered meanwhile (TPictureFormatsScope) and chosen by content as the album does, so a photo
// whose name lost or changed its extension is taken as well.
std::string ReadFailure(const std::string& path) {
  try {
    TFileAccess disk;
    ReadShownSize(disk, path);
    return {};
  } catch (const EFormatNotSupported& error) {
    return error.what();
  } catch (const EPictureTooLarge& error) {
    return error.what();
  } catch (const ENimbraError& error) {
    return std::string("cannot be read: ") + error.what();
  } catch (const std::bad_alloc&) {
    return "cannot be read: out of memory";
  }
}

bool Earlier(const TPhoto& a, const TPhoto& b, TPhotoOrder order) {
  if (order == TPhotoOrder::ByDate) {
    const bool aDated = a.Captured != kNoCaptureDateTime;
    const bool bDated = b.Captured != kNoCaptureDateTime;
    // Photos without a capture time follow the dated ones.
    if (aDated != bDated) return aDated;
    if (aDated && a.Captured != b.Captured) return a.Captured < b.Captured;
  }
  return NaturalLess(a.FileName, b.FileName);
}

TDateTime FirstCapture(const TPhotoFolder& folder) {
  TDateTime first = kNoCaptureDateTime;
  auto take = [&](TDateTime time) {
    if (time != kNoCaptureDateTime && (first == kNoCaptureDateTime || time < first)) first = time;
  };
  for (const TPhoto& photo : folder.Photos) take(photo.Captured);
  for (const TPhotoFolder& chapter : folder.Chapters) take(FirstCapture(chapter));
  return first;
}

void SortFolder(TPhotoFolder& folder, TPhotoOrder order) {
  std::stable_sort(folder.Photos.begin(), folder.Photos.end(),
                   [order](const TPhoto& a, const TPhoto& b) { return Earlier(a, b, order); });
  std::vector<std::pair<TDateTime, TPhotoFolder*>> keyed;
  for (TPhotoFolder& chapter : folder.Chapters) {
    keyed.emplace_back(order == TPhotoOrder::ByDate ? FirstCapture(chapter) : kNoCaptureDateTime,
                       &chapter);
  }
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    const bool aDated = a.first != kNoCaptureDateTime;
    const bool bDated = b.first != kNoCaptureDateTime;
    if (aDated != bDated) return aDated;
    if (aDated && a.first != b.first) return a.first < b.first;
    return NaturalLess(a.second->Name, b.second->Name);
  });
  std::vector<TPhotoFolder> sorted;
  for (auto& [time, chapter] : keyed) sorted.push_back(std::move(*chapter));
  folder.Chapters = std::move(sorted);
}

TPhotoFolder ReadFolder(const fs::path& path, TPhotoOrder order, int depth, std::ostream& report) {
  TPhotoFolder folder;
  folder.Name = path.filename().string();
  std::error_code error;
  fs::directory_iterator entries(path, error);
  if (error)
    throw ECommandError("cannot read the folder '" + path.string() + "': " + error.message());
  std::vector<fs::directory_entry> sorted(begin(entries), end(entries));
  std::sort(sorted.begin(), sorted.end());
  for (const fs::directory_entry& entry : sorted) {
    const std::string name = entry.path().filename().string();
    const std::string shown = entry.path().string();
    if (name.starts_with('.')) continue;  // hidden files are the system's, not photos
    if (entry.is_directory(error)) {
      if (entry.is_symlink(error) || depth >= kMaxFolderDepth) {
        report << "skipped " << shown << ": folder links and deeper folders are not followed\n";
        continue;
      }
      TPhotoFolder chapter = ReadFolder(entry.path(), order, depth + 1, report);
      if (chapter.PhotoCount() == 0) {
        report << "skipped " << shown << ": no photos\n";
      } else {
        folder.Chapters.push_back(std::move(chapter));
      }
      continue;
    }
    if (!entry.is_regular_file(error)) {
      report << "skipped " << shown << ": not a file\n";
      continue;
    }
    if (const std::string failure = ReadFailure(shown); !failure.empty()) {
      report << "skipped " << shown << ": " << failure << "\n";
      continue;
    }
    TPhoto photo;
    photo.Path = shown;
    photo.FileName = name;
    photo.Exif = TSlideShowObjectExif::CreateFromFile(shown);
    if (photo.Exif) photo.Captured = photo.Exif->CaptureDateTime();
    folder.Photos.push_back(std::move(photo));
  }
  SortFolder(folder, order);
  return folder;
}

void CollectInOrder(const TPhotoFolder& folder, std::vector<const TPhoto*>& photos) {
  for (const TPhoto& photo : folder.Photos) photos.push_back(&photo);
  for (const TPhotoFolder& chapter : folder.Chapters) CollectInOrder(chapter, photos);
}

void AddPhotos(const TPhotoFolder& folder, TSlideShowObjectList& list,
               const TShowSettings& settings) {
  for (const TPhoto& photo : folder.Photos) {
    auto object = std::make_unique<TExtPicSlideShowObject>();
    object->SetFileName(settings.StoredName(photo));
    std::unique_ptr<TSlideShowObjectExif> exif;
    if (photo.Exif) {
      exif = std::make_unique<TSlideShowObjectExif>();
      exif->Assign(*photo.Exif);
    }
    // Looked at now, so the album never needs the file for it.
    object->Picture().SetExif(std::move(exif));
    list.Add(std::move(object));
  }
  for (const TPhotoFolder& chapter : folder.Chapters) {
    auto container = std::make_unique<TContainerSlideShowObject>();
    container->SetChapterText(chapter.Name);
    AddPhotos(chapter, container->CreateChildren(), settings);
    list.Add(std::move(container));
  }
}

}  // namespace

size_t TPhotoFolder::PhotoCount() const {
  size_t count = Photos.size();
  for (const TPhotoFolder& chapter : Chapters) count += chapter.PhotoCount();
  return count;
}

TPhotoFolder CollectPhotos(const std::string& folder, TPhotoOrder order, std::ostream& report) {
  std::error_code error;
  if (!fs::is_directory(folder, error)) throw ECommandError("'" + folder + "' is not a folder");
  TPhotoFolder photos = ReadFolder(fs::path(folder), order, 0, report);
  if (photos.PhotoCount() == 0) {
    throw ECommandError("the folder '" + folder + "' holds no photos that can be read");
  }
  return photos;
}

std::vector<const TPhoto*> PhotosInOrder(const std::vector<TPhotoFolder>& folders) {
  std::vector<const TPhoto*> photos;
  for (const TPhotoFolder& folder : folders) CollectInOrder(folder, photos);
  return photos;
}

std::unique_ptr<TSlideShow> BuildSlideShow(const std::vector<TPhotoFolder>& folders,
                                           const TShowSettings& settings) {
  auto show = std::make_unique<TSlideShow>();
  show->SlideShowInfoProperties().SetTitle(settings.Title);
  show->SlideShowInfoProperties().SetAuthor(settings.Author);
  for (const TPhotoFolder& folder : folders) AddPhotos(folder, show->RootList(), settings);
  return show;
}

std::string CurrentUserName() {
  if (const passwd* account = ::getpwuid(::getuid())) {
    const std::string fullName = account->pw_gecos != nullptr ? account->pw_gecos : "";
    const std::string first = fullName.substr(0, fullName.find(','));
    if (!first.empty()) return first;
    if (account->pw_name != nullptr) return account->pw_name;
  }
  return {};
}

TPictureFormatsScope::TPictureFormatsScope() {
  RegisterPictureFormats();
}

TPictureFormatsScope::~TPictureFormatsScope() {
  UnregisterPictureFormats();
}

std::string DefaultTitle(const std::string& folder) {
  std::error_code error;
  fs::path path = fs::absolute(fs::path(folder), error).lexically_normal();
  if (!path.has_filename()) path = path.parent_path();
  return path.filename().string();
}

TPhotoOrder ParsePhotoOrder(const std::string& word) {
  if (word == "date") return TPhotoOrder::ByDate;
  if (word == "name") return TPhotoOrder::ByName;
  throw EUsageError("--sort takes 'date' or 'name', not '" + word + "'");
}

}  // namespace nimbra::kit
