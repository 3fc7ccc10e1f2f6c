// The layout a user names on the command line: a built-in layout by its name, or a JSON file.
#pragma once

#include <string>

#include "layouts/LayoutReader.h"

namespace nimbra::kit {

// Raises ECommandError for an unknown name, a file that cannot be read, or a layout with mistakes
// (the file name and the line in the message).
TLayout LoadLayoutArgument(const std::string& nameOrFile);

// "einzel, mosaik, ..." for messages and help texts.
std::string BuiltInLayoutNames();

}  // namespace nimbra::kit
