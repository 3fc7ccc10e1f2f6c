#include "elements/PrintWizardVariables.h"

#include "elements/PageTemplateVariable.h"
#include "framework/ApplicationInfo.h"
#include "framework/CustomTree.h"
#include "slideshow/SlideShowInterfaces.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowTree.h"
#include "templates/PageTemplate.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {

NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardTemplateVariablePlugin, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardTemplateProjectVariablePlugin, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginChapterName,
                              TPrintWizardTemplateVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginChapterNr,
                              TPrintWizardTemplateVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginPageNr, TPrintWizardTemplateVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginPageCount,
                              TPrintWizardTemplateProjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginTemplateTitle,
                              TPrintWizardTemplateProjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginTemplateAutor,
                              TPrintWizardTemplateProjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginTemplateDescription,
                              TPrintWizardTemplateProjectVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginAppName, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginAppVersion, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginAppCopyright, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TPrintWizardVariablePluginDynamic, TVariablePlugin)

namespace {

TPrintWizardPageTemplate* AsTemplate(TObject* object) {
  return dynamic_cast<TPrintWizardPageTemplate*>(object);
}

TPrintWizardPageTemplateProjectProperties* ProjectBag(TObject* object) {
  auto* project = dynamic_cast<TPrintWizardPageTemplateProject*>(object);
  return project != nullptr ? project->ProjectProperties() : nullptr;
}

// The project itself, or the project that holds a page template; none for other objects.
TPrintWizardPageTemplateProject* ProjectOf(TObject* object) {
  if (auto* project = dynamic_cast<TPrintWizardPageTemplateProject*>(object)) return project;
  if (const TPrintWizardPageTemplate* pageTemplate = AsTemplate(object)) {
    return dynamic_cast<TPrintWizardPageTemplateProject*>(pageTemplate->Project());
  }
  return nullptr;
}

const TPageTemplateVariableList* VariablesOf(TObject* object) {
  const TPrintWizardPageTemplateProject* project = ProjectOf(object);
  if (project == nullptr || project->ProjectProperties() == nullptr) return nullptr;
  const auto* bag =
      dynamic_cast<const TPageTemplateVariableProperties*>(project->ProjectProperties()->Variables());
  return bag != nullptr ? &bag->Variables() : nullptr;
}

// The item's parent item: the owner of the list that holds it; none at the root.
TRef<ITreeItem> ParentItem(ITreeItem& item) {
  auto* list = dynamic_cast<IHasOwner*>(item.GetOwner());
  if (list == nullptr) return nullptr;
  return TRef<ITreeItem>(dynamic_cast<ITreeItem*>(list->GetOwner()));
}

std::shared_ptr<ISlideShowApplicationInfo> AppInfo() { return PrintWizardApplicationInfo(); }

}  // namespace

const TMetaClass* TPrintWizardTemplateVariablePlugin::ClassContextClass() {
  return &TPrintWizardPageTemplate::StaticClass();
}

const TMetaClass* TPrintWizardTemplateProjectVariablePlugin::ClassContextClass() {
  return &TPrintWizardPageTemplateProject::StaticClass();
}

// ---- chapter and page ----

std::string TPrintWizardVariablePluginChapterName::ClassKeyList(TObject*) {
  return "kapitelname\r\nchaptername";
}

std::string TPrintWizardVariablePluginChapterName::ClassGetValue(TObject* object,
                                                                 const std::string&) {
  std::string value = "Kapitelname";
  const TPrintWizardPageTemplate* pageTemplate = AsTemplate(object);
  if (pageTemplate == nullptr) return value;
  // Walking up to the root, every chapter met overwrites the value: the outermost one wins.
  for (TRef<ITreeItem> item = pageTemplate->BoundItem(); item; item = ParentItem(*item)) {
    TSlideShowObject* slideShowObject = SlideShowObjectOf(item);
    if (slideShowObject == nullptr || dynamic_cast<IChapter*>(slideShowObject) == nullptr) continue;
    if (const auto* text = dynamic_cast<const IText*>(slideShowObject)) value = text->Text();
  }
  return value;
}

std::string TPrintWizardVariablePluginChapterNr::ClassKeyList(TObject*) {
  return "kapitelnr\r\nchapternr";
}

std::string TPrintWizardVariablePluginChapterNr::ClassGetValue(TObject* object,
                                                               const std::string&) {
  const TPrintWizardPageTemplate* pageTemplate = AsTemplate(object);
  return pageTemplate != nullptr ? pageTemplate->ChapterNumber() : std::string();
}

std::string TPrintWizardVariablePluginPageNr::ClassKeyList(TObject*) {
  return "seitennr\r\npagenr";
}

std::string TPrintWizardVariablePluginPageNr::ClassGetValue(TObject* object, const std::string&) {
  const TPrintWizardPageTemplate* pageTemplate = AsTemplate(object);
  return pageTemplate != nullptr ? std::to_string(pageTemplate->PageNumber()) : std::string();
}

// ---- template project ----

std::string TPrintWizardVariablePluginPageCount::ClassKeyList(TObject*) {
  return "seitenanzahl\r\npagecount";
}

std::string TPrintWizardVariablePluginPageCount::ClassGetValue(TObject*, const std::string&) {
  return "0";
}

std::string TPrintWizardVariablePluginTemplateTitle::ClassKeyList(TObject*) {
  return "vorlagentitel\r\ntemplatetitle";
}

std::string TPrintWizardVariablePluginTemplateTitle::ClassGetValue(TObject* object,
                                                                   const std::string&) {
  const TPrintWizardPageTemplateProjectProperties* bag = ProjectBag(object);
  return bag != nullptr ? bag->Title() : std::string();
}

std::string TPrintWizardVariablePluginTemplateAutor::ClassKeyList(TObject*) {
  return "vorlagenautor\r\ntemplateauthor";
}

std::string TPrintWizardVariablePluginTemplateAutor::ClassGetValue(TObject* object,
                                                                   const std::string&) {
  const TPrintWizardPageTemplateProjectProperties* bag = ProjectBag(object);
  return bag != nullptr ? bag->Author() : std::string();
}

std::string TPrintWizardVariablePluginTemplateDescription::ClassKeyList(TObject*) {
  return "vorlagenbeschreibung\r\ntemplatedescription";
}

std::string TPrintWizardVariablePluginTemplateDescription::ClassGetValue(TObject* object,
                                                                         const std::string&) {
  const TPrintWizardPageTemplateProjectProperties* bag = ProjectBag(object);
  return bag != nullptr ? bag->Description() : std::string();
}

// ---- application ----

std::string TPrintWizardVariablePluginAppName::ClassKeyList(TObject*) {
  return "programmname\r\nappname";
}

std::string TPrintWizardVariablePluginAppName::ClassGetValue(TObject*, const std::string&) {
  const std::shared_ptr<ISlideShowApplicationInfo> info = AppInfo();
  return info ? info->CompanyName() + " " + info->ProductName() : std::string();
}

std::string TPrintWizardVariablePluginAppVersion::ClassKeyList(TObject*) {
  return "programmversion\r\nappversion";
}

std::string TPrintWizardVariablePluginAppVersion::ClassGetValue(TObject*, const std::string&) {
  const std::shared_ptr<ISlideShowApplicationInfo> info = AppInfo();
  return info ? info->CompanyName() + " " + info->FullVersion() : std::string();
}

std::string TPrintWizardVariablePluginAppCopyright::ClassKeyList(TObject*) {
  return "programmcopyright\r\nappcopyright";
}

std::string TPrintWizardVariablePluginAppCopyright::ClassGetValue(TObject*, const std::string&) {
  const std::shared_ptr<ISlideShowApplicationInfo> info = AppInfo();
  return info ? info->CopyrightText() : std::string();
}

// ---- project variables ----

std::string TPrintWizardVariablePluginDynamic::ClassKeyList(TObject* object) {
  const TPageTemplateVariableList* variables = VariablesOf(object);
  if (variables == nullptr) return {};
  std::string keys;
  for (int32_t i = 0; i < variables->Count(); ++i) {
    keys += variables->Items(i).VariableName();
    keys += "\r\n";
  }
  return keys;
}

std::string TPrintWizardVariablePluginDynamic::ClassGetValue(TObject* object,
                                                             const std::string& key) {
  const TPageTemplateVariableList* variables = VariablesOf(object);
  if (variables == nullptr) return {};
  const TPageTemplateVariable* variable = variables->FindByName(key);
  return variable != nullptr ? variable->GetValueText() : std::string();
}

}  // namespace nimbra
