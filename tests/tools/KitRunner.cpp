#include "KitRunner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "nimbra-kit/KitCommands.h"

namespace nimbra::test {

KitResult RunKitCommand(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  KitResult result;
  result.exitCode = kit::RunKit(args, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

int RunKitProgram(const std::string& arguments) {
  const char* kit = std::getenv("NIMBRA_KIT");
  if (kit == nullptr) throw std::runtime_error("NIMBRA_KIT names no program");
  const int status = std::system((std::string(kit) + " " + arguments + " >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace nimbra::test
