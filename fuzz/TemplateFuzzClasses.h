// The element and structure element classes the template project fuzzer and its seed writer share:
// one of each, with data of variable length, registered with the page-template unit. Include this
// header in one source file per program.
#pragma once

#include <cstdint>
#include <string>

#include "storage/CSFStream.h"
#include "templates/PageElement.h"
#include "templates/PageTemplateStructure.h"
#include "templates/TemplateRegistration.h"

namespace nimbra::fuzz {

// A bag with a string after the bounds, so that element data of every length is read.
class TFuzzElementProperties : public TVisiblePageElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  std::string Text;

  bool WriteToStream(TCSFStream& stream) const override {
    if (!TVisiblePageElementProperties::WriteToStream(stream)) return false;
    stream.WriteString(Text);
    return true;
  }
  bool ReadFromStream(TCSFStream& stream) override {
    if (!TVisiblePageElementProperties::ReadFromStream(stream)) return false;
    try {
      Text = stream.ReadString();
      return true;
    } catch (...) {
      return false;
    }
  }
};

class TFuzzElement : public TPrintWizardElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TFuzzElement() : TPrintWizardElement(TFuzzElementProperties::StaticClass()) {}
  TFuzzElementProperties& Bag() const { return *PropertiesAs<TFuzzElementProperties>(); }
  bool Render(TBitmap32& /*bitmap*/, const TPixelRect& /*pageRect*/) override { return false; }
};

class TFuzzStructureProperties : public TPageTemplateStructureElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  uint32_t TemplateID = 0;

  bool WriteToStream(TCSFStream& stream) const override {
    stream.WriteCardinal(TemplateID);
    return true;
  }
  bool ReadFromStream(TCSFStream& stream) override {
    try {
      TemplateID = stream.ReadCardinal();
      return true;
    } catch (...) {
      return false;
    }
  }
};

class TFuzzStructureElement : public TPageTemplateStructureElement {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TFuzzStructureElement()
      : TPageTemplateStructureElement(TFuzzStructureProperties::StaticClass()) {}
  TFuzzStructureProperties& Bag() const { return *PropertiesAs<TFuzzStructureProperties>(); }
};

// Starts the page-template unit and registers the two classes, for the program's lifetime.
struct TRegistration {
  TRegistration() {
    PageTemplatesStartup();
    RegisterClass(TFuzzElement::StaticClass());
    RegisterClass(TFuzzStructureElement::StaticClass());
  }
};

NIMBRA_DEFINE_PLUGIN(TFuzzElementProperties, TVisiblePageElementProperties)
NIMBRA_DEFINE_PLUGIN(TFuzzElement, TPrintWizardElement)
NIMBRA_DEFINE_PLUGIN(TFuzzStructureProperties, TPageTemplateStructureElementProperties)
NIMBRA_DEFINE_PLUGIN(TFuzzStructureElement, TPageTemplateStructureElement)

}  // namespace nimbra::fuzz
