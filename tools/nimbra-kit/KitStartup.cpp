#include "nimbra-kit/KitStartup.h"

#include "app/NimbraApplicationInfo.h"
#include "framework/FrameworkStartup.h"

namespace nimbra::kit {

TKitSession::TKitSession() {
  InstallApplicationInfo();
  FrameworkStartup();
}

TKitSession::~TKitSession() {
  FrameworkShutdown();
  ClearApplicationInfo();
}

}  // namespace nimbra::kit
