// The start and end of the page-template unit: it creates the template plug-in registry, in which
// the element, effect and template-variable units then register their classes, and it enters the
// template classes into the run-time class registry so that stored projects can be read. Runs after
// the framework's start-up and before the units that register template plug-ins; its end runs after
// theirs.
#pragma once

namespace nimbra {

// A second call while the unit runs changes nothing.
void PageTemplatesStartup();
// Removes the template classes from the class registry and frees the template plug-in registry.
void PageTemplatesShutdown();

}  // namespace nimbra
