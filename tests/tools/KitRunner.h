// Runs nimbra-kit commands in the test's process and collects what they print.
#pragma once

#include <string>
#include <vector>

namespace nimbra::test {

struct KitResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

KitResult RunKitCommand(const std::vector<std::string>& args);
// Runs the built nimbra-kit program itself through the shell; yields its exit status.
int RunKitProgram(const std::string& arguments);

}  // namespace nimbra::test
