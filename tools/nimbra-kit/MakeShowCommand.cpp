#include <filesystem>
#include <ostream>

#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/KitStartup.h"
#include "nimbra-kit/MakeShowCommandPhotos.h"
#include "slideshow/SlideShow.h"

namespace nimbra::kit {

namespace {

namespace fs = std::filesystem;

// Relative to the document's folder, so that the document and its photos can move together.
std::string RelativeName(const std::string& photo, const fs::path& documentFolder) {
  std::error_code error;
  const fs::path relative = fs::relative(fs::absolute(photo), documentFolder, error);
  if (error || relative.empty()) return fs::absolute(photo).lexically_normal().string();
  return relative.generic_string();
}

void RunMakeShow(const TCommandLine& commandLine, std::ostream& out, std::ostream& /*err*/) {
  const std::string& output = commandLine.Value("output");
  const std::vector<std::string>& folders = commandLine.Positionals();
  if (folders.empty()) throw EUsageError("give at least one photo folder");
  const TPhotoOrder order = ParsePhotoOrder(commandLine.Value("sort"));

  TKitSession session;
  const TPictureFormatsScope formats;
  std::vector<TPhotoFolder> photos;
  for (const std::string& folder : folders) photos.push_back(CollectPhotos(folder, order, out));

  const fs::path documentFolder = fs::absolute(fs::path(output)).parent_path();
  TShowSettings settings;
  settings.Title = commandLine.Has("title") ? commandLine.Value("title") : DefaultTitle(folders[0]);
  settings.Author = CurrentUserName();
  settings.StoredName = [&](const TPhoto& photo) {
    return RelativeName(photo.Path, documentFolder);
  };
  const std::unique_ptr<TSlideShow> show = BuildSlideShow(photos, settings);
  if (!show->SaveToFile(output)) throw ECommandError("cannot write " + output);
  out << "wrote " << output << ": " << PhotosInOrder(photos).size() << " photos\n";
}

}  // namespace

const TKitCommand kMakeShowCommand = {
    "make-show",
    "make a slideshow document from photo folders",
    "Usage: nimbra-kit make-show -o OUT.kvt [--title T] [--sort date|name] DIR...\n"
    "\n"
    "Writes a slideshow document with one picture for every photo in the folders that can be\n"
    "read. The photos of each folder come first, ordered by the time they were taken (from\n"
    "their EXIF data; photos without one follow, by name) or by name; every sub-folder becomes\n"
    "a chapter named after it. Each picture keeps its photo's EXIF data. Names are stored\n"
    "relative to the document's folder. Files that are no pictures, or whose header says they\n"
    "cannot be shown, are skipped with one line each (the photos themselves are not decoded); a\n"
    "folder without any photo is an error.\n",
    {{.LongName = "output",
      .ShortName = 'o',
      .ValueName = "OUT.kvt",
      .Help = "the document to write; replaced only when complete"},
     {.LongName = "title",
      .ValueName = "T",
      .Help = "the document's title (default: the first folder's name)"},
     SortOption()},
    RunMakeShow};

}  // namespace nimbra::kit
