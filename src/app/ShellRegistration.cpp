#include "app/ShellRegistration.h"

#include "album/DesktopNimbraProperties.h"
#include "album/WallpaperProperties.h"
#include "ui/DesktopNimbraPropertyEditorFrame.h"
#include "ui/FramePropertyEditor.h"

namespace nimbra {

void ShellStartup() {
  RegisterClass(TDesktopNimbraProperties::StaticClass());
  RegisterWallpaperProperties();
  RegisterDesktopNimbraPropertyEditorFrame();
  InstallFramePropertyEditor();
}

void ShellShutdown() {
  SetPropertyEditor(nullptr);
  UnregisterDesktopNimbraPropertyEditorFrame();
  UnregisterWallpaperProperties();
  UnregisterClass(TDesktopNimbraProperties::StaticClass());
}

}  // namespace nimbra
