// The texts of a layout: its text, caption and page number elements, and the project variables
// those texts may name.
#pragma once

#include <memory>

#include "elements/PrintablePageElement.h"
#include "layouts/LayoutFields.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {

enum class TLayoutTextKind { Text, Caption, PageNumber };

// The element of that kind, with the members of fields that texts know.
std::unique_ptr<TPrintWizardElement> ReadTextElement(TLayoutFields& fields, TLayoutTextKind kind);

// The layout's "variables", when it has them, replace the project's template variables.
void ReadProjectVariables(TLayoutFields& fields, TPrintWizardPageTemplateProject& project);

}  // namespace nimbra
