#include "LayoutTestSupport.h"

#include <memory>

#include "TempFolder.h"
#include "elements/ElementRegistration.h"
#include "framework/FrameworkFolders.h"
#include "framework/Plugins.h"
#include "templates/TemplateRegistration.h"

namespace nimbra::test {

namespace {

std::unique_ptr<TempFolder>& Folders() {
  static std::unique_ptr<TempFolder> folder;
  return folder;
}

}  // namespace

void TLayoutTest::SetUpTestSuite() {
  Folders() = std::make_unique<TempFolder>();
  SetProgramFolder(Folders()->File("program"));
  SetUserDataFolder(Folders()->File("user"));
  if (MainPlugins() == nullptr) SetMainPlugins(std::make_unique<TPlugins>());
  PageTemplatesStartup();
  ElementsStartup();
}

void TLayoutTest::TearDownTestSuite() {
  ElementsShutdown();
  PageTemplatesShutdown();
  SetMainPlugins(nullptr);
  ClearFrameworkFolders();
  Folders().reset();
}

}  // namespace nimbra::test
