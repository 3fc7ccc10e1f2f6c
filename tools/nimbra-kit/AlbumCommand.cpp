#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <optional>
#include <ostream>

#include "album/DesktopNimbraProperties.h"
#include "nimbra-kit/AlbumCommandParts.h"
#include "nimbra-kit/AlbumPhotoReduction.h"
#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/KitCommands.h"
#include "nimbra-kit/KitStartup.h"
#include "nimbra-kit/MakeProjectCommandLayout.h"
#include "nimbra-kit/MakeShowCommandPhotos.h"
#include "slideshow/SlideShow.h"
#include "storage/AtomicFile.h"
#include "storage/FileStream.h"
#include "storage/MemoryStream.h"
#include "storage/Packager.h"
#include "templates/PageTemplateProject.h"

namespace nimbra::kit {

namespace {

// The names the album program looks for: the first "*.kvt" and the first "*.pwt" of its package.
constexpr const char* kShowName = "Album.kvt";
constexpr const char* kProjectName = "Album.pwt";

struct TAlbumParts {
  TMemoryStream Show;
  TMemoryStream Project;
  TMemoryStream Settings;
  std::vector<const TPhoto*> Photos;
  // What is packed for each photo: the file as it is, or reduced.
  std::vector<TPackedPhoto> Packed;
  std::vector<std::string> PhotoNames;
};

std::string ProgramToCopy(const TCommandLine& commandLine) {
  if (commandLine.Has("exe")) return commandLine.Value("exe");
  std::string program = FindAlbumProgram();
  if (program.empty()) {
    throw ECommandError(
        "cannot find the nimbra program beside nimbra-kit or on PATH; give it "
        "with --exe");
  }
  return program;
}

mode_t ExecutableMode(const std::string& exe) {
  struct stat info {};
  if (::stat(exe.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    throw ECommandError("cannot read the program '" + exe + "'");
  }
  return info.st_mode & 07777;
}

void WriteSettings(const TAlbumOptions& options, TMemoryStream& stream) {
  TDesktopNimbraProperties settings;
  if (options.Interval) settings.SetInterval(*options.Interval);
  if (options.ChangeMode) settings.SetChangeMode(*options.ChangeMode);
  if (!settings.SaveToStream(stream, 0, 0) ||
      stream.Size() != TDesktopNimbraProperties::kStoredSize) {
    throw ECommandError("cannot write the album's settings");
  }
}

void AddStored(TPackager& packager, TMemoryStream& stream, const std::string& name) {
  stream.SetPosition(0);
  if (!packager.AddStream(stream, std::make_unique<TPackageFileListItem>(name))) {
    throw ECommandError("cannot add " + name + ": " + packager.LastError());
  }
}

void CopyFile(const std::string& from, const std::string& to) {
  TFileStream source(from, FileMode::OpenRead);
  TFileStream target(to, FileMode::Create);
  target.CopyFrom(source, 0);
  target.Flush();
}

void WriteAlbum(const std::string& output, const std::string& program, TAlbumParts& parts) {
  const mode_t mode = ExecutableMode(program);
  TAtomicFile target(output, (mode & 0777) | 0200);
  CopyFile(program, target.TemporaryName());
  TPackager packager;
  if (!packager.AppendToExecutable(target.TemporaryName())) {
    throw ECommandError(packager.LastError());
  }
  AddStored(packager, parts.Show, kShowName);
  AddStored(packager, parts.Project, kProjectName);
  AddStored(packager, parts.Settings, std::string(kOrielPackageFile.substr(1)));
  TProgressBar progress(stderr, "packing photos", parts.Photos.size());
  for (size_t i = 0; i < parts.Photos.size(); ++i) {
    if (!packager.AddFile(parts.Packed[i].Path,
                          std::make_unique<TPackageFileListItem>(parts.PhotoNames[i]))) {
      throw ECommandError("cannot add '" + parts.Photos[i]->Path + "': " + packager.LastError());
    }
    progress.Step();
  }
  progress.Finish();
  if (!packager.Close()) throw ECommandError(packager.LastError());
  if (::chmod(target.TemporaryName().c_str(), mode) != 0) {
    throw ECommandError("cannot keep the program's permissions on '" + output + "'");
  }
  target.Commit();
}

// Fills parts.Packed: each photo as it is without a reducer, else as the reducer packs it. Yields
// how many were reduced.
size_t ReducePhotos(TPhotoReducer* reducer, TAlbumParts& parts) {
  if (reducer == nullptr) {
    for (const TPhoto* photo : parts.Photos) parts.Packed.push_back({photo->Path, photo->FileName});
    return 0;
  }
  size_t reduced = 0;
  TProgressBar progress(stderr, "reducing photos", parts.Photos.size());
  for (const TPhoto* photo : parts.Photos) {
    try {
      parts.Packed.push_back(reducer->Pack(photo->Path, photo->FileName));
    } catch (const ENimbraError& error) {
      throw ECommandError("cannot reduce '" + photo->Path + "': " + error.what());
    }
    if (parts.Packed.back().Reduced) ++reduced;
    progress.Step();
  }
  progress.Finish();
  return reduced;
}

void RunAlbum(const TCommandLine& commandLine, std::ostream& out, std::ostream& /*err*/) {
  const TAlbumOptions options = ReadAlbumOptions(commandLine);
  const std::string& output = commandLine.Value("output");
  const std::vector<std::string>& folders = commandLine.Positionals();
  TAlbumParts parts;
  WriteSettings(options, parts.Settings);
  const std::string program = ProgramToCopy(commandLine);

  TKitSession session;
  const TPictureFormatsScope formats;
  const TLayout layout = LoadLayoutArgument(commandLine.Value("layout"));
  std::vector<TPhotoFolder> photos;
  for (const std::string& folder : folders) {
    photos.push_back(CollectPhotos(folder, options.Order, out));
  }

  // Inside the package every photo is "|name", so the album opens it there.
  parts.Photos = PhotosInOrder(photos);
  std::optional<TPhotoReducer> reducer;
  if (options.MaxPhotoSize) reducer.emplace(*options.MaxPhotoSize);
  const size_t reduced = ReducePhotos(reducer ? &*reducer : nullptr, parts);
  std::vector<std::string> fileNames;
  for (const TPackedPhoto& packed : parts.Packed) fileNames.push_back(packed.FileName);
  parts.PhotoNames = UniquePackageNames(fileNames);
  std::map<const TPhoto*, std::string> packageNames;
  for (size_t i = 0; i < parts.Photos.size(); ++i) {
    packageNames[parts.Photos[i]] = "|" + parts.PhotoNames[i];
  }
  TShowSettings settings;
  settings.Title = commandLine.Has("title") ? commandLine.Value("title") : DefaultTitle(folders[0]);
  settings.Author = CurrentUserName();
  settings.StoredName = [&](const TPhoto& photo) { return packageNames.at(&photo); };
  const std::unique_ptr<TSlideShow> show = BuildSlideShow(photos, settings);
  if (!show->SaveToStream(parts.Show)) throw ECommandError("cannot write the slideshow");
  if (!layout.Project->SaveToStream(parts.Project)) throw ECommandError("cannot write the project");

  WriteAlbum(output, program, parts);
  out << "wrote " << output << ": " << parts.Photos.size() << " photos (" << reduced
      << " reduced), layout " << layout.Name << ", built on " << program << "\n";
}

}  // namespace

const TKitCommand kAlbumCommand = {
    "album",
    "make a self-contained album program from photo folders",
    "Usage: nimbra-kit album DIR... --layout NAME|FILE.json -o ALBUM\n"
    "                        [--interval 30m|90s] [--mode timed|start|manual] [--exe NIMBRA]\n"
    "                        [--title T] [--sort date|name]\n"
    "                        [--max-size WxH | --keep-originals]\n"
    "\n"
    "Makes one program that shows the photos as desktop wallpapers: a copy of the nimbra\n"
    "program carrying the slideshow of the folders (as make-show makes it), the template\n"
    "project of the layout (as make-project makes it), the album's settings \"Oriel.cfg\" and\n"
    "the photos themselves. Photos of the same name from different folders are stored under\n"
    "distinct names. Nothing is written unless the whole album could be.\n"
    "\n"
    "Photos larger than --max-size (as they are shown, after their EXIF orientation) are\n"
    "reduced once to fit it: a JPEG stays a JPEG of the same name (quality 92) with its EXIF\n"
    "and IPTC kept as they were; another picture with transparency becomes a PNG, any other\n"
    "a JPEG, named with the new extension. Smaller photos are packed unchanged.\n",
    {LayoutOption(),
     {.LongName = "output",
      .ShortName = 'o',
      .ValueName = "ALBUM",
      .Help = "the album program to write"},
     // The album's settings bag has these defaults; only a value given is stored over them.
     {.LongName = "interval",
      .ValueName = "TIME",
      .Help = "how often the wallpaper changes, e.g. 30m, 90s, 1h30m",
      .DefaultValue = "30m"},
     {.LongName = "mode",
      .ValueName = "MODE",
      .Help = "timed: at the interval; start: at every start of the album;\n"
              "manual: only from the tray menu",
      .DefaultValue = "timed"},
     {.LongName = "exe",
      .ValueName = "NIMBRA",
      .Help = "the nimbra program to build on (default: the one beside\n"
              "nimbra-kit, else the one on PATH)"},
     {.LongName = "title",
      .ValueName = "T",
      .Help = "the slideshow's title (default: the first folder's name)"},
     SortOption(),
     {.LongName = "max-size",
      .ValueName = "WxH",
      .Help = "reduce larger photos to fit; the default is the largest\n"
              "screen an album is made for (4K UHD)",
      .DefaultValue = "3840x2160"},
     {.LongName = "keep-originals",
      .Help = "pack every photo as it is, however large"}},
    RunAlbum};

}  // namespace nimbra::kit
