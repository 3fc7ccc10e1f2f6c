// Enters the document's settings bags into the run-time class registry, so that a document read
// from a file creates them from their stored class names.
#pragma once

namespace nimbra {

// TSlideShowProperties, TMusicProperties and TSlideShowInfoProperties.
void RegisterSlideShowSettingsClasses();
void UnregisterSlideShowSettingsClasses();

}  // namespace nimbra
