#include "elements/PrintPageElementPictureText.h"

#include "elements/PrintPageElementPicture.h"
#include "framework/FieldMap.h"
#include "framework/Plugins.h"
#include "framework/VariablePlugin.h"
#include "slideshow/SlideShowObject.h"
#include "slideshow/SlideShowTree.h"
#include "templates/PageTemplate.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TPrintPageElementPictureTextProperties,
                     TPrintPageElementAlignedTextProperties)
NIMBRA_DEFINE_PLUGIN(TPrintPageElementPictureText, TPrintPageElementAlignedText)

// ---- TPrintPageElementPictureTextProperties ----

void TPrintPageElementPictureTextProperties::MapFields(TFieldMap& map) {
  TPrintPageElementAlignedTextProperties::MapFields(map);
  map.SubChunk([&] { map.Integer("pictureNumber", pictureNumber_); });
}

std::string TPrintPageElementPictureTextProperties::EditorFrameClassNames() const {
  return AppendEditorFrameClassName(TPrintPageElementAlignedTextProperties::EditorFrameClassNames(),
                                    "TPrintPageElementPictureTextPropertyEditorFrame");
}

// ---- TPrintPageElementPictureText ----

TPrintPageElementPictureText::TPrintPageElementPictureText()
    : TPrintPageElementAlignedText(TPrintPageElementPictureTextProperties::StaticClass()) {}

TPrintPageElementPictureTextProperties& TPrintPageElementPictureText::PictureTextProperties()
    const {
  return static_cast<TPrintPageElementPictureTextProperties&>(Properties());
}

std::string TPrintPageElementPictureText::DisplayName() const {
  return TPrintPageElementAlignedText::DisplayName() + " (" +
         std::to_string(PictureTextProperties().PictureNumber()) + ")";
}

TSlideShowObject* TPrintPageElementPictureText::DescribedObject() const {
  const int32_t wanted = PictureTextProperties().PictureNumber();
  const TPrintWizardPageTemplate* pageTemplate = PageTemplate();
  if (wanted <= 0 || pageTemplate == nullptr) return nullptr;
  const TPageElementList& elements = pageTemplate->Elements();
  int32_t seen = 0;
  for (int32_t i = 0; i < elements.Count(); ++i) {
    const auto* picture = dynamic_cast<const TPrintPageElementPicture*>(elements.Items(i));
    if (picture == nullptr || !picture->PictureProperties().UseSlideShowPicture()) continue;
    if (++seen < wanted) continue;
    const auto* bound = dynamic_cast<const IObjectBoundElement*>(picture);
    return bound != nullptr ? SlideShowObjectOf(bound->GetBoundObject()) : nullptr;
  }
  return nullptr;
}

std::vector<TVariableRound> TPrintPageElementPictureText::VariableRounds() const {
  std::vector<TVariableRound> rounds{{MainPlugins(), DescribedObject()}};
  for (const TVariableRound& round : TPrintPageElementAlignedText::VariableRounds()) {
    rounds.push_back(round);
  }
  return rounds;
}

std::string TPrintPageElementPictureText::GetText() const {
  const std::string& text = TextProperties().Text();
  if (!FinalRendering()) return text.empty() ? "<Bildbeschreibung>" : text;
  // Each text is expanded once: what a variable put in is text, and a second round would read
  // its percent signs, or a doubled one the first round made single, as variables.
  std::string result = ExpandVariables(text);
  if (result.empty()) {
    if (const auto* described = dynamic_cast<const IText*>(DescribedObject())) {
      result = ExpandVariables(described->Text());
    }
  }
  return result;
}

void TPrintPageElementPictureText::PrepareDrawFormat() {
  SetDrawFormat(kDrawTextWordBreak | AlignmentFormat());
}

}  // namespace nimbra
