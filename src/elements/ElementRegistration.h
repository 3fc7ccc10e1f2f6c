// The start and end of the element units: the template variables, then the page elements, the
// page-number positions and the picture effects, registered in the template plug-in registry in
// this order (and so entered into the run-time class registry, through which stored projects find
// them). Runs after the page-template unit's start-up and before its shutdown.
#pragma once

namespace nimbra {

// Raises std::logic_error when the template plug-in registry does not exist. A second call while
// the units run changes nothing.
void ElementsStartup();
// Unregisters everything ElementsStartup registered.
void ElementsShutdown();

}  // namespace nimbra
