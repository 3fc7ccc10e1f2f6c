#include "nimbra-kit/PackEntries.h"

#include "nimbra-kit/CommandLine.h"
#include "storage/FileList.h"

namespace nimbra::kit {

std::vector<PackEntry> CollectPackEntries(const TCommandLine& commandLine) {
  std::vector<PackEntry> entries;
  for (const auto& [option, value] : commandLine.InOrder()) {
    if (option.empty()) {
      entries.push_back({std::string(FileNamePart(value)), value});
    } else if (option == "name") {
      const size_t equals = value.find('=');
      if (equals == std::string::npos || equals == 0 || equals + 1 == value.size()) {
        throw UsageError("--name needs STORED=PATH, got '" + value + "'");
      }
      entries.push_back({value.substr(0, equals), value.substr(equals + 1)});
    }
  }
  if (entries.empty()) throw UsageError("no files to pack");
  return entries;
}

}  // namespace nimbra::kit
