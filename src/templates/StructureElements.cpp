#include "templates/StructureElements.h"

#include "templates/PageTemplateList.h"
#include "templates/PageTemplateProject.h"
#include "templates/RequiredBag.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPageTemplateStructureElementPage, TPageTemplateStructureElement)
NIMBRA_DEFINE_PLUGIN(TPageTemplateStructureElementEvent, TPageTemplateStructureElement)
NIMBRA_DEFINE_PLUGIN(TPageTemplateStructureElementJump, TPageTemplateStructureElement)
NIMBRA_DEFINE_PLUGIN(TPageTemplateStructureElementJumpMark, TPageTemplateStructureElement)
NIMBRA_DEFINE_PLUGIN(TPageTemplateStructureElementLoop, TPageTemplateStructureElement)
NIMBRA_DEFINE_PLUGIN(TPageTemplateSlideShowStructureElementEvent,
                     TPageTemplateStructureElementEvent)
NIMBRA_DEFINE_PLUGIN(TSlideShowPageTemplateStructureElementJump, TPageTemplateStructureElementJump)
NIMBRA_DEFINE_PLUGIN(TSlideShowPageTemplateStructureElementLoop, TPageTemplateStructureElementLoop)

// ---- page ----

TPageTemplateStructureElementPage::TPageTemplateStructureElementPage()
    : TPageTemplateStructureElementPage(TStructureElementPageProperties::StaticClass()) {}

TPageTemplateStructureElementPage::TPageTemplateStructureElementPage(
    const TMetaClass& propertiesClass)
    : TPageTemplateStructureElement(propertiesClass) {}

TStructureElementPageProperties& TPageTemplateStructureElementPage::PageProperties() const {
  return RequiredBag(PropertiesAs<TStructureElementPageProperties>());
}

void TPageTemplateStructureElementPage::SetTemplate(const TPageTemplate* pageTemplate) {
  PageProperties().SetTemplateID(pageTemplate != nullptr ? pageTemplate->ID() : 0);
}

TPageTemplate* TPageTemplateStructureElementPage::GetTemplate() const {
  const TPageTemplateProject* project = Project();
  const uint32_t id = PageProperties().TemplateID();
  if (project == nullptr || id == 0) return nullptr;
  return project->Templates().FindByID(id);
}

std::string TPageTemplateStructureElementPage::DisplayText() const {
  const TPageTemplate* pageTemplate = GetTemplate();
  return pageTemplate != nullptr ? Caption() + ": " + pageTemplate->Caption() : Caption();
}

// ---- event ----

TPageTemplateStructureElementEvent::TPageTemplateStructureElementEvent()
    : TPageTemplateStructureElementEvent(
          TPageTemplateStructureElementEventProperties::StaticClass()) {}

TPageTemplateStructureElementEvent::TPageTemplateStructureElementEvent(
    const TMetaClass& propertiesClass)
    : TPageTemplateStructureElement(propertiesClass) {}

TPageTemplateStructureElementEventProperties& TPageTemplateStructureElementEvent::EventProperties()
    const {
  return RequiredBag(PropertiesAs<TPageTemplateStructureElementEventProperties>());
}

bool TPageTemplateStructureElementEvent::IsTriggered(const TRef<ITreeItem>& current,
                                                     const TRef<ITreeItem>& reference,
                                                     const TJumpMarks& marks) const {
  const TStructureEvent* event = EventProperties().Event();
  return event != nullptr && event->IsTriggered(current, reference, marks);
}

std::string TPageTemplateStructureElementEvent::DisplayText() const {
  const TStructureEvent* event = EventProperties().Event();
  return event != nullptr ? Caption() + ": " + event->Caption() : Caption();
}

// ---- jump ----

TPageTemplateStructureElementJump::TPageTemplateStructureElementJump()
    : TPageTemplateStructureElementJump(TStructureElementJumpProperties::StaticClass()) {}

TPageTemplateStructureElementJump::TPageTemplateStructureElementJump(
    const TMetaClass& propertiesClass)
    : TPageTemplateStructureElement(propertiesClass) {}

TStructureElementJumpProperties& TPageTemplateStructureElementJump::JumpProperties() const {
  return RequiredBag(PropertiesAs<TStructureElementJumpProperties>());
}

TRef<ITreeItem> TPageTemplateStructureElementJump::Target(const TRef<ITree>& slideShowTree,
                                                          const TRef<ITreeItem>& current,
                                                          const TJumpMarks& marks) const {
  const TStructureJump* jump = JumpProperties().Jump();
  return jump != nullptr ? jump->Target(slideShowTree, current, marks) : current;
}

std::string TPageTemplateStructureElementJump::DisplayText() const {
  const TStructureJump* jump = JumpProperties().Jump();
  return jump != nullptr ? Caption() + " \"" + jump->DisplayText() + "\"" : Caption();
}

// ---- jump mark ----

TPageTemplateStructureElementJumpMark::TPageTemplateStructureElementJumpMark()
    : TPageTemplateStructureElementJumpMark(TStructureElementJumpMarkProperties::StaticClass()) {}

TPageTemplateStructureElementJumpMark::TPageTemplateStructureElementJumpMark(
    const TMetaClass& propertiesClass)
    : TPageTemplateStructureElement(propertiesClass) {}

TStructureElementJumpMarkProperties& TPageTemplateStructureElementJumpMark::JumpMarkProperties()
    const {
  return RequiredBag(PropertiesAs<TStructureElementJumpMarkProperties>());
}

void TPageTemplateStructureElementJumpMark::Record(const TRef<ITree>& /*slideShowTree*/,
                                                   const TRef<ITreeItem>& current,
                                                   IJumpMarkInfo& record) const {
  const std::string& name = JumpMarkProperties().Name();
  record.SetObject(name.empty() ? TRef<ITreeItem>() : current);
  record.SetValid(!name.empty());
  record.SetName(name);
}

std::string TPageTemplateStructureElementJumpMark::DisplayText() const {
  const std::string& name = JumpMarkProperties().Name();
  return name.empty() ? Caption() : Caption() + " \"" + name + "\"";
}

// ---- loop ----

TPageTemplateStructureElementLoop::TPageTemplateStructureElementLoop()
    : TPageTemplateStructureElementLoop(TStructureElementLoopProperties::StaticClass()) {}

TPageTemplateStructureElementLoop::TPageTemplateStructureElementLoop(
    const TMetaClass& propertiesClass)
    : TPageTemplateStructureElement(propertiesClass) {}

TStructureElementLoopProperties& TPageTemplateStructureElementLoop::LoopProperties() const {
  return RequiredBag(PropertiesAs<TStructureElementLoopProperties>());
}

bool TPageTemplateStructureElementLoop::IsLoopEnd(const TRef<ITreeItem>& current,
                                                  const TRef<ITreeItem>& loopStart,
                                                  const TJumpMarks& marks) const {
  const TStructureEvent* event = LoopProperties().Event();
  return event == nullptr || event->IsTriggered(current, loopStart, marks);
}

bool TPageTemplateStructureElementLoop::ChecksBefore() const {
  const uint8_t mode = LoopProperties().Mode();
  return mode == kLoopChecksBefore || mode == kLoopChecksBeforeAndAfter;
}

bool TPageTemplateStructureElementLoop::ChecksAfter() const {
  const uint8_t mode = LoopProperties().Mode();
  return mode == kLoopChecksAfter || mode == kLoopChecksBeforeAndAfter;
}

std::string TPageTemplateStructureElementLoop::DisplayText() const {
  const TStructureEvent* event = LoopProperties().Event();
  if (event == nullptr) return Caption();
  return Caption() + " bis " + event->Caption() + "  ";
}

// ---- slideshow variants ----

TPageTemplateSlideShowStructureElementEvent::TPageTemplateSlideShowStructureElementEvent()
    : TPageTemplateStructureElementEvent(
          TPageTemplateSlideShowStructureElementEventProperties::StaticClass()) {}

TSlideShowPageTemplateStructureElementJump::TSlideShowPageTemplateStructureElementJump()
    : TPageTemplateStructureElementJump(TSlideShowStructureElementJumpProperties::StaticClass()) {}

TSlideShowPageTemplateStructureElementLoop::TSlideShowPageTemplateStructureElementLoop()
    : TPageTemplateStructureElementLoop(TSlideShowStructureElementLoopProperties::StaticClass()) {}

}  // namespace nimbra
