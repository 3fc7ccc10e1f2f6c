#include "nimbra-kit/MakeProjectCommandLayout.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "layouts/BuiltInLayouts.h"
#include "layouts/LayoutJson.h"
#include "nimbra-kit/CommandLine.h"

namespace nimbra::kit {

namespace {

std::string ReadLayoutFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    throw ECommandError("cannot read the layout file '" + path + "'");
  }
  if (static_cast<size_t>(info.st_size) > kMaxLayoutJsonSize) {
    throw ECommandError(path + ": the layout is longer than " + std::to_string(kMaxLayoutJsonSize) +
                        " bytes");
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in && !in.eof()) throw ECommandError("cannot read the layout file '" + path + "'");
  return text.str();
}

bool LooksLikeFile(const std::string& argument) {
  return argument.find('/') != std::string::npos || argument.ends_with(".json");
}

}  // namespace

std::string BuiltInLayoutNames() {
  std::string names;
  for (const TBuiltInLayout& layout : BuiltInLayouts()) {
    names += (names.empty() ? "" : ", ") + std::string(layout.Name);
  }
  return names;
}

TLayout LoadLayoutArgument(const std::string& nameOrFile) {
  if (const TBuiltInLayout* builtIn = FindBuiltInLayout(nameOrFile)) {
    try {
      return ReadLayout(builtIn->Json);
    } catch (const ELayoutError& error) {
      throw ECommandError("the built-in layout '" + nameOrFile + "', " + error.what());
    }
  }
  if (!LooksLikeFile(nameOrFile)) {
    throw ECommandError("no layout is named '" + nameOrFile + "'; the layouts are " +
                        BuiltInLayoutNames() + ", or give a FILE.json");
  }
  const std::string text = ReadLayoutFile(nameOrFile);
  try {
    return ReadLayout(text);
  } catch (const ELayoutError& error) {
    throw ECommandError(nameOrFile + ", " + error.what());
  }
}

}  // namespace nimbra::kit
