#include "TemplateTestClasses.h"

#include <algorithm>

#include "storage/CSFStream.h"
#include "templates/TemplateRegistration.h"

namespace nimbra::test {

NIMBRA_DEFINE_PLUGIN(TTestElementProperties, TVisiblePageElementProperties)
NIMBRA_DEFINE_PLUGIN(TTestElement, TPrintWizardElement)
NIMBRA_DEFINE_PLUGIN(TPlainTestElement, TVisiblePageElement)
NIMBRA_DEFINE_PLUGIN(TTestStructureProperties, TPageTemplateStructureElementProperties)
NIMBRA_DEFINE_PLUGIN(TTestStructureElement, TPageTemplateStructureElement)

const TPluginClass& TTestVariables::StaticClass() {
  static const TPluginClassOf<TTestVariables> meta("TPageTemplateVariableProperties",
                                                   &TProperties::StaticClass());
  return meta;
}

bool TTestElementProperties::WriteToStream(TCSFStream& stream) const {
  if (!TVisiblePageElementProperties::WriteToStream(stream)) return false;
  TWriteSubChunk chunk(stream);
  stream.WriteString(Label);
  stream.WriteCardinal(Colour);
  chunk.End();
  return true;
}

bool TTestElementProperties::ReadFromStream(TCSFStream& stream) {
  if (!TVisiblePageElementProperties::ReadFromStream(stream)) return false;
  try {
    TReadSubChunk chunk(stream);
    Label = stream.ReadString();
    Colour = stream.ReadCardinal();
    return true;
  } catch (...) {
    return false;
  }
}

TTestElement::TTestElement()
    : TPrintWizardElement(TTestElementProperties::StaticClass(), 0.2, 0.1) {}

bool TTestElement::Render(TBitmap32& bitmap, const TPixelRect& pageRect) {
  const TPixelRect area = PixelBounds(pageRect);
  for (int32_t y = std::max(area.Top, 0); y < std::min(area.Bottom, bitmap.Height()); ++y) {
    for (int32_t x = std::max(area.Left, 0); x < std::min(area.Right, bitmap.Width()); ++x) {
      bitmap.SetPixel(x, y, Bag().Colour);
    }
  }
  return true;
}

bool TTestStructureProperties::WriteToStream(TCSFStream& stream) const {
  if (!TPageTemplateStructureElementProperties::WriteToStream(stream)) return false;
  stream.WriteCardinal(TemplateID);
  stream.WriteString(Name);
  return true;
}

bool TTestStructureProperties::ReadFromStream(TCSFStream& stream) {
  if (!TPageTemplateStructureElementProperties::ReadFromStream(stream)) return false;
  try {
    TemplateID = stream.ReadCardinal();
    Name = stream.ReadString();
    return true;
  } catch (...) {
    return false;
  }
}

bool TTestVariables::WriteToStream(TCSFStream& stream) const {
  stream.WriteString(Names);
  return true;
}

bool TTestVariables::ReadFromStream(TCSFStream& stream) {
  try {
    Names = stream.ReadString();
    return true;
  } catch (...) {
    return false;
  }
}

TTestClassRegistration::TTestClassRegistration(bool withVariables) : withVariables_(withVariables) {
  PageTemplatesStartup();
  RegisterClass(TTestElement::StaticClass());
  RegisterClass(TPlainTestElement::StaticClass());
  RegisterClass(TTestStructureElement::StaticClass());
  if (withVariables_) RegisterClass(TTestVariables::StaticClass());
}

TTestClassRegistration::~TTestClassRegistration() {
  if (withVariables_) UnregisterClass(TTestVariables::StaticClass());
  UnregisterClass(TTestStructureElement::StaticClass());
  UnregisterClass(TPlainTestElement::StaticClass());
  UnregisterClass(TTestElement::StaticClass());
  PageTemplatesShutdown();
}

}  // namespace nimbra::test
