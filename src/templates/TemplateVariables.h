// Variables in the texts of page templates and template projects: the template plug-in registry's
// variables first, then the main registry's, both with the template or project as the object.
// Keys either registry does not know stay in the text as written.
#pragma once

#include <string>
#include <vector>

#include "framework/VariablePlugin.h"

namespace nimbra {

class TObject;

std::string ExpandTemplateVariables(const std::string& text, const TObject* context);
// The two rounds of that expansion, for callers that expand in further rounds at the same time.
std::vector<TVariableRound> TemplateVariableRounds(const TObject* context);

}  // namespace nimbra
