#include "StartupTestAlbum.h"

#include <filesystem>
#include <stdexcept>

#include "album/AlbumIdentity.h"
#include "album/DesktopNimbraProperties.h"
#include "elements/PrintPageElementPicture.h"
#include "raster/Bitmap32Graphic.h"
#include "raster/PictureFormats.h"
#include "raster/PictureWriters.h"
#include "storage/FileAccess.h"
#include "storage/FileStream.h"
#include "storage/Packager.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureElements.h"
#include "templates/StructureEvent.h"

namespace nimbra::test {

namespace fs = std::filesystem;

std::vector<std::string> WriteStartupPhotos(const std::string& folder) {
  std::vector<std::string> paths;
  for (size_t i = 0; i < kStartupPhotoColours.size(); ++i) {
    TBitmap32 photo(64, 36);
    photo.Clear(kStartupPhotoColours[i]);
    const std::string path = (fs::path(folder) / ("photo" + std::to_string(i + 1) + ".png")).string();
    TFileStream stream(path, FileMode::Create);
    SavePng(photo, stream);
    paths.push_back(path);
  }
  return paths;
}

void WriteStartupProject(const std::string& path) {
  TPrintWizardPageTemplateProject project;
  auto* page = dynamic_cast<TPrintWizardPageTemplate*>(project.FirstTemplate());
  if (page == nullptr) throw std::logic_error("a new project has no print-wizard template");
  page->WizardProperties().SetBackColor(kColor32Black);
  auto picture = std::make_unique<TPrintPageElementPicture>();
  picture->SetBounds({0.0, 0.0, 1.0, 1.0});
  picture->PictureProperties().SetKeepAspectRatio(false);
  page->Elements().Add(std::move(picture));

  auto loop = std::make_unique<TSlideShowPageTemplateStructureElementLoop>();
  loop->LoopProperties().SetEvent(std::make_unique<TStructureEventOnListEnd>());
  TRef<ITreeItem> loopItem = HandOverToRef<ITreeItem>(std::move(loop));
  project.Structure().GetItems()->Add(loopItem);
  auto pageElement = std::make_unique<TPageTemplateStructureElementPage>();
  pageElement->SetTemplate(page);
  loopItem->NeedChildren()->Add(HandOverToRef<ITreeItem>(std::move(pageElement)));
  if (!project.SaveToFile(path)) throw std::runtime_error("cannot write " + path);
}

void WriteStartupSettings(const std::string& path, int32_t interval, uint8_t changeMode,
                          int32_t page) {
  TDesktopNimbraProperties settings;
  settings.SetInterval(interval);
  settings.SetChangeMode(changeMode);
  settings.SetPage(page);
  TFileStream stream(path, FileMode::Create);
  if (!settings.SaveToStream(stream, 0, 0)) throw std::runtime_error("cannot write " + path);
}

void WriteStartupPackage(const std::string& path, const std::vector<std::string>& files) {
  TPackager packager;
  if (!packager.CreatePackageFile(path)) throw std::runtime_error(packager.LastError());
  for (const std::string& file : files) {
    auto record = std::make_unique<TPackageFileListItem>(fs::path(file).filename().string());
    if (!packager.AddFile(file, std::move(record))) throw std::runtime_error(packager.LastError());
  }
  if (!packager.Close()) throw std::runtime_error(packager.LastError());
}

void WriteStartupExecutable(const std::string& path, const std::vector<std::string>& files) {
  {
    TFileStream program(path, FileMode::Create);
    const std::string code = "\x7f" "ELF stand-in for the album program";
    program.Write(code.data(), static_cast<int64_t>(code.size()));
  }
  TPackager packager;
  if (!packager.AppendToExecutable(path)) throw std::runtime_error(packager.LastError());
  for (const std::string& file : files) {
    auto record = std::make_unique<TPackageFileListItem>(fs::path(file).filename().string());
    if (!packager.AddFile(file, std::move(record))) throw std::runtime_error(packager.LastError());
  }
  if (!packager.Close()) throw std::runtime_error(packager.LastError());
}

TColor32 CentreColour(const std::string& pictureFile) {
  TFileAccess files;
  const std::unique_ptr<TGraphic> graphic = LoadGraphic(files, pictureFile);
  const auto* pixels = dynamic_cast<const TBitmap32Graphic*>(graphic.get());
  if (pixels == nullptr) throw std::runtime_error("cannot read " + pictureFile);
  const TBitmap32& bitmap = pixels->Bitmap();
  return bitmap.Pixel(bitmap.Width() / 2, bitmap.Height() / 2);
}

std::string StartupAlbumSettingsKey(const std::string& program) {
  TPackager packager;
  if (!packager.OpenExecutable(program)) return {};
  return AlbumStoreKey(TDesktopNimbraProperties::ProductKey(),
                       PackagedAlbumIdentity(program, packager));
}

std::string StartupAlbumSettingsKey(const std::string& show, const std::string& project) {
  return AlbumStoreKey(TDesktopNimbraProperties::ProductKey(),
                       DocumentsAlbumIdentity(show, project));
}

std::vector<std::string> WriteStartupAlbumFiles(const std::string& folder, uint8_t changeMode) {
  std::vector<std::string> files = WriteStartupPhotos(folder);
  std::vector<std::string> names;
  for (const std::string& file : files) names.push_back("|" + fs::path(file).filename().string());
  const std::string show = (fs::path(folder) / "album.kvt").string();
  const std::string project = (fs::path(folder) / "album.pwt").string();
  const std::string settings = (fs::path(folder) / "Oriel.cfg").string();
  WriteStartupShow(show, names);
  WriteStartupProject(project);
  WriteStartupSettings(settings, 600000, changeMode, -1);
  files.insert(files.end(), {show, project, settings});
  return files;
}

}  // namespace nimbra::test
