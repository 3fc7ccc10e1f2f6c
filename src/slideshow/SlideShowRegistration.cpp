#include "slideshow/SlideShowRegistration.h"

#include <array>

#include "framework/Plugins.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/CompositeSlideShowObject.h"
#include "slideshow/DummySlideShowObject.h"
#include "slideshow/MergeSlideShowObject.h"
#include "slideshow/ParticleSlideShowObject.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/RandomTransitionPlugin.h"
#include "slideshow/SoundSlideShowObject.h"
#include "slideshow/TextSlideShowObject.h"
#include "slideshow/TimeCurve.h"

namespace nimbra {

namespace {

std::array<const TPluginClass*, 3> BaseKinds() {
  return {&TRandomTransitionPlugin::StaticClass(), &TDummySlideShowObject::StaticClass(),
          &TSoundSlideShowObject::StaticClass()};
}

std::array<const TPluginClass*, 7> ObjectKinds() {
  return {&TExtPicSlideShowObject::StaticClass(),
          &TTextSlideShowObject::StaticClass(),
          &TPicTextSoundCompositeSlideShowObject::StaticClass(),
          &TContainerSlideShowObject::StaticClass(),
          &TParallelSlideShowObject::StaticClass(),
          &TParticleSlideShowObject::StaticClass(),
          &TMergeSlideShowObject::StaticClass()};
}

}  // namespace

void RegisterSlideShowBaseKinds(TPlugins& plugins) {
  RegisterTimeValueClasses();
  for (const TPluginClass* kind : BaseKinds()) plugins.RegisterForStreaming(*kind);
}

void RegisterSlideShowObjectKinds(TPlugins& plugins) {
  for (const TPluginClass* kind : ObjectKinds()) plugins.RegisterForStreaming(*kind);
}

void RegisterSlideShowKinds(TPlugins& plugins) {
  RegisterSlideShowBaseKinds(plugins);
  RegisterSlideShowObjectKinds(plugins);
}

void UnregisterSlideShowKinds(TPlugins& plugins) {
  // In reverse, as units shut down in the reverse order of their start.
  const auto objects = ObjectKinds();
  for (auto kind = objects.rbegin(); kind != objects.rend(); ++kind) plugins.Unregister(**kind);
  const auto bases = BaseKinds();
  for (auto kind = bases.rbegin(); kind != bases.rend(); ++kind) plugins.Unregister(**kind);
  UnregisterTimeValueClasses();
}

}  // namespace nimbra
