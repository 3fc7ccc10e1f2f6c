// The variables of page templates: chapter, page and template-project data, the application's
// names, and the template variables a project defines. They live in the template plug-in
// registry; page elements expand their texts with them, first with the template project as the
// object, then with the page template.
#pragma once

#include <string>

#include "framework/VariablePlugin.h"

namespace nimbra {

class TPrintWizardPageTemplate;
class TPrintWizardPageTemplateProject;

// Variables of a page template (TPrintWizardPageTemplate).
class TPrintWizardTemplateVariablePlugin : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static const TMetaClass* ClassContextClass();
};

// Variables of a template project (TPrintWizardPageTemplateProject).
class TPrintWizardTemplateProjectVariablePlugin : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static const TMetaClass* ClassContextClass();
};

// The title of the outermost chapter around the slideshow item bound to the page, or
// "Kapitelname" when there is none.
class TPrintWizardVariablePluginChapterName : public TPrintWizardTemplateVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

// The page template's chapter number text.
class TPrintWizardVariablePluginChapterNr : public TPrintWizardTemplateVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

// The number of the page being rendered.
class TPrintWizardVariablePluginPageNr : public TPrintWizardTemplateVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

// The page count, which is not known while pages are rendered one by one: always "0".
class TPrintWizardVariablePluginPageCount : public TPrintWizardTemplateProjectVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

class TPrintWizardVariablePluginTemplateTitle : public TPrintWizardTemplateProjectVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

class TPrintWizardVariablePluginTemplateAutor : public TPrintWizardTemplateProjectVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

class TPrintWizardVariablePluginTemplateDescription
    : public TPrintWizardTemplateProjectVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

// Company and product name of the application.
class TPrintWizardVariablePluginAppName : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

// Company name and full version of the application.
class TPrintWizardVariablePluginAppVersion : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

class TPrintWizardVariablePluginAppCopyright : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

// The template variables of the project the object is or belongs to, one key per variable name.
class TPrintWizardVariablePluginDynamic : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject* object);
  static std::string ClassGetValue(TObject* object, const std::string& key);
};

}  // namespace nimbra
