#include "nimbra-kit/CommandLine.h"

namespace nimbra::kit {

namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& specs, const std::string& arg) {
  for (const OptionSpec& spec : specs) {
    if (arg.size() == 2 && spec.shortName != 0 && arg[1] == spec.shortName) return &spec;
    if (arg == "--" + spec.longName) return &spec;
  }
  return nullptr;
}

}  // namespace

TCommandLine::TCommandLine(const std::vector<std::string>& args,
                           const std::vector<OptionSpec>& specs) {
  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      positionals_.push_back(arg);
      inOrder_.emplace_back("", arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string inlineValue;
    bool hasInlineValue = false;
    if (arg.rfind("--", 0) == 0) {
      const size_t equals = arg.find('=');
      if (equals != std::string::npos) {
        inlineValue = arg.substr(equals + 1);
        hasInlineValue = true;
        arg.resize(equals);
      }
    }
    const OptionSpec* spec = FindSpec(specs, arg);
    if (spec == nullptr) throw UsageError("unknown option " + arg);
    std::string value;
    if (spec->takesValue) {
      if (hasInlineValue) {
        value = inlineValue;
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        throw UsageError("option " + arg + " needs a value");
      }
    } else if (hasInlineValue) {
      throw UsageError("option " + arg + " takes no value");
    }
    values_[spec->longName].push_back(value);
    inOrder_.emplace_back(spec->longName, value);
  }
}

const std::string& TCommandLine::Value(const std::string& longName) const {
  const auto found = values_.find(longName);
  if (found == values_.end()) throw UsageError("missing option --" + longName);
  return found->second.back();
}

std::vector<std::string> TCommandLine::Values(const std::string& longName) const {
  const auto found = values_.find(longName);
  return found == values_.end() ? std::vector<std::string>{} : found->second;
}

}  // namespace nimbra::kit
