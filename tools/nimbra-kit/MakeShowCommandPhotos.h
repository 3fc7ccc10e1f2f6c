// Photo folders turned into a slideshow document: the folders are searched for pictures that can
// be decoded, sub-folders become chapters named after them, photos are ordered by their capture
// time (then by name) or by name alone, and each picture object keeps its photo's EXIF record.
// make-show and album share this; they differ in the names the pictures are stored under.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "slideshow/DateTimeValue.h"
#include "slideshow/Exif.h"

namespace nimbra {
class TSlideShow;
}

namespace nimbra::kit {

struct TPhoto {
  std::string Path;  // on disk
  std::string FileName;
  TDateTime Captured = kNoCaptureDateTime;
  std::shared_ptr<TSlideShowObjectExif> Exif;  // none for photos without metadata
};

struct TPhotoFolder {
  std::string Name;  // the folder's own name
  std::vector<TPhoto> Photos;
  std::vector<TPhotoFolder> Chapters;

  size_t PhotoCount() const;
};

enum class TPhotoOrder { ByDate, ByName };

// Reads the folder and its sub-folders; a file that is no picture, or whose picture header its
// reader refuses, is passed over with one line on report. Pixels are never decoded. Raises
// ECommandError when the folder cannot be read or holds no photo at all.
TPhotoFolder CollectPhotos(const std::string& folder, TPhotoOrder order, std::ostream& report);

// Every photo of the folders, in the order the document shows them.
std::vector<const TPhoto*> PhotosInOrder(const std::vector<TPhotoFolder>& folders);

struct TShowSettings {
  std::string Title;
  std::string Author;
  // The name a photo is stored under in the document.
  std::function<std::string(const TPhoto&)> StoredName;
};

// A document of the folders: the photos of each folder at the root, in the order given, each
// sub-folder a chapter.
std::unique_ptr<TSlideShow> BuildSlideShow(const std::vector<TPhotoFolder>& folders,
                                           const TShowSettings& settings);

// The user's name for the document's author: the account's full name, else its login name.
std::string CurrentUserName();

// The picture readers, registered for as long as the scope lasts: photos are decoded to tell
// pictures from other files.
class TPictureFormatsScope {
 public:
  TPictureFormatsScope();
  ~TPictureFormatsScope();
  TPictureFormatsScope(const TPictureFormatsScope&) = delete;
  TPictureFormatsScope& operator=(const TPictureFormatsScope&) = delete;
};

// The title a document gets without --title: the name of the first folder.
std::string DefaultTitle(const std::string& folder);

// The words --sort takes.
TPhotoOrder ParsePhotoOrder(const std::string& word);

}  // namespace nimbra::kit
