// Announces the slideshow object kinds and the random transition to the main plug-in registry, so
// that documents can create them from their stored class names. Start-up registers them in two
// steps, because other units register in between: the transition, the placeholder and the sound
// first (the object events come before them, the fade action right after the sound); the picture,
// text, composite, chapter, parallel, particle and collage kinds last. The abstract bases, the
// plain picture and the simple text stay unregistered: stored objects of those classes are skipped.
#pragma once

namespace nimbra {

class TPlugins;

// TRandomTransitionPlugin, TDummySlideShowObject, TSoundSlideShowObject.
void RegisterSlideShowBaseKinds(TPlugins& plugins);
// TExtPicSlideShowObject, TTextSlideShowObject, TPicTextSoundCompositeSlideShowObject,
// TContainerSlideShowObject, TParallelSlideShowObject, TParticleSlideShowObject,
// TMergeSlideShowObject.
void RegisterSlideShowObjectKinds(TPlugins& plugins);
// Both steps, for a program (or test) in which nothing registers between them.
void RegisterSlideShowKinds(TPlugins& plugins);
// Takes every class registered above out of the registry again (at shutdown).
void UnregisterSlideShowKinds(TPlugins& plugins);

}  // namespace nimbra
