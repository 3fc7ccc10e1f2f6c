#include "album/AlbumPackage.h"

#include <stdlib.h>

#include <system_error>

#include "album/DesktopNimbraProperties.h"
#include "raster/VendorLibraries.h"
#include "slideshow/SlideShowTree.h"
#include "storage/FalseOnFailure.h"
#include "storage/FileList.h"
#include "storage/MemoryStream.h"
#include "storage/Packager.h"

namespace nimbra {

namespace fs = std::filesystem;

namespace {

// A new folder only this user can enter, inside parent; empty when it cannot be made.
std::string MakePrivateFolder(const std::string& parent) {
  std::string pattern = (parent.empty() ? TemporaryFolder() : parent);
  if (!pattern.ends_with('/')) pattern += '/';
  pattern += "nimbra-libraries-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  return pattern + '/';
}

// Writes the library entry into folder under the library's own name, whatever the case of the
// entry's, and loads it from there; the file's path when it was written (even if loading failed,
// so that it is deleted at the end), else empty.
std::string ExtractLibrary(TPackager& packager, const TPackageFileListItem& entry,
                           std::string_view libraryName, const std::string& folder,
                           bool (*load)(std::string_view)) {
  const std::string path = folder + std::string(libraryName);
  if (!packager.Extract(entry, path)) return {};
  load(folder);
  return path;
}

void ExtractLibraries(TPackager& packager, const TVendorLibraryOptions& libraries,
                      TPackageScan& scan) {
  const TPackageFileListItem* jpeg2000 = packager.Directory().FirstMatch(kJpeg2000LibraryName);
  const TPackageFileListItem* luraWave = packager.Directory().FirstMatch(kLuraWaveLibraryName);
  if (!libraries.Load || (jpeg2000 == nullptr && luraWave == nullptr)) return;
  scan.LibraryFolder = MakePrivateFolder(libraries.ParentFolder);
  if (scan.LibraryFolder.empty()) return;
  if (jpeg2000 != nullptr) {
    scan.Jp2LibraryFile = ExtractLibrary(packager, *jpeg2000, kJpeg2000LibraryName,
                                         scan.LibraryFolder, &LoadJpeg2000Library);
  }
  if (luraWave != nullptr) {
    scan.LwfLibraryFile = ExtractLibrary(packager, *luraWave, kLuraWaveLibraryName,
                                         scan.LibraryFolder, &LoadLuraWaveLibrary);
  }
}

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

}  // namespace

std::string TemporaryFolder() {
  std::error_code error;
  fs::path folder = fs::temp_directory_path(error);
  if (error || folder.empty()) folder = "/tmp";
  std::string text = folder.string();
  if (!text.ends_with('/')) text += '/';
  return text;
}

std::unique_ptr<TPackager> OpenAlbumPackager(const std::string& path, std::string* whyNot) {
  auto packager = std::make_unique<TPackager>();
  if (packager->OpenExecutableOrPackageFile(path)) return packager;
  if (whyNot != nullptr) *whyNot = packager->LastError();
  return nullptr;
}

TPackageScan ScanPackage(std::unique_ptr<TPackager> packager, const std::string& packagePath,
                         TFileAccess& files, const TVendorLibraryOptions& libraries) {
  TPackageScan scan;
  // 1. the slideshow, 2. the template project
  if (const TPackageFileListItem* entry = packager->Directory().FirstMatch(kSlideShowMask)) {
    scan.SlideShowFileName = "|" + entry->FileName;
  }
  const std::string projectMask = "*." + std::string(kTemplateProjectExtension);
  if (const TPackageFileListItem* entry = packager->Directory().FirstMatch(projectMask)) {
    scan.TemplateFileName = "|" + entry->FileName;
  }
  // 3., 4. the vendor libraries, only when asked for
  ExtractLibraries(*packager, libraries, scan);
  // 5. the package joins the file access under its file name
  files.AddPackager(std::move(packager), std::string(FileNamePart(packagePath)));
  return scan;
}

void ReleaseVendorLibraries(TPackageScan& scan) {
  if (!scan.Jp2LibraryFile.empty()) {
    UnloadJpeg2000Library();
    RemoveFile(scan.Jp2LibraryFile);
    scan.Jp2LibraryFile.clear();
  }
  if (!scan.LwfLibraryFile.empty()) {
    UnloadLuraWaveLibrary();
    RemoveFile(scan.LwfLibraryFile);
    scan.LwfLibraryFile.clear();
  }
  if (!scan.LibraryFolder.empty()) {
    RemoveFile(scan.LibraryFolder);
    scan.LibraryFolder.clear();
  }
}

bool IsPackagedName(std::string_view name) { return TFileAccess::IsPackageName(name); }

bool ReadSlideShowDocument(IFileAccess& files, const std::string& name, TSlideShow& slideShow) {
  return FalseOnFailure([&] {
    const std::unique_ptr<TStream> stream = files.OpenFile(name);
    if (!stream) return false;
    // Read whole first: the document is read field by field, and each read of a packaged file is
    // a locked, positioned read of the package, which for an album of thousands of photos costs
    // more than the objects themselves. Only what is there is held; a short file raises.
    TMemoryStream document;
    document.CopyFrom(*stream, 0);
    document.SetPosition(0);
    const TSlideShowLoad code = slideShow.LoadFromStream(document);
    if (code != TSlideShowLoad::Loaded && code != TSlideShowLoad::LoadedWithMarker) return false;
    if (!IsPackagedName(name)) slideShow.SetFileName(name);
    return true;
  });
}

std::unique_ptr<TSlideShow> LoadSlideShowDocument(IFileAccess& files, const std::string& name) {
  auto slideShow = std::make_unique<TSlideShow>();
  if (!ReadSlideShowDocument(files, name, *slideShow)) return nullptr;
  return slideShow;
}

std::unique_ptr<TPrintWizardPageTemplateProject> LoadTemplateProjectDocument(
    IFileAccess& files, const std::string& name) {
  const std::unique_ptr<TStream> stream =
      ResultOnFailure<std::unique_ptr<TStream>>(nullptr, [&] { return files.OpenFile(name); });
  if (!stream) return nullptr;
  auto project = std::make_unique<TPrintWizardPageTemplateProject>();
  if (!IsPackagedName(name)) project->SetFileName(name);
  // Used as far as it was read.
  FalseOnFailure([&] { return project->LoadFromStream(*stream); });
  return project;
}

std::unique_ptr<TCustomTree> MakeSlideShowTree(const TSlideShow& slideShow) {
  auto tree = std::make_unique<TCustomTree>();
  BuildSlideShowTree(slideShow, *tree);
  return tree;
}

void InstallAlbumFiles(TAlbumDocuments& album) {
  album.Files = std::make_shared<TFileAccess>();
  SetFileAccess(album.Files);
}

void AddAlbumPackage(TAlbumDocuments& album, std::unique_ptr<TPackager> packager,
                     const std::string& packagePath, const TVendorLibraryOptions& libraries) {
  album.IsPackaged = true;
  album.Scan = ScanPackage(std::move(packager), packagePath, *album.Files, libraries);
  album.SlideShowFileName = album.Scan.SlideShowFileName;
  album.TemplateFileName = album.Scan.TemplateFileName;
}

void LoadAlbumDocuments(TAlbumDocuments& album) {
  if (album.SlideShowFileName.empty()) throw EAlbumLoadError("the album holds no slideshow (*.kvt)");
  if (album.TemplateFileName.empty()) {
    throw EAlbumLoadError("the album holds no template project (*.pwt)");
  }
  album.SlideShow = LoadSlideShowDocument(*album.Files, album.SlideShowFileName);
  if (!album.SlideShow) throw EAlbumLoadError("cannot read the slideshow " + album.SlideShowFileName);
  album.Tree = MakeSlideShowTree(*album.SlideShow);
  album.Project = LoadTemplateProjectDocument(*album.Files, album.TemplateFileName);
  if (!album.Project) {
    throw EAlbumLoadError("cannot open the template project " + album.TemplateFileName);
  }
}

TAlbumDocuments::~TAlbumDocuments() {
  // The album's own order: the file access and the libraries go first, the documents after.
  if (Files && FileAccess().get() == Files.get()) SetFileAccess(nullptr);
  Files.reset();
  ReleaseVendorLibraries(Scan);
}

std::unique_ptr<TAlbumDocuments> LoadAlbumPackage(const fs::path& path) {
  auto album = std::make_unique<TAlbumDocuments>();
  std::string whyNot;
  std::unique_ptr<TPackager> packager = OpenAlbumPackager(path.string(), &whyNot);
  if (!packager) throw EAlbumLoadError(path.string() + " is no album package: " + whyNot);
  InstallAlbumFiles(*album);
  AddAlbumPackage(*album, std::move(packager), path.string());
  LoadAlbumDocuments(*album);
  auto settings = std::make_unique<TDesktopNimbraProperties>();
  if (settings->LoadFromPackageFile()) album->PackagedSettings = std::move(settings);
  return album;
}

std::unique_ptr<TAlbumDocuments> LoadAlbumFiles(const fs::path& slideShow,
                                                const fs::path& templateProject) {
  auto album = std::make_unique<TAlbumDocuments>();
  InstallAlbumFiles(*album);
  album->SlideShowFileName = fs::absolute(slideShow).lexically_normal().string();
  album->TemplateFileName = fs::absolute(templateProject).lexically_normal().string();
  LoadAlbumDocuments(*album);
  return album;
}

}  // namespace nimbra
