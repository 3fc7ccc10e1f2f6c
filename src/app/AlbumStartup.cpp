#include "app/AlbumStartup.h"

#include "app/NimbraApplicationInfo.h"
#include "app/ShellRegistration.h"
#include "elements/ElementRegistration.h"
#include "framework/FrameworkStartup.h"
#include "framework/Plugins.h"
#include "raster/PictureFormatRegistration.h"
#include "render/RenderRegistration.h"
#include "slideshow/SlideShowRegistration.h"
#include "slideshow/SlideShowSettingsClasses.h"
#include "templates/TemplateRegistration.h"

namespace nimbra {

TAlbumStartup::TAlbumStartup() {
  InstallApplicationInfo();
  FrameworkStartup();
  // Each registry lists its classes in the order the units start.
  RegisterSlideShowSettingsClasses();
  RegisterSlideShowBaseKinds(*MainPlugins());
  PageTemplatesStartup();
  ElementsStartup();
  RegisterSlideShowObjectKinds(*MainPlugins());
  RenderStartup();
  RegisterPictureFormats();
  ShellStartup();
}

TAlbumStartup::~TAlbumStartup() {
  ShellShutdown();
  UnregisterPictureFormats();
  RenderShutdown();
  UnregisterSlideShowKinds(*MainPlugins());
  ElementsShutdown();
  PageTemplatesShutdown();
  UnregisterSlideShowSettingsClasses();
  FrameworkShutdown();
  ClearApplicationInfo();
}

}  // namespace nimbra
