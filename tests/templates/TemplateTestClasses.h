// Element, structure element and bag classes the template tests store, copy and read back.
#pragma once

#include <cstdint>
#include <string>

#include "templates/PageElement.h"
#include "templates/PageTemplateStructure.h"

namespace nimbra::test {

// A label and a colour in one sub-chunk after the visible bag's bounds.
class TTestElementProperties : public TVisiblePageElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  std::string Label = "Beschriftung";
  uint32_t Colour = 0xFF336699;

  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;
};

// A concrete element, 0.2 of the page wide and 0.1 high when new; Render fills its pixel bounds
// with the bag's colour.
class TTestElement : public TPrintWizardElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTestElement();

  static std::string ClassCaption() { return "Testelement"; }

  bool Render(TBitmap32& bitmap, const TPixelRect& pageRect) override;
  TTestElementProperties& Bag() const { return *PropertiesAs<TTestElementProperties>(); }
};

// A second class with the visible base bag and the base's default size.
class TPlainTestElement : public TVisiblePageElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPlainTestElement() : TVisiblePageElement(TVisiblePageElementProperties::StaticClass()) {}

  bool Render(TBitmap32& /*bitmap*/, const TPixelRect& /*pageRect*/) override { return false; }
};

// A template ID and a name, the way page structure elements store their fields.
class TTestStructureProperties : public TPageTemplateStructureElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  uint32_t TemplateID = 0;
  std::string Name;

  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;
};

class TTestStructureElement : public TPageTemplateStructureElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTestStructureElement()
      : TPageTemplateStructureElement(TTestStructureProperties::StaticClass()) {}

  TTestStructureProperties& Bag() const { return *PropertiesAs<TTestStructureProperties>(); }
};

// Stands in for the template-variable bag, under the class name a project looks for.
class TTestVariables : public TProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  std::string Names;

  bool WriteToStream(TCSFStream& stream) const override;
  bool ReadFromStream(TCSFStream& stream) override;
};

// Registers the test classes (and starts the page-template unit) for the test's lifetime.
class TTestClassRegistration {
 public:
  explicit TTestClassRegistration(bool withVariables = true);
  ~TTestClassRegistration();
  TTestClassRegistration(const TTestClassRegistration&) = delete;
  TTestClassRegistration& operator=(const TTestClassRegistration&) = delete;

 private:
  bool withVariables_;
};

}  // namespace nimbra::test
