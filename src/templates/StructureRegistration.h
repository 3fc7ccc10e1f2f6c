// The classes a project's structure is read with: the structure element kinds (with their
// slideshow variants) enter the run-time class registry, the structure events and jumps the main
// plug-in registry, events before jumps. Part of the page-template unit's start and end.
#pragma once

namespace nimbra {

// Without a main registry (a program that only reads projects) the events and jumps enter the
// run-time class registry alone, so that stored structures still find them.
void RegisterStructureClasses();
// Undoes RegisterStructureClasses, in reverse order.
void UnregisterStructureClasses();

}  // namespace nimbra
