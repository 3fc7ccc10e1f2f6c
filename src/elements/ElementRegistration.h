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

// The units that make documents and template projects readable, started in the program's order
// so that each registry lists its classes in that order: the slideshow's base kinds, its
// variables, the page templates, the elements, the slideshow's object kinds. Raises
// std::logic_error when the main plug-in registry does not exist.
void DocumentUnitsStartup();
// Ends them in the reverse order.
void DocumentUnitsShutdown();

}  // namespace nimbra
