#include "framework/FrameworkStartup.h"

#include <cstdlib>
#include <random>
#include <string>

#include "framework/AfterInitialization.h"
#include "framework/ExternalPlugins.h"
#include "framework/FrameworkFolders.h"
#include "framework/GlobalProperties.h"
#include "framework/Plugins.h"

namespace nimbra {

void FrameworkStartup() {
  if (MainPlugins() != nullptr) return;
  // 1. the process's random generator
  std::srand(std::random_device{}());
  // 2. to 5. the program folder is fixed now; the others are derived from it and from the
  // application information whenever they are asked for
  InitializeFrameworkFolders();
  // 6. the registry and the list
  SetMainPlugins(std::make_unique<TPlugins>());
  SetGlobalPropertiesList(std::make_unique<TPropertiesList>());
  // 7. the framework's own settings first; the manager keeps the bag it is given. The bag's class
  // is known by name too, as every stored class is, so tools can read it from any file.
  RegisterClass(TExternalPluginProperties::StaticClass());
  TPropertiesList& list = *GlobalPropertiesList();
  auto* properties = static_cast<TExternalPluginProperties*>(
      list.AddNew(TExternalPluginProperties::StaticClass(),
                  TExternalPluginProperties::StaticClass(), std::string(kGlobalPropertiesCaption)));
  SetExternalPluginManager(std::make_unique<TExternalPluginManager>(*properties));
  // The caption again once start-up has loaded the user-interface language.
  AfterInitialization().AddStep([] {
    if (TPropertiesList* global = GlobalPropertiesList()) {
      global->SetCaptionByClass(TExternalPluginProperties::StaticClass(),
                                std::string(kGlobalPropertiesCaption));
    }
  });
}

void FrameworkShutdown() {
  SetExternalPluginManager(nullptr);
  SetGlobalPropertiesList(nullptr);
  SetMainPlugins(nullptr);
  UnregisterClass(TExternalPluginProperties::StaticClass());
  ClearFrameworkFolders();
}

}  // namespace nimbra
