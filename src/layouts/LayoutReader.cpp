#include "layouts/LayoutReader.h"

#include <cctype>
#include <cmath>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "elements/PageNumberTextPosition.h"
#include "elements/PageTemplateVariable.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintPageElementUserText.h"
#include "layouts/LayoutFields.h"
#include "layouts/LayoutJson.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureElements.h"
#include "templates/StructureEvent.h"

namespace nimbra {

namespace {

// Pages wider or taller than this are taken for a slip of the keyboard.
constexpr double kMaxPageCentimetres = 500;
// More than this many elements on one page, templates or structure items is no layout.
constexpr size_t kMaxListLength = 1000;

const TJsonValue& ListOf(TLayoutFields& fields, std::string_view name, bool mayBeEmpty) {
  const TJsonValue& list = *fields.Get(name, TJsonKind::Array, true);
  if (list.Items.empty() && !mayBeEmpty) {
    fields.Fail(list, "\"" + std::string(name) + "\" of " + fields.What() + " is empty");
  }
  if (list.Items.size() > kMaxListLength) {
    fields.Fail(list, "\"" + std::string(name) + "\" of " + fields.What() + " holds more than " +
                          std::to_string(kMaxListLength) + " entries");
  }
  return list;
}

// ---- elements ----

void ReadPicture(TLayoutFields& fields, TPrintPageElementPicture& element) {
  TPrintPageElementPictureProperties& bag = element.PictureProperties();
  const std::string file = fields.Text("file", {});
  // A fixed picture is the template's own; otherwise the element shows the slideshow's photos.
  bag.SetUseSlideShowPicture(file.empty());
  bag.SetFileName(file);
  bag.SetTakesNextObject(fields.Boolean("takesPhoto", true));
  bag.SetKeepAspectRatio(fields.Boolean("keepAspectRatio", true));
  bag.SetFitMode(static_cast<uint8_t>(
      fields.Choice("fit", {"inside", "bounds", "unrotated"}, kFitRotatedBounds)));
  bag.SetRotationAngle(fields.Number("rotation", 0, -360, 360));
  bag.SetRandomRotation(fields.Boolean("randomRotation", false));
  bag.SetAutoRotate(fields.Boolean("autoRotate", false));
  bag.SetTransparency(static_cast<uint8_t>(fields.Integer("transparency", 0, 0, 255)));
}

void ReadShape(TLayoutFields& fields, TPrintPageElementGeometric& element) {
  TPrintPageElementGeometricProperties& bag = element.GeometricProperties();
  const std::optional<TColor32> fill = fields.Color("fill", bag.FillColor(), true);
  const std::optional<TColor32> border = fields.Color("border", bag.BorderColor(), true);
  uint8_t flags = 0;
  if (fill) {
    bag.SetFillColor(*fill);
    flags |= kDrawFill;
  }
  if (border) {
    bag.SetBorderColor(*border);
    flags |= kDrawBorder;
  }
  bag.SetDrawFlags(flags);
  bag.SetBorderWidth(static_cast<int32_t>(fields.Integer("borderWidth", 1, 0, 1000)));
}

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

std::unique_ptr<TPrintWizardElement> ReadText(TLayoutFields& fields, size_t type) {
  if (type == 3) {
    auto text = std::make_unique<TPrintPageElementUserText>();
    TPrintPageElementAlignedTextProperties& bag = text->AlignedProperties();
    bag.SetText(fields.Text("text", bag.Text()));
    ReadTextLook(fields, bag);
    return text;
  }
  if (type == 4) {
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

std::unique_ptr<TPageElement> ReadElement(const TJsonValue& value) {
  TLayoutFields probe(value, "an element");
  const size_t type = probe.Choice(
      "type", {"picture", "rectangle", "ellipse", "text", "caption", "pageNumber"}, 99);
  if (type == 99)
    probe.Fail(value,
               "an element needs \"type\": \"picture\", \"rectangle\", \"ellipse\", "
               "\"text\", \"caption\" or \"pageNumber\"");
  static const char* const kWhat[] = {"a picture element", "a rectangle",  "an ellipse", "a text",
                                      "a caption",         "a page number"};
  TLayoutFields fields(value, kWhat[type]);
  fields.Get("type", TJsonKind::String);
  const TDoubleRect rect = fields.Rect("rect");
  std::unique_ptr<TPrintWizardElement> element;
  if (type == 0) {
    auto picture = std::make_unique<TPrintPageElementPicture>();
    ReadPicture(fields, *picture);
    element = std::move(picture);
  } else if (type >= 3) {
    element = ReadText(fields, type);
  } else if (type == 1) {
    auto shape = std::make_unique<TPrintPageElementRect>();
    ReadShape(fields, *shape);
    element = std::move(shape);
  } else {
    auto shape = std::make_unique<TPrintPageElementEllipse>();
    ReadShape(fields, *shape);
    shape->EllipseProperties().SetCircle(fields.Boolean("circle", false));
    element = std::move(shape);
  }
  element->SetBounds(rect);
  fields.CheckAllUsed();
  return element;
}

// ---- templates ----

struct TTemplateEntry {
  TPageTemplate* Template = nullptr;
  bool TakesPhotos = false;
};
using TTemplatesByName = std::map<std::string, TTemplateEntry, std::less<>>;

// The template list hands out the ID when the template arrives.
std::unique_ptr<TPrintWizardPageTemplate> ReadTemplate(const TJsonValue& value, bool& takesPhotos) {
  TLayoutFields fields(value, "a template");
  auto pageTemplate = std::make_unique<TPrintWizardPageTemplate>();
  pageTemplate->Properties().SetName(fields.Text("name", {}, true));
  TPrintWizardPageTemplateProperties& bag = pageTemplate->WizardProperties();
  const TJsonValue& size = *fields.Get("size", TJsonKind::Array, true);
  if (size.Items.size() != 2)
    fields.Fail(size,
                "\"size\" of a template should be [width, height]"
                " in centimetres");
  for (const TJsonValue& edge : size.Items) {
    if (edge.Kind != TJsonKind::Number ||
        !(edge.Number > 0 && edge.Number <= kMaxPageCentimetres)) {
      fields.Fail(edge, "a template's width and height should be centimetres above 0 and up to " +
                            std::to_string(static_cast<int>(kMaxPageCentimetres)));
    }
  }
  bag.SetPageWidth(size.Items[0].Number);
  bag.SetPageHeight(size.Items[1].Number);
  // The integer size is kept in millimetres, as for a new project's first template.
  pageTemplate->SetSize(static_cast<int32_t>(std::lround(size.Items[0].Number * 10)),
                        static_cast<int32_t>(std::lround(size.Items[1].Number * 10)));
  bag.SetBackColor(*fields.Color("background", bag.BackColor()));
  bag.SetBackgroundFile(fields.Text("backgroundPicture", {}));
  bag.SetBackgroundMode(static_cast<uint8_t>(
      fields.Choice("backgroundMode", {"centred", "stretched", "tiled"}, kBackgroundStretched)));
  bag.SetBackgroundAlpha(static_cast<uint8_t>(fields.Integer("backgroundOpacity", 255, 0, 255)));
  pageTemplate->Properties().SetSide(
      static_cast<uint8_t>(fields.Choice("side", {"any", "even", "odd"}, kPageSideAny)));
  takesPhotos = false;
  int32_t slideShowPictures = 0;
  std::vector<std::pair<const TJsonValue*, int32_t>> captions;
  for (const TJsonValue& elementValue : ListOf(fields, "elements", true).Items) {
    std::unique_ptr<TPageElement> element = ReadElement(elementValue);
    if (const auto* consumer = dynamic_cast<const IObjectConsumer*>(element.get())) {
      takesPhotos = takesPhotos || consumer->TakesObject();
    }
    if (const auto* picture = dynamic_cast<const TPrintPageElementPicture*>(element.get());
        picture != nullptr && picture->PictureProperties().UseSlideShowPicture()) {
      ++slideShowPictures;
    }
    // A caption counts only the pictures that show the slideshow's photos, wherever they are
    // listed; one beyond them would stay empty on every page.
    if (const auto* caption = dynamic_cast<const TPrintPageElementPictureText*>(element.get())) {
      captions.push_back({&elementValue, caption->PictureTextProperties().PictureNumber()});
    }
    pageTemplate->Elements().Add(std::move(element));
  }
  for (const auto& [at, number] : captions) {
    if (number > slideShowPictures) {
      fields.Fail(*at, "a caption describes picture " + std::to_string(number) +
                           " but the template shows " + std::to_string(slideShowPictures) +
                           " of the photos");
    }
  }
  fields.CheckAllUsed();
  return pageTemplate;
}

// ---- structure ----

std::unique_ptr<TStructureEvent> MakeEvent(size_t kind) {
  switch (kind) {
    case 0:
      return std::make_unique<TStructureEventOnListEnd>();
    case 1:
      return std::make_unique<TStructureEventOnChapter>();
    default:
      return std::make_unique<TStructureEventOnChapterEnd>();
  }
}

class TStructureReader {
 public:
  explicit TStructureReader(const TTemplatesByName& templates) : templates_(templates) {}

  // Appends the items of the list; yields whether one of them shows photos.
  bool ReadList(const TJsonValue& list, const TRef<ITreeItemList>& into, int depth) {
    if (depth > kMaxLayoutJsonDepth) throw ELayoutError(list.Line, "the structure nests too deep");
    bool takesPhotos = false;
    for (const TJsonValue& value : list.Items) {
      takesPhotos = ReadItem(value, into, depth) || takesPhotos;
    }
    return takesPhotos;
  }

 private:
  bool ReadItem(const TJsonValue& value, const TRef<ITreeItemList>& into, int depth) {
    TLayoutFields probe(value, "a structure item");
    if (probe.Has("page")) return ReadPage(value, into);
    if (probe.Has("loop")) return ReadLoop(value, into, depth);
    if (probe.Has("event")) return ReadEvent(value, into, depth);
    probe.Fail(value, "a structure item needs \"page\", \"loop\" or \"event\"");
  }

  bool ReadPage(const TJsonValue& value, const TRef<ITreeItemList>& into) {
    TLayoutFields fields(value, "a page");
    const TJsonValue& name = *fields.Get("page", TJsonKind::String, true);
    const auto found = templates_.find(name.Text);
    if (found == templates_.end()) {
      fields.Fail(name, "no template is named \"" + name.Text + "\"");
    }
    fields.CheckAllUsed();
    auto page = std::make_unique<TPageTemplateStructureElementPage>();
    page->SetTemplate(found->second.Template);
    into->Add(HandOverToRef<ITreeItem>(std::move(page)));
    return found->second.TakesPhotos;
  }

  bool ReadLoop(const TJsonValue& value, const TRef<ITreeItemList>& into, int depth) {
    TLayoutFields fields(value, "a loop");
    const TJsonValue& body = ListOf(fields, "loop", false);
    const size_t until = fields.Choice("until", {"listEnd", "chapter", "chapterEnd"}, 0);
    const size_t check = fields.Choice("check", {"before", "after", "both"}, kLoopChecksBefore);
    fields.CheckAllUsed();
    auto loop = std::make_unique<TSlideShowPageTemplateStructureElementLoop>();
    loop->LoopProperties().SetEvent(MakeEvent(until));
    loop->LoopProperties().SetMode(static_cast<uint8_t>(check));
    const TRef<ITreeItem> item = HandOverToRef<ITreeItem>(std::move(loop));
    into->Add(item);
    const bool takesPhotos = ReadList(body, item->NeedChildren(), depth + 1);
    // Its end comes only with the photos, so a loop that shows none would repeat its pages until
    // the renderer's page limit cuts it off.
    if (!takesPhotos) {
      fields.Fail(value,
                  "this loop waits for the end of the photos but shows none of them; give "
                  "one of its pages a picture element that takes a photo");
    }
    return takesPhotos;
  }

  bool ReadEvent(const TJsonValue& value, const TRef<ITreeItemList>& into, int depth) {
    TLayoutFields fields(value, "an event");
    const size_t kind = fields.Choice("event", {"listEnd", "chapter", "chapterEnd"}, 0);
    // An event without pages of its own would end the walk where it fires.
    const TJsonValue& body = ListOf(fields, "do", false);
    fields.CheckAllUsed();
    auto event = std::make_unique<TPageTemplateSlideShowStructureElementEvent>();
    event->EventProperties().SetEvent(MakeEvent(kind));
    const TRef<ITreeItem> item = HandOverToRef<ITreeItem>(std::move(event));
    into->Add(item);
    return ReadList(body, item->NeedChildren(), depth + 1);
  }

  const TTemplatesByName& templates_;
};

// ---- project variables ----

void ReadVariables(TLayoutFields& fields, TPrintWizardPageTemplateProject& project) {
  const TJsonValue* list = fields.Get("variables", TJsonKind::Array);
  if (list == nullptr) return;
  if (list->Items.size() > kMaxListLength) {
    fields.Fail(*list, "\"variables\" of the layout holds more than " +
                           std::to_string(kMaxListLength) + " entries");
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

}  // namespace

TLayout ReadLayout(std::string_view json) {
  const TJsonValue root = ParseLayoutJson(json);
  TLayoutFields fields(root, "the layout");
  TLayout layout;
  layout.Name = fields.Text("name", {}, true);
  layout.Project = std::make_unique<TPrintWizardPageTemplateProject>();
  TPrintWizardPageTemplateProject& project = *layout.Project;
  if (TPrintWizardPageTemplateProjectProperties* bag = project.ProjectProperties()) {
    bag->SetTitle(fields.Text("title", layout.Name));
    bag->SetAuthor(fields.Text("author", {}));
    bag->SetDescription(fields.Text("description", {}));
  }

  ReadVariables(fields, project);

  project.Templates().Clear();
  TTemplatesByName byName;
  for (const TJsonValue& value : ListOf(fields, "templates", false).Items) {
    bool takesPhotos = false;
    std::unique_ptr<TPrintWizardPageTemplate> pageTemplate = ReadTemplate(value, takesPhotos);
    const std::string name = pageTemplate->Properties().Name();
    if (name.empty()) throw ELayoutError(value.Line, "a template needs a name that is not empty");
    if (byName.count(name) != 0) {
      throw ELayoutError(value.Line, "two templates are named \"" + name + "\"");
    }
    byName[name] = {pageTemplate.get(), takesPhotos};
    project.Templates().Add(std::move(pageTemplate));
  }

  TStructureReader structure(byName);
  const TJsonValue& items = ListOf(fields, "structure", false);
  fields.CheckAllUsed();
  structure.ReadList(items, project.Structure().GetItems(), 0);
  return layout;
}

}  // namespace nimbra
