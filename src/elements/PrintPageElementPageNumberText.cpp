#include "elements/PrintPageElementPageNumberText.h"

#include "framework/FieldWriter.h"
#include "storage/CSFStream.h"
#include "templates/PageTemplate.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintPageElementPageNumberTextProperties,
                     TPrintPageElementAlignedTextProperties)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementPageNumberText, TPrintPageElementAlignedText)

// ---- TPrintPageElementPageNumberTextProperties ----

TPrintPageElementPageNumberTextProperties::TPrintPageElementPageNumberTextProperties() = default;

TPrintPageElementPageNumberTextProperties::~TPrintPageElementPageNumberTextProperties() = default;

void TPrintPageElementPageNumberTextProperties::SetPosition(
    std::unique_ptr<TPrintPageElementPageNumberTextPosition> position) {
  position_ = std::move(position);
}

TStoredPart TPrintPageElementPageNumberTextProperties::PositionPart() {
  return {
      [this](TCSFStream& stream) {
        stream.WriteClassName(position_.get());
        return true;
      },
      [this](TCSFStream& stream) {
        // A name is whole on its own, so an unknown one leaves nothing unread behind it.
        const TMetaClass* positionClass = stream.ReadClass();
        if (positionClass == nullptr ||
            !positionClass->InheritsFrom(TPrintPageElementPageNumberTextPosition::StaticClass())) {
          return TPartRead::Read;
        }
        std::unique_ptr<TPrintPageElementPageNumberTextPosition> position =
            CreateAs<TPrintPageElementPageNumberTextPosition>(*positionClass);
        if (!position) return TPartRead::Read;
        position->SetOwner(dynamic_cast<TPrintPageElementPageNumberText*>(Element()));
        position_ = std::move(position);
        return TPartRead::Read;
      },
      [this](std::string_view name, TFieldWriter& fields) {
        fields.Text(name, position_ ? position_->ClassName() : std::string());
      }};
}

void TPrintPageElementPageNumberTextProperties::MapFields(TFieldMap& map) {
  TPrintPageElementAlignedTextProperties::MapFields(map);
  map.SubChunk([&] { map.Part("position", PositionPart()); });
}

std::string TPrintPageElementPageNumberTextProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPrintPageElementAlignedTextProperties::EditorFrameClassNames(),
                                    "TPrintPageElementPageNumberTextPropertyEditorFrame");
}

// ---- TPrintPageElementPageNumberText ----

TPrintPageElementPageNumberText::TPrintPageElementPageNumberText()
    : TPrintPageElementAlignedText(TPrintPageElementPageNumberTextProperties::StaticClass(),
                                   kDefaultPageNumberWidth, kDefaultPageNumberHeight) {
  PageNumberProperties().SetPosition(
      std::make_unique<TPrintPageElementPageNumberTextPositionAsDesigned>());
}

TPrintPageElementPageNumberTextProperties& TPrintPageElementPageNumberText::PageNumberProperties()
    const {
  return static_cast<TPrintPageElementPageNumberTextProperties&>(Properties());
}

int32_t TPrintPageElementPageNumberText::PageNumber() const {
  const TPrintWizardPageTemplate* pageTemplate = PageTemplate();
  return pageTemplate != nullptr ? pageTemplate->PageNumber() : 0;
}

std::string TPrintPageElementPageNumberText::GetText() const {
  const std::string& text = TextProperties().Text();
  if (!FinalRendering()) return text.empty() ? "<Seitennummer>" : text;
  return text.empty() ? std::to_string(PageNumber()) : ExpandVariables(text);
}

void TPrintPageElementPageNumberText::PrepareDrawFormat() {
  uint32_t format = kDrawTextNoClip | kDrawTextSingleLine | kDrawTextVCenter;
  if (!FinalRendering()) {
    format |= kDrawTextCenter;
  } else if (TPrintPageElementPageNumberTextPosition* position = PageNumberProperties().Position()) {
    position->SetOwner(this);
    position->ModifyPosition(PageNumber());
    format |= position->SpecialDrawParams();
  }
  SetDrawFormat(format | AlignmentFormat());
}

}  // namespace nimbra
