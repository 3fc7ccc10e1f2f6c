// The files nimbra-kit pack stores, as its command line names them.
#pragma once

#include <string>
#include <vector>

namespace nimbra::kit {

class TCommandLine;

struct TPackEntry {
  std::string StoredName;
  std::string Path;
};

// In command-line order: each FILE under its file-name part, each --name STORED=PATH under the
// given name. Raises EUsageError for a --name without both parts and when no file is named; the
// names and files themselves are checked when they are packed.
std::vector<TPackEntry> CollectPackEntries(const TCommandLine& commandLine);

}  // namespace nimbra::kit
