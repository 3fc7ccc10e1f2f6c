#include "templates/TemplateRegistration.h"

#include <memory>

#include "framework/Plugins.h"
#include "templates/PageTemplate.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureRegistration.h"

namespace nimbra {

namespace {

bool& Started() {
  static bool started = false;
  return started;
}

}  // namespace

void PageTemplatesStartup() {
  if (Started()) return;
  Started() = true;
  if (TemplatePlugins() == nullptr) SetTemplatePlugins(std::make_unique<TPlugins>());
  // Template lists are read by class name.
  RegisterClass(TPageTemplate::StaticClass());
  RegisterClass(TPrintWizardPageTemplate::StaticClass());
  // Lists of settings bags name the project bag by its class.
  RegisterClass(TPrintWizardPageTemplateProjectProperties::StaticClass());
  RegisterStructureClasses();
}

void PageTemplatesShutdown() {
  if (!Started()) return;
  Started() = false;
  UnregisterStructureClasses();
  UnregisterClass(TPrintWizardPageTemplateProjectProperties::StaticClass());
  UnregisterClass(TPrintWizardPageTemplate::StaticClass());
  UnregisterClass(TPageTemplate::StaticClass());
  SetTemplatePlugins(nullptr);
}

}  // namespace nimbra
