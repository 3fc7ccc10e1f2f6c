// The placeholder: an object that does nothing but last its time. Events can hang on it, and its
// text names it in lists.
#pragma once

#include <string>

#include "slideshow/PlayableSlideShowObject.h"

namespace nimbra {

// The first document version whose placeholders store their text.
inline constexpr int32_t kDummyTextVersion = 773;

class TDummySlideShowObject : public TPlayableSlideShowObject, public virtual IText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TDummySlideShowObject() = default;

  static std::string ClassCaption() { return "Dummy"; }
  static std::string ClassDescription() {
    return "Objekt, das nichts tut, außer eine bestimmte Zeit aktiv zu sein. Diesem Objekt können "
           "aber Ereignisse zugewiesen werden.";
  }
  static std::string ClassCategory() { return "Zusätzlich"; }

  // IText
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }

  void CopyFrom(const TSlideShowObject& other) override;
  std::string CategoryName() const override { return ClassCategory(); }
  // The caption, with ": " and the text when there is a text.
  std::string DisplayName() const override;
  std::string PropertyFrameClassName() const override;
  // The text in a sub-chunk of its own.
  void MapFields(TFieldMap& map) override;

 private:
  std::string text_;
};

}  // namespace nimbra
