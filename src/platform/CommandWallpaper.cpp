#include "platform/CommandWallpaper.h"

#include "platform/ChildProcess.h"
#include "platform/CommandLine.h"

namespace nimbra {

TCommandWallpaperBackend::TCommandWallpaperBackend(std::string commandLine,
                                                   std::chrono::milliseconds timeout)
    : commandLine_(std::move(commandLine)), timeout_(timeout) {
  if (commandLine_.find_first_not_of(" \t") == std::string::npos) {
    throw EWallpaperError("der Befehl für das Hintergrundbild ist leer");
  }
}

void TCommandWallpaperBackend::Apply(const TWallpaperPicture& picture) {
  const TCommandPlan plan = PlanCommand(commandLine_, picture.BitmapFile);
  const TProcessResult result = RunProcess(plan.Argv, timeout_);
  if (!result.Succeeded()) {
    throw EWallpaperError("der Befehl \"" + commandLine_ + "\" " + result.Describe());
  }
}

}  // namespace nimbra
