// The option lines of a program's help, laid out from its option table: every option's label
// ("  -o, --output FILE") with its help in one column beside it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nimbra {

struct TOptionHelpLine {
  std::string Label;
  // Lines after the first go below it in the same column.
  std::string_view Help;
  // Shown as "(default ...)" after the help; none when empty.
  std::string_view Default;
};

// The column is three past the longest label that fits beside its help; a longer label stands on
// a line of its own with its help below it.
std::string FormatOptionHelp(const std::vector<TOptionHelpLine>& lines);

}  // namespace nimbra
