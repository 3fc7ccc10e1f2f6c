#include "nimbra-kit/PackageOpening.h"

#include "nimbra-kit/CommandLine.h"

namespace nimbra::kit {

void OpenAnyPackage(TPackager& packager, const std::string& fileName) {
  if (!packager.OpenExecutableOrPackageFile(fileName)) {
    throw ECommandError(fileName + " is not a package: " + packager.LastError());
  }
}

std::shared_ptr<TFileAccess> MakeFileAccess(const std::vector<std::string>& packages) {
  auto access = std::make_shared<TFileAccess>();
  for (const std::string& package : packages) {
    TPackager probe;
    OpenAnyPackage(probe, package);
    access->AddPackageFile(package, probe.State() == PackagerState::OpenedExecutable);
  }
  return access;
}

}  // namespace nimbra::kit
