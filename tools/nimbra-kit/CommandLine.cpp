#include "nimbra-kit/CommandLine.h"

#include "framework/OptionHelp.h"

namespace nimbra::kit {

namespace {

const TOptionDefinition* FindOption(const std::vector<TOptionDefinition>& definitions,
                                    const std::string& arg) {
  for (const TOptionDefinition& definition : definitions) {
    if (arg.size() == 2 && definition.ShortName != 0 && arg[1] == definition.ShortName)
      return &definition;
    if (arg == "--" + definition.LongName) return &definition;
  }
  return nullptr;
}

std::string Label(const TOptionDefinition& definition) {
  std::string label = definition.ShortName != 0 ? std::string("  -") + definition.ShortName + ", "
                                                : std::string(6, ' ');
  label += "--" + definition.LongName;
  if (definition.TakesValue()) label += " " + definition.ValueName;
  return label;
}

}  // namespace

TOptionDefinition SlideShowOption() {
  return {.LongName = "slideshow",
          .ShortName = 'p',
          .ValueName = "FILE",
          .Help = "the slideshow document"};
}

TOptionDefinition TemplateOption() {
  return {.LongName = "template",
          .ShortName = 't',
          .ValueName = "FILE",
          .Help = "the template project"};
}

TOptionDefinition LayoutOption() {
  return {.LongName = "layout",
          .ValueName = "NAME|FILE.json",
          .Help =
              "a built-in layout (einzel, zwei, vier, mosaik, rahmen, stapel, "
              "beschriftet, buch) or a file"};
}

TOptionDefinition SortOption() {
  return {.LongName = "sort",
          .ValueName = "date|name",
          .Help = "the order of the photos",
          .DefaultValue = "date"};
}

TOptionDefinition PackageOption() {
  return {.LongName = "package",
          .ValueName = "PACKAGE",
          .Help =
              "register a package (or album executable), so that FILE may be\n"
              "a package name such as \"|show.kvt\" (repeatable)"};
}

std::string OptionHelp(const std::vector<TOptionDefinition>& definitions) {
  std::vector<TOptionHelpLine> lines;
  for (const TOptionDefinition& definition : definitions) {
    lines.push_back({Label(definition), definition.Help, definition.DefaultValue});
  }
  lines.push_back({"  -h, --help", "show this help", {}});
  return FormatOptionHelp(lines);
}

TCommandLine::TCommandLine(const std::vector<std::string>& args,
                           const std::vector<TOptionDefinition>& definitions) {
  for (const TOptionDefinition& definition : definitions) {
    if (!definition.DefaultValue.empty()) defaults_[definition.LongName] = definition.DefaultValue;
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
    const TOptionDefinition* definition = FindOption(definitions, arg);
    if (definition == nullptr) throw EUsageError("unknown option " + arg);
    std::string value;
    if (definition->TakesValue()) {
      if (hasInlineValue) {
        value = inlineValue;
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        throw EUsageError("option " + arg + " needs a value");
      }
    } else if (hasInlineValue) {
      throw EUsageError("option " + arg + " takes no value");
    }
    values_[definition->LongName].push_back(value);
    inOrder_.emplace_back(definition->LongName, value);
  }
}

const std::string& TCommandLine::Value(const std::string& longName) const {
  const auto found = values_.find(longName);
  if (found != values_.end()) return found->second.back();
  const auto preset = defaults_.find(longName);
  if (preset == defaults_.end()) throw EUsageError("missing option --" + longName);
  return preset->second;
}

std::vector<std::string> TCommandLine::Values(const std::string& longName) const {
  const auto found = values_.find(longName);
  return found == values_.end() ? std::vector<std::string>{} : found->second;
}

}  // namespace nimbra::kit
