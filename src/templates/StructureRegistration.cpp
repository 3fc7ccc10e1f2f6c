#include "templates/StructureRegistration.h"

#include <array>

#include "framework/Plugins.h"
#include "templates/StructureElementChoice.h"
#include "templates/StructureElements.h"
#include "templates/StructureEvent.h"
#include "templates/StructureJump.h"

namespace nimbra {

namespace {

std::array<const TMetaClass*, 9> ElementKinds() {
  return {&TPageTemplateStructureElementPage::StaticClass(),
          &TPageTemplateStructureElementEvent::StaticClass(),
          &TPageTemplateStructureElementJump::StaticClass(),
          &TPageTemplateStructureElementJumpMark::StaticClass(),
          &TPageTemplateStructureElementLoop::StaticClass(),
          &TPageTemplateSlideShowStructureElementEvent::StaticClass(),
          &TSlideShowPageTemplateStructureElementJump::StaticClass(),
          &TSlideShowPageTemplateStructureElementLoop::StaticClass(),
          &TPageTemplateStructureElementChoice::StaticClass()};
}

std::array<const TPluginClass*, 5> EventsAndJumps() {
  return {&TStructureEventOnListEnd::StaticClass(), &TStructureEventOnChapter::StaticClass(),
          &TStructureEventOnChapterEnd::StaticClass(), &TStructureJumpToListBegin::StaticClass(),
          &TStructureJumpToJumpMark::StaticClass()};
}

// The registry the events and jumps went into, to take them out of the same one; none when they
// went into the class registry alone.
TPlugins*& RegisteredWith() {
  static TPlugins* plugins = nullptr;
  return plugins;
}

}  // namespace

void RegisterStructureClasses() {
  for (const TMetaClass* kind : ElementKinds()) RegisterClass(*kind);
  RegisteredWith() = MainPlugins();
  for (const TPluginClass* plugin : EventsAndJumps()) {
    if (RegisteredWith() != nullptr) {
      RegisteredWith()->RegisterForStreaming(*plugin);
    } else {
      RegisterClass(*plugin);
    }
  }
}

void UnregisterStructureClasses() {
  const auto plugins = EventsAndJumps();
  for (auto plugin = plugins.rbegin(); plugin != plugins.rend(); ++plugin) {
    if (RegisteredWith() == nullptr) {
      UnregisterClass(**plugin);
    } else if (RegisteredWith() == MainPlugins()) {
      // Freeing the streaming entry takes the class out of the class registry too.
      RegisteredWith()->Unregister(**plugin);
    }
    // A main registry freed in the meantime took its entries, and their classes, with it.
  }
  RegisteredWith() = nullptr;
  const auto kinds = ElementKinds();
  for (auto kind = kinds.rbegin(); kind != kinds.rend(); ++kind) UnregisterClass(**kind);
}

}  // namespace nimbra
