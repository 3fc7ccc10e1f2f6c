#include "nimbra-kit/KitStartup.h"

#include "album/NimbraApplicationInfo.h"
#include "elements/ElementRegistration.h"
#include "framework/FrameworkStartup.h"
#include "slideshow/SlideShowSettingsClasses.h"

namespace nimbra::kit {

TKitSession::TKitSession() {
  InstallApplicationInfo();
  FrameworkStartup();
  // The units in the program's order, so that each registry lists its classes in that order.
  RegisterSlideShowSettingsClasses();
  DocumentUnitsStartup();
}

TKitSession::~TKitSession() {
  DocumentUnitsShutdown();
  UnregisterSlideShowSettingsClasses();
  FrameworkShutdown();
  ClearApplicationInfo();
}

}  // namespace nimbra::kit
