#include "templates/PageTemplateStructure.h"

#include <stdexcept>

#include "framework/OwnedBag.h"
#include "framework/TreeStorage.h"
#include "storage/CSFStream.h"
#include "storage/Check.h"
#include "storage/FalseOnFailure.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPageTemplateStructureElementProperties, TProperties)
NIMBRA_DEFINE_PLUGIN(TPageTemplateStructure, TCustomTree)
NIMBRA_DEFINE_PLUGIN(TPageTemplateStructureElement, TCustomTreeItemPlugin)

// ---- TPageTemplateStructure ----

TObject* TPageTemplateStructure::GetOwner() const {
  return project_;
}

void TPageTemplateStructure::SetOwner(TObject* owner) {
  project_ = dynamic_cast<TPageTemplateProject*>(owner);
}

bool TPageTemplateStructure::WriteToStream(TCSFStream& stream) const {
  return FalseOnFailure([&] {
    TWriteSubChunk chunk(stream);
    const bool written = SaveTree(GetItems(), stream);
    chunk.End();
    return written;
  });
}

bool TPageTemplateStructure::ReadFromStream(TCSFStream& stream) {
  return FalseOnFailure([&] {
    TReadSubChunk chunk(stream);
    return LoadTree(GetItems(), stream, CreateTreeItemByClassName);
  });
}

// ---- TPageTemplateStructureElement ----

TPageTemplateStructureElement::TPageTemplateStructureElement()
    : TPageTemplateStructureElement(TPageTemplateStructureElementProperties::StaticClass()) {}

TPageTemplateStructureElement::TPageTemplateStructureElement(const TMetaClass& propertiesClass)
    : propertiesClass_(&propertiesClass),
      properties_(CreateAs<TPageTemplateStructureElementProperties>(propertiesClass)) {
  NIMBRA_CHECK(properties_, propertiesClass.ClassName() + " is no structure element bag");
}

TPageTemplateStructureElement::~TPageTemplateStructureElement() = default;

bool TPageTemplateStructureElement::WriteToStream(TCSFStream& stream) const {
  return WriteBagInSubChunk(stream, *properties_);
}

bool TPageTemplateStructureElement::ReadFromStream(TCSFStream& stream) {
  return ReadBagInSubChunk(stream, *properties_);
}

TPageTemplateStructure* TPageTemplateStructureElement::Structure() const {
  return FindOwner<TPageTemplateStructure>(this);
}

TPageTemplateProject* TPageTemplateStructureElement::Project() const {
  const TPageTemplateStructure* structure = Structure();
  return structure != nullptr ? structure->Project() : nullptr;
}

}  // namespace nimbra
