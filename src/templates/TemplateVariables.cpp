#include "templates/TemplateVariables.h"

#include "framework/Plugins.h"

namespace nimbra {

std::string ExpandTemplateVariables(const std::string& text, const TObject* context) {
  return SubstituteVariables(TemplateVariableRounds(context), text);
}

std::vector<TVariableRound> TemplateVariableRounds(const TObject* context) {
  // Variable plug-ins take their object as a plain pointer; they only read it.
  auto* object = const_cast<TObject*>(context);
  return {{TemplatePlugins(), object}, {MainPlugins(), object}};
}

}  // namespace nimbra
