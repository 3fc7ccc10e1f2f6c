#include "elements/ElementRegistration.h"

#include <vector>

#include "elements/PageNumberTextPosition.h"
#include "elements/PageTemplateVariable.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintPageElementUserText.h"
#include "elements/PrintWizardPictureEffectCollage.h"
#include "elements/PrintWizardPictureEffectColorize.h"
#include "elements/PrintWizardPictureEffectShadow.h"
#include "elements/PrintWizardPictureEffectSimpleBorder.h"
#include "elements/PrintWizardVariables.h"
#include "framework/Plugins.h"
#include "slideshow/SlideShowObjectVariables.h"
#include "slideshow/SlideShowRegistration.h"
#include "storage/Check.h"
#include "templates/TemplateRegistration.h"

namespace nimbra {

namespace {

bool& Started() {
  static bool started = false;
  return started;
}

// The template plug-ins in registration order: the variables unit first, then the elements unit.
std::vector<const TPluginClass*> TemplatePluginClasses() {
  return {
      &TPrintWizardVariablePluginChapterName::StaticClass(),
      &TPrintWizardVariablePluginChapterNr::StaticClass(),
      &TPrintWizardVariablePluginPageNr::StaticClass(),
      &TPrintWizardVariablePluginPageCount::StaticClass(),
      &TPrintWizardVariablePluginTemplateTitle::StaticClass(),
      &TPrintWizardVariablePluginTemplateAutor::StaticClass(),
      &TPrintWizardVariablePluginTemplateDescription::StaticClass(),
      &TPrintWizardVariablePluginAppName::StaticClass(),
      &TPrintWizardVariablePluginAppVersion::StaticClass(),
      &TPrintWizardVariablePluginAppCopyright::StaticClass(),
      &TPrintWizardVariablePluginDynamic::StaticClass(),
      &TPrintPageElementUserText::StaticClass(),
      &TPrintPageElementPageNumberText::StaticClass(),
      &TPrintPageElementPictureText::StaticClass(),
      &TPrintPageElementPicture::StaticClass(),
      &TPrintPageElementRect::StaticClass(),
      &TPrintPageElementEllipse::StaticClass(),
      &TPrintPageElementPageNumberTextPositionAsDesigned::StaticClass(),
      &TPrintPageElementPageNumberTextPositionCentered::StaticClass(),
      &TPrintPageElementPageNumberTextPositionJumping::StaticClass(),
      &TPrintWizardPictureEffectShadow::StaticClass(),
      &TPrintWizardPictureEffectUserCollage1Pic::StaticClass(),
      &TPrintWizardPictureEffectUserCollage4Pic::StaticClass(),
      &TPrintWizardPictureEffectSimpleBorder::StaticClass(),
      &TPrintWizardPictureEffectColorize::StaticClass(),
  };
}

// Stored by class name outside any plug-in registry: the kinds of template variables, and their
// bag, which the template project creates by name.
std::vector<const TMetaClass*> StreamedClasses() {
  return {
      &TPageTemplateStringVariable::StaticClass(),
      &TPageTemplateDateVariable::StaticClass(),
      &TPageTemplateTextVariable::StaticClass(),
      &TPageTemplateVariableProperties::StaticClass(),
  };
}

}  // namespace

void ElementsStartup() {
  if (Started()) return;
  TPlugins* plugins = TemplatePlugins();
  NIMBRA_CHECK(plugins != nullptr, "The page-template unit must start before the element units");
  Started() = true;
  for (const TMetaClass* meta : StreamedClasses()) RegisterClass(*meta);
  for (const TPluginClass* meta : TemplatePluginClasses()) plugins->RegisterForStreaming(*meta);
}

void ElementsShutdown() {
  if (!Started()) return;
  Started() = false;
  if (TPlugins* plugins = TemplatePlugins()) {
    const std::vector<const TPluginClass*> classes = TemplatePluginClasses();
    for (auto it = classes.rbegin(); it != classes.rend(); ++it) plugins->Unregister(**it);
  }
  for (const TMetaClass* meta : StreamedClasses()) UnregisterClass(*meta);
}

void DocumentUnitsStartup() {
  TPlugins* plugins = MainPlugins();
  NIMBRA_CHECK(plugins != nullptr,
               "The main plug-in registry must exist before the document units");
  RegisterSlideShowBaseKinds(*plugins);
  RegisterSlideShowObjectVariables(*plugins);
  PageTemplatesStartup();
  ElementsStartup();
  RegisterSlideShowObjectKinds(*plugins);
}

void DocumentUnitsShutdown() {
  if (TPlugins* plugins = MainPlugins()) UnregisterSlideShowKinds(*plugins);
  ElementsShutdown();
  PageTemplatesShutdown();
  if (TPlugins* plugins = MainPlugins()) UnregisterSlideShowObjectVariables(*plugins);
}

}  // namespace nimbra
