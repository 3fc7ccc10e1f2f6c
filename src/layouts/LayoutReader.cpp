#include "layouts/LayoutReader.h"

#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "layouts/LayoutEffects.h"
#include "layouts/LayoutFields.h"
#include "layouts/LayoutJson.h"
#include "layouts/LayoutTexts.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureElementChoice.h"
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
  bag.SetBoxFill(static_cast<uint8_t>(fields.Choice("fill", {"fit", "cover"}, kPictureFitsBox)));
  bag.SetBlurredBackground(fields.Boolean("blurredBackground", false));
  ReadPictureEffects(fields, bag.Effects());
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
    element = ReadTextElement(fields, static_cast<TLayoutTextKind>(type - 3));
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
    if (probe.Has("choose")) return ReadChoice(value, into);
    probe.Fail(value, "a structure item needs \"page\", \"loop\", \"event\" or \"choose\"");
  }

  // A page item, or one alternative of a choice with the orientation it asks for.
  bool ReadPage(const TJsonValue& value, const TRef<ITreeItemList>& into,
                char* orientation = nullptr) {
    TLayoutFields fields(value, orientation != nullptr ? "an alternative" : "a page");
    const TJsonValue& name = *fields.Get("page", TJsonKind::String, true);
    const auto found = templates_.find(name.Text);
    if (found == templates_.end()) {
      fields.Fail(name, "no template is named \"" + name.Text + "\"");
    }
    if (orientation != nullptr) {
      static constexpr char kOrientations[] = {kChoiceAnyPhoto, kChoicePortraitPhoto,
                                               kChoiceLandscapePhoto, kChoicePanoramaPhoto};
      *orientation =
          kOrientations[fields.Choice("photo", {"any", "portrait", "landscape", "panorama"}, 0)];
    }
    fields.CheckAllUsed();
    auto page = std::make_unique<TPageTemplateStructureElementPage>();
    page->SetTemplate(found->second.Template);
    into->Add(HandOverToRef<ITreeItem>(std::move(page)));
    return found->second.TakesPhotos;
  }

  bool ReadChoice(const TJsonValue& value, const TRef<ITreeItemList>& into) {
    TLayoutFields fields(value, "a choice");
    const TJsonValue& list = ListOf(fields, "choose", false);
    fields.CheckAllUsed();
    auto choice = std::make_unique<TPageTemplateStructureElementChoice>();
    TStructureElementChoiceProperties& bag = choice->ChoiceProperties();
    const TRef<ITreeItem> item = HandOverToRef<ITreeItem>(std::move(choice));
    into->Add(item);
    bool takesPhotos = false;
    std::string orientations;
    for (const TJsonValue& alternative : list.Items) {
      char orientation = kChoiceAnyPhoto;
      takesPhotos = ReadPage(alternative, item->NeedChildren(), &orientation) || takesPhotos;
      orientations += orientation;
    }
    bag.SetOrientations(orientations);
    return takesPhotos;
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

  ReadProjectVariables(fields, project);

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
