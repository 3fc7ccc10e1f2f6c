// The values of nimbra-kit render's options: a picture size, a resolution, a format, a file-name
// prefix and a list of pages, each checked before anything is loaded, so that a mistyped option
// costs no work.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbra {
class TPluginClass;
}

namespace nimbra::kit {

class TCommandLine;

// The largest picture side the command takes; the page bitmap's own limit on its bytes applies too.
inline constexpr int kMaxRenderSide = 32767;

struct TRenderSize {
  int Width = 0;
  int Height = 0;
};

// "WxH" (or "WXH"), both whole numbers from 1 to kMaxRenderSide; raises EUsageError otherwise.
TRenderSize ParseRenderSize(const std::string& text);
// Dots per inch, a number above 0 and at most 10,000; raises EUsageError otherwise.
double ParseResolution(const std::string& text);
// A whole number from 0 to 4294967295; raises EUsageError otherwise.
uint32_t ParseSeed(const std::string& text);
// "1,3,5-7": 1-based page numbers and ranges, returned as 0-based indices in the order given,
// each once; raises EUsageError for anything else (0, a range that runs backwards, empty items).
std::vector<int32_t> ParsePageList(const std::string& text);

struct TRenderOptions {
  TRenderSize Size;
  double Dpi = 0;
  const TPluginClass* Format = nullptr;  // the picture format writer's class
  std::string Prefix;
  std::vector<int32_t> Pages;    // 0-based; none for all pages
  std::optional<uint32_t> Seed;  // the random turns' seed; none: a fresh one
};

// Checks that the command line names the documents (-p and -t, or --album, which the command
// reads from it) and the output folder, and reads the other options with their defaults; raises
// EUsageError.
TRenderOptions ReadRenderOptions(const TCommandLine& commandLine);

}  // namespace nimbra::kit
