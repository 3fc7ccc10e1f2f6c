#include "framework/OptionHelp.h"

#include <algorithm>

namespace nimbra {

namespace {

// Labels up to this long share their line with the help; the help column stays narrow enough
// that most help fits in a terminal's width.
constexpr size_t kMaxLabelBesideHelp = 23;

std::string HelpText(const TOptionHelpLine& line) {
  std::string help(line.Help);
  if (!line.Default.empty()) {
    help += help.empty() ? "(default " : " (default ";
    help.append(line.Default).append(")");
  }
  return help;
}

}  // namespace

std::string FormatOptionHelp(const std::vector<TOptionHelpLine>& lines) {
  size_t labelWidth = 0;
  for (const TOptionHelpLine& line : lines) {
    if (line.Label.size() <= kMaxLabelBesideHelp)
      labelWidth = std::max(labelWidth, line.Label.size());
  }
  const size_t column = labelWidth + 3;
  std::string text;
  for (const TOptionHelpLine& line : lines) {
    text += line.Label;
    const std::string help = HelpText(line);
    if (help.empty()) {
      text += "\n";
      continue;
    }
    size_t at = line.Label.size();
    if (at > kMaxLabelBesideHelp) {
      text += "\n";
      at = 0;
    }
    size_t start = 0;
    while (start <= help.size()) {
      const size_t end = std::min(help.find('\n', start), help.size());
      text.append(column - at, ' ').append(help, start, end - start).append("\n");
      at = 0;
      start = end + 1;
    }
  }
  return text;
}

}  // namespace nimbra
