#include "layouts/LayoutTexts.h"

#include <cctype>
#include <set>
#include <string>

#include "elements/PageNumberTextPosition.h"
#include "elements/PageTemplateVariable.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintPageElementUserText.h"

namespace nimbra {

namespace {

// As for the other lists of a layout: more than this is a mistake rather than a project.
constexpr size_t kMaxVariables = 1000;

// The font, its colour and the alignment every kind of text carries.
void ReadTextLook(TLayoutFields& fields, TPrintPageElementAlignedTextProperties& bag) {
  TFontRecord font = bag.Font();
  font.Name = fields.Text("font", font.Name);
  if (font.Name.empty()) fields.Fail(fields.Object(), "\"font\" of " + fields.What() + " is empty");
  font.Size = static_cast<int32_t>(fields.Integer("size", font.Size, 1, 1000));
  font.Style = 0;
  if (fields.Boolean("bold", false)) font.Style |= kFontStyleBold;
  if (fields.Boolean("italic", false)) font.Style |= kFontStyleItalic;
  // Text is drawn opaque, so a colour with its own opacity would promise what is not kept.
  if (const TJsonValue* colour = fields.Object().Find("color");
      colour != nullptr && colour->Kind == TJsonKind::String && colour->Text.size() == 9) {
    fields.Fail(*colour, "\"color\" of " + fields.What() + " should be a colour \"#RRGGBB\"");
  }
  const TColor32 argb = *fields.Color("color", 0xFF000000u);
  // The font keeps its colour the platform's way round: 0x00BBGGRR.
  font.Color =
      static_cast<int32_t>(((argb & 0xFFu) << 16) | (argb & 0xFF00u) | ((argb >> 16) & 0xFFu));
  bag.SetFont(font);
  bag.SetHorzAlignment(
      static_cast<uint8_t>(fields.Choice("align", {"left", "centred", "right"}, kAlignLeft)));
  bag.SetVertAlignment(
      static_cast<uint8_t>(fields.Choice("verticalAlign", {"top", "middle", "bottom"}, kAlignTop)));
}

std::unique_ptr<TPrintPageElementPageNumberTextPosition> MakePosition(size_t kind) {
  switch (kind) {
    case 1:
      return std::make_unique<TPrintPageElementPageNumberTextPositionCentered>();
    case 2:
      return std::make_unique<TPrintPageElementPageNumberTextPositionJumping>();
    default:
      return std::make_unique<TPrintPageElementPageNumberTextPositionAsDesigned>();
  }
}

}  // namespace

std::unique_ptr<TPrintWizardElement> ReadTextElement(TLayoutFields& fields, TLayoutTextKind kind) {
  if (kind == TLayoutTextKind::Text) {
    auto text = std::make_unique<TPrintPageElementUserText>();
    TPrintPageElementAlignedTextProperties& bag = text->AlignedProperties();
    bag.SetText(fields.Text("text", bag.Text()));
    ReadTextLook(fields, bag);
    return text;
  }
  if (kind == TLayoutTextKind::Caption) {
    auto caption = std::make_unique<TPrintPageElementPictureText>();
    TPrintPageElementPictureTextProperties& bag = caption->PictureTextProperties();
    // Without a text of its own a caption shows the photo's description.
    bag.SetText(fields.Text("text", {}));
    bag.SetPictureNumber(static_cast<int32_t>(fields.Integer("picture", 1, 1, 1000)));
    ReadTextLook(fields, bag);
    return caption;
  }
  auto number = std::make_unique<TPrintPageElementPageNumberText>();
  TPrintPageElementPageNumberTextProperties& bag = number->PageNumberProperties();
  bag.SetText(fields.Text("text", {}));
  bag.SetPosition(
      MakePosition(fields.Choice("position", {"asDesigned", "centred", "alternating"}, 0)));
  ReadTextLook(fields, bag);
  return number;
}

void ReadProjectVariables(TLayoutFields& fields, TPrintWizardPageTemplateProject& project) {
  const TJsonValue* list = fields.Get("variables", TJsonKind::Array);
  if (list == nullptr) return;
  if (list->Items.size() > kMaxVariables) {
    fields.Fail(*list, "\"variables\" of the layout holds more than " +
                           std::to_string(kMaxVariables) + " entries");
  }
  auto* bag = dynamic_cast<TPageTemplateVariableProperties*>(
      project.ProjectProperties() != nullptr ? project.ProjectProperties()->Variables() : nullptr);
  if (bag == nullptr) fields.Fail(*list, "project variables are not available in this program");
  TPageTemplateVariableList& variables = bag->Variables();
  variables.Clear();
  std::set<std::string> seen;
  for (const TJsonValue& value : list->Items) {
    TLayoutFields variable(value, "a variable");
    const TJsonValue& nameValue = *variable.Get("name", TJsonKind::String, true);
    const std::string& name = nameValue.Text;
    if (name.empty() || name.find('%') != std::string::npos) {
      variable.Fail(nameValue, "a variable's name should be a word without \"%\"");
    }
    // Texts find variables whatever the letter case, so two names differing only there would
    // hide one of them.
    std::string folded = name;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (!seen.insert(folded).second) {
      variable.Fail(nameValue, "two variables are named \"" + name + "\"");
    }
    const std::string text = variable.Text("value", {}, true);
    variable.CheckAllUsed();
    // Several lines need the variable that keeps lines; one line is a plain text.
    const TMetaClass& kind = text.find('\n') != std::string::npos
                                 ? TPageTemplateTextVariable::StaticClass()
                                 : TPageTemplateStringVariable::StaticClass();
    TPageTemplateVariable& added = variables.Items(variables.AddVariable(kind));
    added.SetVariableName(name);
    added.SetValueText(text);
  }
}

}  // namespace nimbra
