// A user's wallpaper command ("feh --bg-fill %f"): %f becomes the picture file, quoted for the
// shell, and %% a percent sign; without %f the file is added as the last word. The result means
// what it would mean to /bin/sh. When it uses nothing but words, quotes and backslashes we split it
// ourselves and start the program directly; pipes, redirections, variables, globs and the like go
// through /bin/sh -c. Quoting %f yourself is wrong, as in desktop entries: it is quoted already.
#pragma once

#include <string>
#include <vector>

namespace nimbra {

struct TCommandPlan {
  std::vector<std::string> Argv;
  bool ThroughShell = false;
};

// 'text' with every single quote written as '\''.
std::string ShellQuote(const std::string& text);
// The command line with %f and %% replaced (and the file appended when there is no %f).
std::string SubstituteFile(const std::string& commandLine, const std::string& fileName);
TCommandPlan PlanCommand(const std::string& commandLine, const std::string& fileName);

}  // namespace nimbra
