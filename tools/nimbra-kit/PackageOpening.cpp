#include "nimbra-kit/PackageOpening.h"

#include "nimbra-kit/CommandLine.h"

namespace nimbra::kit {

void OpenAnyPackage(TPackager& packager, const std::string& fileName) {
  if (!packager.OpenExecutableOrPackageFile(fileName)) {
    throw CommandError(fileName + " is not a package: " + packager.LastError());
  }
}

}  // namespace nimbra::kit
