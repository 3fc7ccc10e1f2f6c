// The folders the framework works with: the program's own folder, the user's data folder, the
// presets folders and the sound library's path. Every folder ends with "/". The program folder is
// fixed at framework start-up; the user data folder follows the application information installed
// when it is asked for. Both can be set by the program (and by tests) instead.
#pragma once

#include <string>

namespace nimbra {

// The user's home folder ($HOME, else the password database); empty when there is none.
std::string HomeFolder();
// The folder of the running executable (/proc/self/exe), with a trailing "/".
std::string ExecutableFolder();

std::string ProgramFolder();
// Replaces the program folder; an empty text goes back to the executable's folder.
void SetProgramFolder(std::string folder);

// $XDG_DATA_HOME (default ~/.local/share) followed by the application information's data
// sub-folder; without a home, the program folder + "Anwendungsdaten/". With create set, the folder
// is created with its parents; a failure to create is ignored.
std::string UserDataFolder(bool create = false);
// Replaces the user data folder; an empty text goes back to the one described above.
void SetUserDataFolder(std::string folder);

// Program folder + "Presets/", and user data folder + "Presets/".
std::string PresetsFolder();
std::string UserPresetsFolder(bool create = false);
// The presets of this application in each of the two: the presets folder followed by the
// application's presets sub-folder.
std::string ApplicationPresetsFolder();
std::string UserApplicationPresetsFolder(bool create = false);

// Program folder + "Data/" + the library's file name.
std::string SoundLibraryPath();

// Forgets the folders fixed at start-up or set since (framework shutdown).
void ClearFrameworkFolders();
// Fixes the program folder at the executable's folder unless one was set (framework start-up).
void InitializeFrameworkFolders();

// A Windows-style folder or file name with "/" for every "\".
std::string WithForwardSlashes(std::string name);
// The folder with a trailing "/" (unchanged when empty or already ending in one).
std::string WithTrailingSlash(std::string folder);

}  // namespace nimbra
