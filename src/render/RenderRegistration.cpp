#include "render/RenderRegistration.h"

#include <vector>

#include "render/PictureFormatWriter.h"
#include "render/PrintWizardPictureEngineProperties.h"

namespace nimbra {

namespace {

bool& Started() {
  static bool started = false;
  return started;
}

std::vector<const TMetaClass*> StreamedClasses() {
  std::vector<const TMetaClass*> classes = {&TRenderEngineProperties::StaticClass(),
                                            &TPrintWizardPictureEngineProperties::StaticClass()};
  for (const TPluginClass* format : PictureFormatWriterClasses()) classes.push_back(format);
  return classes;
}

}  // namespace

void RenderStartup() {
  if (Started()) return;
  Started() = true;
  for (const TMetaClass* meta : StreamedClasses()) RegisterClass(*meta);
}

void RenderShutdown() {
  if (!Started()) return;
  Started() = false;
  for (const TMetaClass* meta : StreamedClasses()) UnregisterClass(*meta);
}

}  // namespace nimbra
