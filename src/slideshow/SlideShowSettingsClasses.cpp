#include "slideshow/SlideShowSettingsClasses.h"

#include "slideshow/MusicProperties.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "slideshow/SlideShowProperties.h"

namespace nimbra {

void RegisterSlideShowSettingsClasses() {
  RegisterClass(TSlideShowProperties::StaticClass());
  RegisterClass(TMusicProperties::StaticClass());
  RegisterClass(TSlideShowInfoProperties::StaticClass());
}

void UnregisterSlideShowSettingsClasses() {
  UnregisterClass(TSlideShowInfoProperties::StaticClass());
  UnregisterClass(TMusicProperties::StaticClass());
  UnregisterClass(TSlideShowProperties::StaticClass());
}

}  // namespace nimbra
