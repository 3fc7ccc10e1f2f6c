// The album's autostart entry: an XDG desktop entry in the user's autostart folder
// ($XDG_CONFIG_HOME/autostart) that starts the album at login. Entries are recognised by their
// command (the Exec line), not by their file name, so an entry that another tool wrote for the
// album is found, refreshed and removed like our own.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbra {

struct TAutostartEntry {
  // The entry's file in the autostart folder, e.g. "Velmora Nimbra.desktop".
  std::string FileName;
  // False when the desktop was told to skip it (Hidden=true, X-GNOME-Autostart-enabled=false).
  bool Enabled = true;
};

// What the [Desktop Entry] group of a desktop entry says about starting a program: its Exec value
// as it stands in the file, and whether the desktop was told to skip it (Hidden=true,
// X-GNOME-Autostart-enabled=false). Other groups, comments and malformed lines are passed over.
struct TDesktopEntryCommand {
  std::string Exec;
  bool Enabled = true;
};
TDesktopEntryCommand ParseDesktopEntryCommand(std::string_view content);

// One argument of an Exec line as the desktop-entry rules want it: quoted (with `"`, `` ` ``,
// `$` and `\` escaped) when it holds a reserved character, "%" doubled, and the whole escaped once
// more as a string value; raises std::invalid_argument for text that is not UTF-8.
std::string ExecLineArgument(std::string_view argument);
// The Exec value (as it stands in the file) of a command line.
std::string ExecLine(const std::vector<std::string>& arguments);
// The arguments of an Exec value as it stands in the file; field codes other than "%%" are
// dropped. Malformed quoting ends the last argument at the end of the text.
std::vector<std::string> ParseExecLine(std::string_view value);

class TAutoRun {
 public:
  // $XDG_CONFIG_HOME/autostart, or ~/.config/autostart.
  static std::string DefaultFolder();
  // The running program's own file (/proc/self/exe).
  static std::string OwnExecutable();

  explicit TAutoRun(std::string folder = DefaultFolder());
  const std::string& Folder() const { return folder_; }

  // The first entry (in file-name order) whose command holds the reference's arguments, one after
  // the other and each whole: "/opt/urlaub" is not the entry of "/opt/urlaub2".
  std::optional<TAutostartEntry> Find(const std::vector<std::string>& reference) const;
  std::optional<TAutostartEntry> Find(std::string_view executable) const;
  // An entry of the reference exists and the desktop will start it.
  bool Installed(const std::vector<std::string>& reference) const;
  bool Installed(std::string_view executable) const;
  // Writes the command executable + arguments into the entry Find yields for the reference (empty:
  // the executable alone), or else into entryName + ".desktop" (whose Name it is). Without
  // arguments nothing is written. False when nothing could be written.
  bool Install(const std::string& executable, const std::vector<std::string>& arguments,
               const std::string& entryName, std::vector<std::string> reference = {}) const;
  // Deletes the entry of the reference; false when there was none or it stays.
  bool Remove(const std::vector<std::string>& reference) const;
  bool Remove(std::string_view executable) const;
  // The full path of an entry file of the folder.
  std::string EntryPath(const TAutostartEntry& entry) const;

 private:
  std::string folder_;
};

}  // namespace nimbra
