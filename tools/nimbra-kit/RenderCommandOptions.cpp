#include "nimbra-kit/RenderCommandOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_set>

#include "nimbra-kit/CommandLine.h"
#include "render/PictureFormatWriter.h"

namespace nimbra::kit {

namespace {

// A whole decimal number and nothing else; false for signs, spaces and overflow.
bool ParseWhole(std::string_view text, int64_t& value) {
  if (text.empty() || text.front() < '0' || text.front() > '9') return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

int ParseSide(std::string_view text, const std::string& whole) {
  int64_t value = 0;
  if (!ParseWhole(text, value) || value < 1 || value > kMaxRenderSide) {
    throw EUsageError("--size wants WIDTHxHEIGHT in pixels, each 1 to " +
                      std::to_string(kMaxRenderSide) + ", not '" + whole + "'");
  }
  return static_cast<int>(value);
}

int32_t ParsePageNumber(std::string_view text, const std::string& whole) {
  int64_t value = 0;
  if (!ParseWhole(text, value) || value < 1 || value > std::numeric_limits<int32_t>::max()) {
    throw EUsageError("--pages wants page numbers from 1 and ranges such as 2-5, not '" + whole +
                      "'");
  }
  return static_cast<int32_t>(value);
}

void CheckSources(const TCommandLine& commandLine) {
  if (!commandLine.Positionals().empty()) throw EUsageError("unexpected argument");
  const bool files = commandLine.Has("slideshow") || commandLine.Has("template");
  if (commandLine.Has("album")) {
    if (files) throw EUsageError("give either --album or -p and -t, not both");
  } else {
    if (!commandLine.Has("slideshow")) throw EUsageError("give the slideshow with -p FILE");
    if (!commandLine.Has("template")) throw EUsageError("give the template project with -t FILE");
  }
  if (!commandLine.Has("output")) throw EUsageError("give the folder for the pictures with -o DIR");
}

}  // namespace

TRenderSize ParseRenderSize(const std::string& text) {
  const size_t cross = text.find_first_of("xX");
  if (cross == std::string::npos) return {ParseSide({}, text), 0};
  const std::string_view view(text);
  return {ParseSide(view.substr(0, cross), text), ParseSide(view.substr(cross + 1), text)};
}

double ParseResolution(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value) || value <= 0 || value > 10000) {
    throw EUsageError("--dpi wants a resolution above 0 and at most 10000, not '" + text + "'");
  }
  return value;
}

std::vector<int32_t> ParsePageList(const std::string& text) {
  constexpr size_t kMaxPages = 1000000;
  std::vector<int32_t> indices;
  std::unordered_set<int32_t> seen;
  const auto add = [&](int32_t number) {
    if (seen.insert(number - 1).second) indices.push_back(number - 1);
    if (indices.size() > kMaxPages) throw EUsageError("--pages names more pages than an album has");
  };
  const std::string_view all(text);
  size_t start = 0;
  while (true) {
    const size_t comma = all.find(',', start);
    const std::string_view item =
        all.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    const size_t dash = item.find('-');
    if (dash == std::string_view::npos) {
      add(ParsePageNumber(item, text));
    } else {
      const int32_t first = ParsePageNumber(item.substr(0, dash), text);
      const int32_t last = ParsePageNumber(item.substr(dash + 1), text);
      if (last < first) {
        throw EUsageError("--pages: the range '" + std::string(item) + "' runs backwards");
      }
      if (int64_t{last} - first >= static_cast<int64_t>(kMaxPages)) {
        throw EUsageError("--pages names more pages than an album has");
      }
      for (int64_t number = first; number <= last; ++number) add(static_cast<int32_t>(number));
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return indices;
}

uint32_t ParseSeed(const std::string& text) {
  uint64_t value = 0;
  const bool digits = !text.empty() && text.size() <= 10 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  if (digits) value = std::stoull(text);
  if (!digits || value > UINT32_MAX) {
    throw EUsageError("--seed wants a whole number from 0 to 4294967295, not '" + text + "'");
  }
  return static_cast<uint32_t>(value);
}

TRenderOptions ReadRenderOptions(const TCommandLine& commandLine) {
  CheckSources(commandLine);
  TRenderOptions options;
  options.Size = ParseRenderSize(commandLine.Value("size"));
  options.Dpi = ParseResolution(commandLine.Value("dpi"));
  const std::string& formatName = commandLine.Value("format");
  options.Format = FindPictureFormatWriter(formatName);
  if (options.Format == nullptr) {
    throw EUsageError("--format is png, bmp or jpg, not '" + formatName + "'");
  }
  options.Prefix = commandLine.Value("prefix");
  if (options.Prefix.find_first_of("/\\") != std::string::npos) {
    throw EUsageError("--prefix is the start of a file name and holds no folder");
  }
  if (commandLine.Has("pages")) options.Pages = ParsePageList(commandLine.Value("pages"));
  if (commandLine.Has("seed")) options.Seed = ParseSeed(commandLine.Value("seed"));
  return options;
}

}  // namespace nimbra::kit
