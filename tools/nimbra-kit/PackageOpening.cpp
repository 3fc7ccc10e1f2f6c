#include "nimbra-kit/PackageOpening.h"

#include "nimbra-kit/CommandLine.h"

namespace nimbra::kit {

void OpenAnyPackage(TPackager& packager, const std::string& fileName) {
  if (TPackager::IsPackage(fileName)) {
    if (packager.OpenExecutable(fileName)) return;
    // The trailer may be the last bytes of a plain package's last file; try it as one before
    // reporting the executable's failure.
    const std::string executableError = packager.LastError();
    if (packager.OpenPackageFile(fileName)) return;
    throw CommandError(fileName + " is not a package: " + executableError);
  }
  if (!packager.OpenPackageFile(fileName)) {
    throw CommandError(fileName + " is not a package: " + packager.LastError());
  }
}

}  // namespace nimbra::kit
