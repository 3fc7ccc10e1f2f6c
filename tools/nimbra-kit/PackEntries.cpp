#include "nimbra-kit/PackEntries.h"

#include "nimbra-kit/CommandLine.h"
#include "storage/FileList.h"

namespace nimbra::kit {

std::vector<TPackEntry> CollectPackEntries(const TCommandLine& commandLine) {
  std::vector<TPackEntry> entries;
  for (const auto& [option, value] : commandLine.InOrder()) {
    if (option.empty()) {
      entries.push_back({std::string(FileNamePart(value)), value});
    } else if (option == "name") {
      const size_t equals = value.find('=');
      if (equals == std::string::npos || equals == 0 || equals + 1 == value.size()) {
        throw EUsageError("--name needs STORED=PATH, got '" + value + "'");
      }
      entries.push_back({value.substr(0, equals), value.substr(equals + 1)});
    }
  }
  if (entries.empty()) throw EUsageError("no files to pack");
  return entries;
}

}  // namespace nimbra::kit
