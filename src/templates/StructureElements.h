// The five kinds of structure element and their slideshow variants. A page uses one template for
// one page; a loop repeats its children until its condition holds; an event's children run instead
// of the normal order whenever its condition holds; a jump moves the slideshow position; a jump
// mark remembers it under a name. The renderer tells them apart by the interfaces they offer.
#pragma once

#include <string>

#include "templates/PageTemplateStructure.h"
#include "templates/StructureElementBags.h"
#include "templates/StructureInterfaces.h"

namespace nimbra {

class TPageTemplateStructureElementPage : public TPageTemplateStructureElement,
                                          public IStructurePage {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStructureElementPage();

  static std::string ClassCaption() { return "Seite"; }

  void SetTemplate(const TPageTemplate* pageTemplate) override;
  TPageTemplate* GetTemplate() const override;
  // The caption, followed by ": " and the template's caption when the template exists.
  std::string DisplayText() const override;
  TStructureElementPageProperties& PageProperties() const;

 protected:
  explicit TPageTemplateStructureElementPage(const TMetaClass& propertiesClass);
};

class TPageTemplateStructureElementEvent : public TPageTemplateStructureElement,
                                           public IStructureEvent,
                                           public IStructureBranch {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStructureElementEvent();

  static std::string ClassCaption() { return "Ereignis"; }

  // The event's answer; false without an event.
  bool IsTriggered(const TRef<ITreeItem>& current, const TRef<ITreeItem>& reference,
                   const TJumpMarks& marks) const override;
  // The caption, followed by ": " and the event's caption when one is set.
  std::string DisplayText() const override;
  TPageTemplateStructureElementEventProperties& EventProperties() const;

 protected:
  explicit TPageTemplateStructureElementEvent(const TMetaClass& propertiesClass);
};

class TPageTemplateStructureElementJump : public TPageTemplateStructureElement,
                                          public IStructureJump {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStructureElementJump();

  static std::string ClassCaption() { return "Sprung"; }

  TRef<ITreeItem> Target(const TRef<ITree>& slideShowTree, const TRef<ITreeItem>& current,
                         const TJumpMarks& marks) const override;
  // The caption, followed by a space and the jump's text in double quotes when one is set.
  std::string DisplayText() const override;
  TStructureElementJumpProperties& JumpProperties() const;

 protected:
  explicit TPageTemplateStructureElementJump(const TMetaClass& propertiesClass);
};

class TPageTemplateStructureElementJumpMark : public TPageTemplateStructureElement,
                                              public IStructureJumpMark {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStructureElementJumpMark();

  static std::string ClassCaption() { return "Sprungmarke"; }

  void Record(const TRef<ITree>& slideShowTree, const TRef<ITreeItem>& current,
              IJumpMarkInfo& record) const override;
  // The caption, followed by a space and the name in double quotes when one is set.
  std::string DisplayText() const override;
  TStructureElementJumpMarkProperties& JumpMarkProperties() const;

 protected:
  explicit TPageTemplateStructureElementJumpMark(const TMetaClass& propertiesClass);
};

class TPageTemplateStructureElementLoop : public TPageTemplateStructureElement,
                                          public IStructureElementLoop,
                                          public IStructureBranch {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStructureElementLoop();

  static std::string ClassCaption() { return "Wiederhole"; }

  // The event's answer; true without an event, so such a loop ends as soon as it is tested.
  bool IsLoopEnd(const TRef<ITreeItem>& current, const TRef<ITreeItem>& loopStart,
                 const TJumpMarks& marks) const override;
  bool ChecksBefore() const override;
  bool ChecksAfter() const override;
  // With an event: caption, "bis" and the event's caption, as "%s %s %s  ".
  std::string DisplayText() const override;
  TStructureElementLoopProperties& LoopProperties() const;

 protected:
  explicit TPageTemplateStructureElementLoop(const TMetaClass& propertiesClass);
};

class TPageTemplateSlideShowStructureElementEvent : public TPageTemplateStructureElementEvent {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateSlideShowStructureElementEvent();
};

class TSlideShowPageTemplateStructureElementJump : public TPageTemplateStructureElementJump {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSlideShowPageTemplateStructureElementJump();
};

class TSlideShowPageTemplateStructureElementLoop : public TPageTemplateStructureElementLoop {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSlideShowPageTemplateStructureElementLoop();
};

}  // namespace nimbra
