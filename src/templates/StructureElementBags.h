// The bags of the structure element kinds: a page's template ID, an event element's or a loop's
// condition, a jump element's jump and a jump mark's name. An event or jump is stored as its class
// name (empty for none) followed, when there is one, by a sub-chunk holding its own stored form;
// only the loop wraps its fields in a sub-chunk of their own. The slideshow variants store exactly
// what their bases store and differ in their editor frames.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "templates/PageTemplateStructure.h"
#include "templates/StructureEvent.h"
#include "templates/StructureJump.h"

namespace nimbra {

class TStructureElementPageProperties : public TPageTemplateStructureElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureElementPageProperties() = default;

  // TemplateID as a 32-bit unsigned integer.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  // 0: no template.
  uint32_t TemplateID() const { return templateID_; }
  void SetTemplateID(uint32_t id) { templateID_ = id; }

 private:
  uint32_t templateID_ = 0;
};

class TPageTemplateStructureElementEventProperties
    : public TPageTemplateStructureElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateStructureElementEventProperties();
  ~TPageTemplateStructureElementEventProperties() override;

  // The event's class name, then its stored form in a sub-chunk. Reading replaces the event by
  // one of the stored class; a class the registries do not know leaves none, and the rest of the
  // element's data unread.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  TStructureEvent* Event() const { return event_.get(); }
  void SetEvent(std::unique_ptr<TStructureEvent> event) { event_ = std::move(event); }

 private:
  std::unique_ptr<TStructureEvent> event_;
};

class TPageTemplateSlideShowStructureElementEventProperties
    : public TPageTemplateStructureElementEventProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPageTemplateSlideShowStructureElementEventProperties() = default;

  std::string EditorFrameClassNames() const override;
};

class TStructureElementJumpProperties : public TPageTemplateStructureElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureElementJumpProperties();
  ~TStructureElementJumpProperties() override;

  // Stored like the event of an event element.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  TStructureJump* Jump() const { return jump_.get(); }
  void SetJump(std::unique_ptr<TStructureJump> jump) { jump_ = std::move(jump); }

 private:
  std::unique_ptr<TStructureJump> jump_;
};

class TSlideShowStructureElementJumpProperties : public TStructureElementJumpProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSlideShowStructureElementJumpProperties() = default;

  std::string EditorFrameClassNames() const override;
};

class TStructureElementJumpMarkProperties : public TPageTemplateStructureElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureElementJumpMarkProperties() = default;

  // Name, without a sub-chunk of its own.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

 private:
  std::string name_;
};

// When a loop tests its condition.
inline constexpr uint8_t kLoopChecksBefore = 0;
inline constexpr uint8_t kLoopChecksAfter = 1;
inline constexpr uint8_t kLoopChecksBeforeAndAfter = 2;

class TStructureElementLoopProperties : public TPageTemplateStructureElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TStructureElementLoopProperties();
  ~TStructureElementLoopProperties() override;

  // One sub-chunk: the event as an event element stores it, then Mode. An event class the
  // registries do not know leaves no event and Mode unread.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  TStructureEvent* Event() const { return event_.get(); }
  void SetEvent(std::unique_ptr<TStructureEvent> event) { event_ = std::move(event); }
  // As stored; values other than 0, 1 and 2 test neither before nor after.
  uint8_t Mode() const { return mode_; }
  void SetMode(uint8_t mode) { mode_ = mode; }

 private:
  std::unique_ptr<TStructureEvent> event_;
  uint8_t mode_ = kLoopChecksBefore;
};

class TSlideShowStructureElementLoopProperties : public TStructureElementLoopProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSlideShowStructureElementLoopProperties() = default;

  std::string EditorFrameClassNames() const override;
};

}  // namespace nimbra
