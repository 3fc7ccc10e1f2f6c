#include "templates/TemplateVariables.h"

#include "framework/Plugins.h"
#include "framework/VariablePlugin.h"

namespace nimbra {

std::string ExpandTemplateVariables(const std::string& text, const TObject* context) {
  // Variable plug-ins take their object as a plain pointer; they only read it.
  auto* object = const_cast<TObject*>(context);
  const std::string templateExpanded = SubstituteVariables(TemplatePlugins(), object, text);
  return SubstituteVariables(MainPlugins(), object, templateExpanded);
}

}  // namespace nimbra
