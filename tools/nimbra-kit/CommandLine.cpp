#include "nimbra-kit/CommandLine.h"

#include "framework/OptionHelp.h"

namespace nimbra::kit {

namespace {

const OptionDefinition* FindOption(const std::vector<OptionDefinition>& definitions,
                                   const std::string& arg) {
  for (const OptionDefinition& definition : definitions) {
    if (arg.size() == 2 && definition.shortName != 0 && arg[1] == definition.shortName)
      return &definition;
    if (arg == "--" + definition.longName) return &definition;
  }
  return nullptr;
}

std::string Label(const OptionDefinition& definition) {
  std::string label = definition.shortName != 0 ? std::string("  -") + definition.shortName + ", "
                                                : std::string(6, ' ');
  label += "--" + definition.longName;
  if (definition.TakesValue()) label += " " + definition.valueName;
  return label;
}

}  // namespace

OptionDefinition SlideShowOption() {
  return {.longName = "slideshow",
          .shortName = 'p',
          .valueName = "FILE",
          .help = "the slideshow document"};
}

OptionDefinition TemplateOption() {
  return {.longName = "template",
          .shortName = 't',
          .valueName = "FILE",
          .help = "the template project"};
}

OptionDefinition PackageOption() {
  return {.longName = "package",
          .valueName = "PACKAGE",
          .help =
              "register a package (or album executable), so that FILE may be\n"
              "a package name such as \"|show.kvt\" (repeatable)"};
}

std::string OptionHelp(const std::vector<OptionDefinition>& definitions) {
  std::vector<TOptionHelpLine> lines;
  for (const OptionDefinition& definition : definitions) {
    lines.push_back({Label(definition), definition.help, definition.defaultValue});
  }
  lines.push_back({"  -h, --help", "show this help", {}});
  return FormatOptionHelp(lines);
}

TCommandLine::TCommandLine(const std::vector<std::string>& args,
                           const std::vector<OptionDefinition>& definitions) {
  for (const OptionDefinition& definition : definitions) {
    if (!definition.defaultValue.empty()) defaults_[definition.longName] = definition.defaultValue;
  }
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
    const OptionDefinition* definition = FindOption(definitions, arg);
    if (definition == nullptr) throw UsageError("unknown option " + arg);
    std::string value;
    if (definition->TakesValue()) {
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
    values_[definition->longName].push_back(value);
    inOrder_.emplace_back(definition->longName, value);
  }
}

const std::string& TCommandLine::Value(const std::string& longName) const {
  const auto found = values_.find(longName);
  if (found != values_.end()) return found->second.back();
  const auto preset = defaults_.find(longName);
  if (preset == defaults_.end()) throw UsageError("missing option --" + longName);
  return preset->second;
}

std::vector<std::string> TCommandLine::Values(const std::string& longName) const {
  const auto found = values_.find(longName);
  return found == values_.end() ? std::vector<std::string>{} : found->second;
}

}  // namespace nimbra::kit
