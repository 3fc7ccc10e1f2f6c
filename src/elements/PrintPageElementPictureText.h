// The picture description element: the description of one of the page's pictures, the n-th of
// those that take their picture from the slideshow. Its text may hold variables of the described
// object as well as of the project and the template.
#pragma once

#include <cstdint>

#include "elements/PrintPageElementText.h"

namespace nimbra {

class TSlideShowObject;

class TPrintPageElementPictureTextProperties : public TPrintPageElementAlignedTextProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementPictureTextProperties() = default;

  // One sub-chunk: PictureNumber.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  // 1 for the first picture element that takes its picture from the slideshow; 0 or less for
  // none.
  int32_t PictureNumber() const { return pictureNumber_; }
  void SetPictureNumber(int32_t number) { pictureNumber_ = number; }

 private:
  int32_t pictureNumber_ = 0;
};

class TPrintPageElementPictureText : public TPrintPageElementAlignedText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementPictureText();

  static std::string ClassCaption() { return "Bildbeschreibung"; }
  static std::string ClassDescription() { return "zeigt die Beschreibung zu einem Bild an"; }

  // The text element's name followed by the picture number in brackets.
  std::string DisplayName() const override;
  // The described object's variables first, then the project's and the template's.
  std::vector<TVariableRound> VariableRounds() const override;
  // Rendered: Text expanded, or, when that is empty, the described object's text expanded.
  // Design view: Text, or "<Bildbeschreibung>" when it is empty.
  std::string GetText() const override;
  // Word break and the horizontal alignment.
  void PrepareDrawFormat() override;

  // The slideshow object bound to the PictureNumber-th picture element of the page that takes its
  // picture from the slideshow; none when there is no such element or object.
  TSlideShowObject* DescribedObject() const;
  TPrintPageElementPictureTextProperties& PictureTextProperties() const;
};

}  // namespace nimbra
