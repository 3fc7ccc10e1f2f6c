#include <iostream>
#include <string>
#include <vector>

#include "nimbra-kit/KitCommands.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int code = nimbra::kit::RunKit(args, std::cout, std::cerr);
  std::cout.flush();
  return code;
}
