#include "album/AutoRun.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "framework/FrameworkFolders.h"
#include "storage/AtomicFile.h"
#include "storage/NimbraError.h"

namespace nimbra {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kGroup = "[Desktop Entry]";
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";
// Autostart entries are a few hundred bytes; a larger file is no entry of ours to read.
constexpr uintmax_t kMaxEntrySize = 64 * 1024;

bool IsUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    int follow = 0;
    uint32_t code = 0;
    if (byte < 0x80) {
      ++i;
      continue;
    } else if ((byte & 0xE0) == 0xC0) {
      follow = 1;
      code = byte & 0x1F;
    } else if ((byte & 0xF0) == 0xE0) {
      follow = 2;
      code = byte & 0x0F;
    } else if ((byte & 0xF8) == 0xF0) {
      follow = 3;
      code = byte & 0x07;
    } else {
      return false;
    }
    if (i + follow >= text.size()) return false;
    for (int k = 1; k <= follow; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    static constexpr uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[follow] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += follow + 1;
  }
  return true;
}

// The escapes every string value of a desktop entry takes.
std::string EscapeString(std::string_view text) {
  std::string escaped;
  for (const char c : text) {
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '\n': escaped += "\\n"; break;
      case '\t': escaped += "\\t"; break;
      case '\r': escaped += "\\r"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string UnescapeString(std::string_view text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      plain += text[i];
      continue;
    }
    switch (text[i + 1]) {
      case 's': plain += ' '; break;
      case 'n': plain += '\n'; break;
      case 't': plain += '\t'; break;
      case 'r': plain += '\r'; break;
      case '\\': plain += '\\'; break;
      default: plain += text.substr(i, 2);
    }
    ++i;
  }
  return plain;
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

std::optional<TDesktopEntryCommand> ReadEntryFile(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error) || fs::file_size(path, error) > kMaxEntrySize || error) {
    return std::nullopt;
  }
  std::ifstream input(path, std::ios::binary);
  if (!input) return std::nullopt;
  // Read no more than was checked, even when the file grows meanwhile.
  std::string content(kMaxEntrySize, '\0');
  input.read(content.data(), static_cast<std::streamsize>(content.size()));
  content.resize(static_cast<size_t>(input.gcount()));
  return ParseDesktopEntryCommand(content);
}

// Whether the arguments hold the reference's arguments in a row, each one whole.
bool HoldsArguments(const std::vector<std::string>& arguments,
                    const std::vector<std::string>& reference) {
  return !reference.empty() &&
         std::search(arguments.begin(), arguments.end(), reference.begin(), reference.end()) !=
             arguments.end();
}

std::string SafeFileName(std::string name) {
  std::replace(name.begin(), name.end(), '/', '-');
  if (name.empty() || name == "." || name == "..") name = "nimbra";
  return name + ".desktop";
}

}  // namespace

TDesktopEntryCommand ParseDesktopEntryCommand(std::string_view content) {
  TDesktopEntryCommand entry;
  bool inGroup = false;
  while (!content.empty()) {
    const size_t end = std::min(content.find('\n'), content.size());
    const std::string text = Trimmed(content.substr(0, end));
    content.remove_prefix(std::min(end + 1, content.size()));
    if (text.empty() || text.front() == '#') continue;
    if (text.front() == '[') {
      inGroup = text == kGroup;
      continue;
    }
    const size_t equals = text.find('=');
    if (!inGroup || equals == std::string::npos) continue;
    const std::string key = Trimmed(std::string_view(text).substr(0, equals));
    const std::string value = Trimmed(std::string_view(text).substr(equals + 1));
    if (key == "Exec") entry.Exec = value;
    if (key == "Hidden" && value == "true") entry.Enabled = false;
    if (key == "X-GNOME-Autostart-enabled" && value == "false") entry.Enabled = false;
  }
  return entry;
}

std::string ExecLineArgument(std::string_view argument) {
  if (!IsUtf8(argument)) throw std::invalid_argument("an autostart command must be UTF-8");
  const bool quote =
      argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
  std::string result;
  if (quote) result += '"';
  for (const char c : argument) {
    if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) result += '\\';
    result += c;
    // Field codes begin with "%"; a literal one is doubled.
    if (c == '%') result += '%';
  }
  if (quote) result += '"';
  return EscapeString(result);
}

std::string ExecLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line += ' ';
    line += ExecLineArgument(argument);
  }
  return line;
}

std::vector<std::string> ParseExecLine(std::string_view value) {
  const std::string text = UnescapeString(value);
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  // An argument made only of field codes ("%U" with no files to open) expands to nothing at all,
  // while "" is an empty argument of its own.
  bool kept = false;
  bool quoted = false;
  const auto endArgument = [&] {
    if (inArgument && kept) arguments.push_back(std::exchange(current, {}));
    current.clear();
    inArgument = false;
    kept = false;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '\\' && i + 1 < text.size() &&
          kEscapedInQuotes.find(text[i + 1]) != std::string_view::npos) {
        current += text[++i];
      } else if (c == '"') {
        quoted = false;
      } else if (c == '%' && i + 1 < text.size() && text[i + 1] == '%') {
        current += text[++i];
      } else {
        current += c;
      }
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\n') {
      endArgument();
      continue;
    }
    inArgument = true;
    if (c == '"') {
      quoted = true;
      kept = true;
    } else if (c == '%' && i + 1 < text.size()) {
      if (text[++i] == '%') {
        current += '%';
        kept = true;
      }
    } else {
      current += c;
      kept = true;
    }
  }
  endArgument();
  return arguments;
}

std::string TAutoRun::DefaultFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return (fs::path(config) / "autostart").string();
  return (fs::path(HomeFolder()) / ".config" / "autostart").string();
}

std::string TAutoRun::OwnExecutable() {
  std::error_code error;
  const fs::path path = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

TAutoRun::TAutoRun(std::string folder) : folder_(std::move(folder)) {}

std::optional<TAutostartEntry> TAutoRun::Find(const std::vector<std::string>& reference) const {
  if (reference.empty() || reference.front().empty()) return std::nullopt;
  std::error_code error;
  std::vector<fs::path> files;
  for (fs::directory_iterator it(folder_, error), end; !error && it != end; it.increment(error)) {
    if (it->path().extension() == ".desktop") files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    const std::optional<TDesktopEntryCommand> entry = ReadEntryFile(file);
    if (!entry || entry->Exec.empty()) continue;
    if (HoldsArguments(ParseExecLine(entry->Exec), reference)) {
      return TAutostartEntry{file.filename().string(), entry->Enabled};
    }
  }
  return std::nullopt;
}

std::optional<TAutostartEntry> TAutoRun::Find(std::string_view executable) const {
  return Find(std::vector<std::string>{std::string(executable)});
}

bool TAutoRun::Installed(const std::vector<std::string>& reference) const {
  const std::optional<TAutostartEntry> entry = Find(reference);
  return entry && entry->Enabled;
}

bool TAutoRun::Installed(std::string_view executable) const {
  return Installed(std::vector<std::string>{std::string(executable)});
}

std::string TAutoRun::EntryPath(const TAutostartEntry& entry) const {
  return (fs::path(folder_) / entry.FileName).string();
}

bool TAutoRun::Install(const std::string& executable, const std::vector<std::string>& arguments,
                       const std::string& entryName, std::vector<std::string> reference) const {
  if (arguments.empty() || executable.empty()) return false;
  std::vector<std::string> command{executable};
  command.insert(command.end(), arguments.begin(), arguments.end());
  // A desktop entry holds UTF-8 only; a file name in another encoding cannot be started from one.
  if (!std::all_of(command.begin(), command.end(), IsUtf8)) return false;
  try {
    std::ostringstream content;
    content << kGroup << "\n"
            << "Type=Application\n"
            << "Name=" << EscapeString(entryName.empty() ? "Nimbra" : entryName) << "\n"
            << "Exec=" << ExecLine(command) << "\n"
            << "Terminal=false\n"
            << "X-GNOME-Autostart-enabled=true\n";
    if (reference.empty()) reference.push_back(executable);
    const std::optional<TAutostartEntry> existing = Find(reference);
    const fs::path file =
        fs::path(folder_) / (existing ? existing->FileName : SafeFileName(entryName));
    fs::create_directories(folder_);
    TAtomicFile atomic(file.string(), 0644);
    {
      std::ofstream output(atomic.TemporaryName(), std::ios::binary | std::ios::trunc);
      output << content.str();
      output.close();
      if (!output) return false;
    }
    atomic.Commit();
    return true;
  } catch (const ENimbraError&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::filesystem::filesystem_error&) {
    // The autostart folder could not be made.
    return false;
  }
}

bool TAutoRun::Remove(const std::vector<std::string>& reference) const {
  const std::optional<TAutostartEntry> entry = Find(reference);
  if (!entry) return false;
  std::error_code error;
  return fs::remove(EntryPath(*entry), error) && !error;
}

bool TAutoRun::Remove(std::string_view executable) const {
  return Remove(std::vector<std::string>{std::string(executable)});
}

}  // namespace nimbra
