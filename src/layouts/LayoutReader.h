// Layouts: a template project described in JSON (templates with their size, background and
// elements, and the structure that walks the slideshow), as docs/layouts.md describes it. The
// reader builds the project the album reads; every mistake it finds names its line.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "templates/PageTemplateProject.h"

namespace nimbra {

struct TLayout {
  std::string Name;
  std::unique_ptr<TPrintWizardPageTemplateProject> Project;
};

// The layout the JSON text describes; raises ELayoutError naming the line and the mistake.
TLayout ReadLayout(std::string_view json);

}  // namespace nimbra
