// The page number element: the number of the page being rendered, or a text with variables, in
// one line that is never clipped. A position plug-in in its bag may move it per page (centred, or
// alternating between the margins).
#pragma once

#include <memory>

#include "elements/PageNumberTextPosition.h"
#include "elements/PrintPageElementText.h"
#include "framework/FieldMap.h"

namespace nimbra {

class TPrintPageElementPageNumberTextProperties : public TPrintPageElementAlignedTextProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementPageNumberTextProperties();
  ~TPrintPageElementPageNumberTextProperties() override;

  // One sub-chunk: the class name of Position (empty without one). Reading a name of a registered
  // position class replaces Position with a new instance of it whose Owner is the bag's element;
  // an empty or unknown name keeps the current one.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  TPrintPageElementPageNumberTextPosition* Position() const { return position_.get(); }
  void SetPosition(std::unique_ptr<TPrintPageElementPageNumberTextPosition> position);

 private:
  TStoredPart PositionPart();

  std::unique_ptr<TPrintPageElementPageNumberTextPosition> position_;
};

class TPrintPageElementPageNumberText : public TPrintPageElementAlignedText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // The size of a new page number element, as fractions of the page.
  static constexpr double kDefaultPageNumberWidth = 0.09523809523809523;
  static constexpr double kDefaultPageNumberHeight = 0.02586206896551724;

  // Places the position as designed.
  TPrintPageElementPageNumberText();

  static std::string ClassCaption() { return "Seitennummer"; }
  static std::string ClassDescription() { return "Stellt die Seitennummer auf einer Seite dar"; }

  // The number of the page being rendered: that of the page template holding the element; 0 on
  // no template.
  virtual int32_t PageNumber() const;

  // Rendered: Text expanded, or the page number when Text is empty. Design view: Text, or
  // "<Seitennummer>" when it is empty.
  std::string GetText() const override;
  // One line, never clipped, vertically centred. Rendered, the position plug-in moves the element
  // for the page and adds its flags; the design view centres the number instead. Then the
  // horizontal alignment.
  void PrepareDrawFormat() override;

  TPrintPageElementPageNumberTextProperties& PageNumberProperties() const;
};

}  // namespace nimbra
