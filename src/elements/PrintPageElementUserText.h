// The free text element: any text the designer types ("Ihr Text" until then), word-wrapped and
// aligned in its rectangle.
#pragma once

#include "elements/PrintPageElementText.h"

namespace nimbra {

class TPrintPageElementUserTextProperties : public TPrintPageElementAlignedTextProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementUserTextProperties() : TPrintPageElementAlignedTextProperties("Ihr Text") {}

  std::string EditorFrameClassNames() const override;
};

class TPrintPageElementUserText : public TPrintPageElementAlignedText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementUserText();

  static std::string ClassCaption() { return "Text"; }
  static std::string ClassDescription() { return "stellt einen beliebigen Text dar"; }

  // Word break and the horizontal alignment.
  void PrepareDrawFormat() override;
};

}  // namespace nimbra
