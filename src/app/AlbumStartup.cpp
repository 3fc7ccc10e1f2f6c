#include "app/AlbumStartup.h"

#include "album/NimbraApplicationInfo.h"
#include "app/ShellRegistration.h"
#include "elements/ElementRegistration.h"
#include "framework/FrameworkStartup.h"
#include "raster/PictureFormatRegistration.h"
#include "render/RenderRegistration.h"
#include "slideshow/SlideShowSettingsClasses.h"

namespace nimbra {

TAlbumStartup::TAlbumStartup() {
  InstallApplicationInfo();
  FrameworkStartup();
  // Each registry lists its classes in the order the units start.
  RegisterSlideShowSettingsClasses();
  DocumentUnitsStartup();
  RenderStartup();
  RegisterPictureFormats();
  ShellStartup();
}

TAlbumStartup::~TAlbumStartup() {
  ShellShutdown();
  UnregisterPictureFormats();
  RenderShutdown();
  DocumentUnitsShutdown();
  UnregisterSlideShowSettingsClasses();
  FrameworkShutdown();
  ClearApplicationInfo();
}

}  // namespace nimbra
