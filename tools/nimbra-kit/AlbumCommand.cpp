#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <ostream>

#include "album/DesktopNimbraProperties.h"
#include "nimbra-kit/AlbumCommandParts.h"
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
    if (!packager.AddFile(parts.Photos[i]->Path,
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
  std::vector<std::string> fileNames;
  for (const TPhoto* photo : parts.Photos) fileNames.push_back(photo->FileName);
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
  out << "wrote " << output << ": " << parts.Photos.size() << " photos, layout " << layout.Name
      << ", built on " << program << "\n";
}

}  // namespace

const TKitCommand kAlbumCommand = {
    "album",
    "make a self-contained album program from photo folders",
    "Usage: nimbra-kit album DIR... --layout NAME|FILE.json -o ALBUM\n"
    "                        [--interval 30m|90s] [--mode timed|start|manual] [--exe NIMBRA]\n"
    "                        [--title T] [--sort date|name]\n"
    "\n"
    "Makes one program that shows the photos as desktop wallpapers: a copy of the nimbra\n"
    "program carrying the slideshow of the folders (as make-show makes it), the template\n"
    "project of the layout (as make-project makes it), the album's settings \"Oriel.cfg\" and\n"
    "the photos themselves. Photos of the same name from different folders are stored under\n"
    "distinct names. Nothing is written unless the whole album could be.\n",
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
     SortOption()},
    RunAlbum};

}  // namespace nimbra::kit
