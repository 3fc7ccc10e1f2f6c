// Where an album's documents come from and how they are read: the package behind the album's
// executable (or a plain package file) with its first slideshow, first template project, settings
// file and vendor codec libraries, or a slideshow and a template project named as files. Usable
// without widgets, so that tools can open an album exactly as the album does.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "framework/CustomTree.h"
#include "slideshow/SlideShow.h"
#include "storage/FileAccess.h"
#include "storage/NimbraError.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {

class TDesktopNimbraProperties;

inline constexpr std::string_view kSlideShowMask = "*.kvt";
// The template project's extension, a resource text of the album.
inline constexpr std::string_view kTemplateProjectExtension = "pwt";

// Raised by the album loaders, saying what is wrong with the album.
class EAlbumLoadError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// Whether the vendor codec libraries a package carries are extracted and loaded. Nothing reads
// pictures through them (JPEG 2000 goes through OpenJPEG), so by default they stay in the package:
// loading a library runs its code inside the album.
struct TVendorLibraryOptions {
  bool Load = false;
  // Where the folder of this run's libraries is made; empty: the temporary folder.
  std::string ParentFolder;
};

// What ScanPackage found and put in place.
struct TPackageScan {
  // "|" + the stored name of the first matching entry; empty when the package has none.
  std::string SlideShowFileName;
  std::string TemplateFileName;
  // The folder made for this run's vendor libraries (mode 0700, with its trailing separator) and
  // the full paths of the libraries written into it under their own names; empty if none.
  std::string LibraryFolder;
  std::string Jp2LibraryFile;
  std::string LwfLibraryFile;
};

// The temporary folder with its trailing separator.
std::string TemporaryFolder();

// Opens the package an executable carries, or else the file as a plain package; none when it is
// neither (whyNot, when given, hears the reason).
std::unique_ptr<TPackager> OpenAlbumPackager(const std::string& path,
                                             std::string* whyNot = nullptr);

// Takes the first slideshow and the first template project of an open package and registers the
// packager with files under the file-name part of packagePath; files owns it from then on. When
// libraries.Load is set, the vendor libraries are written into a folder of this run's own, which
// nobody else can write to, and loaded from exactly the files written (failures there are
// ignored): a library placed under the same name in the shared temporary folder is never loaded.
TPackageScan ScanPackage(std::unique_ptr<TPackager> packager, const std::string& packagePath,
                         TFileAccess& files, const TVendorLibraryOptions& libraries = {});

// Unloads the libraries the scan loaded and deletes their files and folder (failures to delete
// are ignored); the scan's library names become empty.
void ReleaseVendorLibraries(TPackageScan& scan);

// A name inside a package starts with a bar; every other name is a file on disk.
bool IsPackagedName(std::string_view name);

// The slideshow of a name, read through files; none when it cannot be opened or read. A document
// on disk gets its file name, so that its relative picture names resolve beside it; a packaged one
// keeps none, and its pictures are package names.
std::unique_ptr<TSlideShow> LoadSlideShowDocument(IFileAccess& files, const std::string& name);
// The same into an existing slideshow; false when the document cannot be opened or read.
bool ReadSlideShowDocument(IFileAccess& files, const std::string& name, TSlideShow& slideShow);
// The template project of a name; none only when it cannot be opened. A project whose reading
// fails further on is used as far as it was read.
std::unique_ptr<TPrintWizardPageTemplateProject> LoadTemplateProjectDocument(
    IFileAccess& files, const std::string& name);
// The slideshow as a tree of items for the page walk.
std::unique_ptr<TCustomTree> MakeSlideShowTree(const TSlideShow& slideShow);

// An album with everything loaded. While it exists its file access is the process-wide one, so
// that package names ("|photo.jpg") open inside its package; it is cleared, and the vendor
// libraries unloaded and deleted, when the album goes.
struct TAlbumDocuments {
  TAlbumDocuments() = default;
  ~TAlbumDocuments();
  TAlbumDocuments(const TAlbumDocuments&) = delete;
  TAlbumDocuments& operator=(const TAlbumDocuments&) = delete;

  bool IsPackaged = false;
  std::shared_ptr<TFileAccess> Files;
  TPackageScan Scan;
  std::string SlideShowFileName;
  std::string TemplateFileName;
  // Freed in reverse order: the project, then the tree, then the slideshow the tree points into.
  std::unique_ptr<TSlideShow> SlideShow;
  std::unique_ptr<TCustomTree> Tree;
  std::unique_ptr<TPrintWizardPageTemplateProject> Project;
  // The settings that came with the package ("|Oriel.cfg"); none without them.
  std::unique_ptr<TDesktopNimbraProperties> PackagedSettings;
};

// The steps of the loaders below, for a caller that settles the names itself between them (the
// album window checks each name and resolves it beside the program, telling the user which one
// is missing). InstallAlbumFiles makes the album's file access the process-wide one;
// AddAlbumPackage joins an open package to it and takes the names of the package's documents
// (ScanPackage); LoadAlbumDocuments reads the documents of the names and raises EAlbumLoadError
// naming the one that fails.
void InstallAlbumFiles(TAlbumDocuments& album);
void AddAlbumPackage(TAlbumDocuments& album, std::unique_ptr<TPackager> packager,
                     const std::string& packagePath, const TVendorLibraryOptions& libraries = {});
void LoadAlbumDocuments(TAlbumDocuments& album);

// The album of an executable that carries a package, or of a plain package file. Raises
// EAlbumLoadError saying what is missing or unreadable. Needs the program's classes registered.
std::unique_ptr<TAlbumDocuments> LoadAlbumPackage(const std::filesystem::path& path);
// The album of a slideshow file and a template project file, as the switches -p and -t name them.
std::unique_ptr<TAlbumDocuments> LoadAlbumFiles(const std::filesystem::path& slideShow,
                                                const std::filesystem::path& templateProject);

}  // namespace nimbra
