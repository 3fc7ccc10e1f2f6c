// The arguments of one nimbra-kit command: options (short or long, with or without a value, some
// repeatable) and positional arguments, checked against the option table the command declares,
// which also makes the option lines of its help.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "storage/NimbraError.h"

namespace nimbra::kit {

// A command line that does not fit the command's usage (exit code 2).
class EUsageError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// A failure the command reports in one line (exit code 1).
class ECommandError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// One row of a command's option table.
struct TOptionDefinition {
  std::string LongName = {};      // without "--"
  char ShortName = 0;             // 0 when there is none
  std::string ValueName = {};     // how the help names the value; empty for an option without one
  std::string Help = {};          // lines after the first are indented below it
  std::string DefaultValue = {};  // the value when the option is not given; empty for none

  bool TakesValue() const { return !ValueName.empty(); }
};

// Rows several commands share: -p FILE, -t FILE, the repeatable --package PACKAGE, the layout
// of a project and the order of photos.
// Functions, not constants, so that the command tables of other files can use them while they
// are being initialised.
TOptionDefinition SlideShowOption();
TOptionDefinition TemplateOption();
TOptionDefinition PackageOption();
TOptionDefinition LayoutOption();
TOptionDefinition SortOption();

// The option lines of a command's help: the table's rows in order, then -h, --help.
std::string OptionHelp(const std::vector<TOptionDefinition>& definitions);

class TCommandLine {
 public:
  // Raises EUsageError for unknown options and options missing their value.
  TCommandLine(const std::vector<std::string>& args,
               const std::vector<TOptionDefinition>& definitions);

  // Whether the option was given; its default does not count.
  bool Has(const std::string& longName) const { return values_.count(longName) != 0; }
  // The last value given for the option, else its default; EUsageError when it has neither.
  const std::string& Value(const std::string& longName) const;
  std::vector<std::string> Values(const std::string& longName) const;
  const std::vector<std::string>& Positionals() const { return positionals_; }
  // Every option and positional in command-line order, as (option name or "", value).
  const std::vector<std::pair<std::string, std::string>>& InOrder() const { return inOrder_; }

 private:
  std::map<std::string, std::vector<std::string>> values_;
  std::map<std::string, std::string> defaults_;
  std::vector<std::string> positionals_;
  std::vector<std::pair<std::string, std::string>> inOrder_;
};

}  // namespace nimbra::kit
