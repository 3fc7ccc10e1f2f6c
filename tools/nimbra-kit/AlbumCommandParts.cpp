#include "nimbra-kit/AlbumCommandParts.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <limits>

#include "album/DesktopNimbraSettings.h"
#include "nimbra-kit/CommandLine.h"
#include "nimbra-kit/RenderCommandOptions.h"
#include "storage/TextCase.h"
#include "storage/Windows1252.h"

namespace nimbra::kit {

namespace {

namespace fs = std::filesystem;

constexpr int kBarWidth = 30;

// Each character the package's text form cannot hold becomes "_".
std::string StorableName(const std::string& name) {
  if (Windows1252ToUtf8(Utf8ToWindows1252(name)) == name) return name;
  std::string storable;
  for (size_t i = 0; i < name.size();) {
    const auto lead = static_cast<unsigned char>(name[i]);
    size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    length = std::min(length, name.size() - i);
    const std::string character = name.substr(i, length);
    storable += Windows1252ToUtf8(Utf8ToWindows1252(character)) == character ? character : "_";
    i += length;
  }
  return storable;
}

bool IsFree(const std::vector<std::string>& taken, const std::string& name) {
  for (const std::string& other : taken) {
    if (SameText(other, name)) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> UniquePackageNames(const std::vector<std::string>& fileNames) {
  std::vector<std::string> names;
  names.reserve(fileNames.size());
  for (const std::string& fileName : fileNames) {
    const std::string name = StorableName(fileName);
    std::string candidate = name;
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string extension = stem.size() == name.size() ? "" : name.substr(dot);
    for (int number = 2; !IsFree(names, candidate); ++number) {
      candidate = stem + "-" + std::to_string(number) + extension;
    }
    names.push_back(std::move(candidate));
  }
  return names;
}

int32_t ParseInterval(const std::string& text) {
  const std::string wrong = "--interval takes a time such as 30m, 90s or 1h30m, not '" + text + "'";
  int64_t milliseconds = 0;
  size_t i = 0;
  if (text.empty()) throw EUsageError(wrong);
  while (i < text.size()) {
    int64_t number = 0;
    const size_t start = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
      number = number * 10 + (text[i] - '0');
      if (number > std::numeric_limits<int32_t>::max()) throw EUsageError(wrong);
      ++i;
    }
    if (i == start || i == text.size()) throw EUsageError(wrong);
    const char unit = text[i++];
    const int64_t scale = unit == 'h' ? 3600000 : unit == 'm' ? 60000 : unit == 's' ? 1000 : 0;
    if (scale == 0) throw EUsageError(wrong);
    milliseconds += number * scale;
    if (milliseconds > std::numeric_limits<int32_t>::max()) {
      throw EUsageError("--interval '" + text + "' is longer than an album can store");
    }
  }
  // The album reads a shorter stored interval as its minimum.
  if (milliseconds < kMinimumChangeInterval) {
    throw EUsageError("--interval must be at least 10s");
  }
  return static_cast<int32_t>(milliseconds);
}

uint8_t ParseChangeMode(const std::string& word) {
  if (word == "timed") return 0;
  if (word == "start") return 1;
  if (word == "manual") return 2;
  throw EUsageError("--mode takes 'timed', 'start' or 'manual', not '" + word + "'");
}

TPictureSize ParseMaxPhotoSize(const std::string& text) {
  try {
    const TRenderSize box = ParseRenderSize(text);
    return {box.Width, box.Height};
  } catch (const EUsageError&) {
    throw EUsageError("--max-size wants WIDTHxHEIGHT in pixels, each 1 to " +
                      std::to_string(kMaxRenderSide) + ", not '" + text + "'");
  }
}

TAlbumOptions ReadAlbumOptions(const TCommandLine& commandLine) {
  if (!commandLine.Has("output")) throw EUsageError("missing option --output");
  if (commandLine.Positionals().empty()) throw EUsageError("give at least one photo folder");
  if (!commandLine.Has("layout")) throw EUsageError("give the layout with --layout NAME|FILE.json");
  TAlbumOptions options;
  options.Order = ParsePhotoOrder(commandLine.Value("sort"));
  if (commandLine.Has("interval")) options.Interval = ParseInterval(commandLine.Value("interval"));
  if (commandLine.Has("mode")) options.ChangeMode = ParseChangeMode(commandLine.Value("mode"));
  if (commandLine.Has("keep-originals") && commandLine.Has("max-size")) {
    throw EUsageError("--keep-originals keeps every photo as it is; drop --max-size");
  }
  if (!commandLine.Has("keep-originals")) {
    options.MaxPhotoSize = ParseMaxPhotoSize(commandLine.Value("max-size"));
  }
  return options;
}

std::string FindAlbumProgram() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    const fs::path beside = self.parent_path() / "nimbra";
    if (fs::is_regular_file(beside, error)) return beside.string();
  }
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "";
  size_t start = 0;
  while (start <= folders.size()) {
    const size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    if (!folder.empty()) {
      const fs::path candidate = fs::path(folder) / "nimbra";
      if (::access(candidate.c_str(), X_OK) == 0 && fs::is_regular_file(candidate, error)) {
        return candidate.string();
      }
    }
    start = end + 1;
  }
  return {};
}

TProgressBar::TProgressBar(std::FILE* terminal, std::string label, size_t total)
    : terminal_(terminal != nullptr && ::isatty(::fileno(terminal)) != 0 ? terminal : nullptr),
      label_(std::move(label)),
      total_(total) {
  Draw();
}

TProgressBar::~TProgressBar() {
  Finish();
}

void TProgressBar::Step() {
  if (done_ < total_) ++done_;
  Draw();
}

void TProgressBar::Draw() {
  if (terminal_ == nullptr) return;
  const size_t filled = total_ == 0 ? kBarWidth : done_ * kBarWidth / total_;
  const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
  std::fprintf(terminal_, "\r%s [%s] %zu/%zu", label_.c_str(), bar.c_str(), done_, total_);
  std::fflush(terminal_);
  drawn_ = true;
}

void TProgressBar::Finish() {
  if (!drawn_) return;
  std::fputc('\n', terminal_);
  std::fflush(terminal_);
  drawn_ = false;
}

}  // namespace nimbra::kit
