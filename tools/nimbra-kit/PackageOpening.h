// Opening what a user hands nimbra-kit as a package: a plain package file or an executable that
// carries one.
#pragma once

#include <string>

#include "storage/Packager.h"

namespace nimbra::kit {

// Opens the file with the packager; raises CommandError saying why it is not a package.
void OpenAnyPackage(TPackager& packager, const std::string& fileName);

}  // namespace nimbra::kit
