#include "nimbra-kit/KitStartup.h"

#include "app/NimbraApplicationInfo.h"
#include "elements/ElementRegistration.h"
#include "framework/FrameworkStartup.h"
#include "framework/Plugins.h"
#include "slideshow/SlideShowRegistration.h"
#include "slideshow/SlideShowSettingsClasses.h"
#include "templates/TemplateRegistration.h"

namespace nimbra::kit {

TKitSession::TKitSession() {
  InstallApplicationInfo();
  FrameworkStartup();
  // The units in the program's order, so that each registry lists its classes in that order.
  RegisterSlideShowSettingsClasses();
  RegisterSlideShowBaseKinds(*MainPlugins());
  PageTemplatesStartup();
  ElementsStartup();
  RegisterSlideShowObjectKinds(*MainPlugins());
}

TKitSession::~TKitSession() {
  UnregisterSlideShowKinds(*MainPlugins());
  ElementsShutdown();
  PageTemplatesShutdown();
  UnregisterSlideShowSettingsClasses();
  FrameworkShutdown();
  ClearApplicationInfo();
}

}  // namespace nimbra::kit
