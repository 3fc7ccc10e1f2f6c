// The framework's start and end: its folders, the main plug-in registry, the global properties
// list with the framework's own settings bag, and the external plug-in manager. The program runs
// FrameworkStartup once after installing its application information and before any unit
// registers classes, and FrameworkShutdown once at its end.
#pragma once

namespace nimbra {

// A second call while the framework runs changes nothing.
void FrameworkStartup();
// Frees the external plug-in manager, the global properties list and the main registry, in this
// order, then forgets the folders.
void FrameworkShutdown();

}  // namespace nimbra
