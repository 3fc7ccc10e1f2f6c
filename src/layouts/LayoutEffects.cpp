#include "layouts/LayoutEffects.h"

#include <memory>
#include <string>

#include "elements/PrintWizardPictureEffectCollage.h"
#include "elements/PrintWizardPictureEffectColorize.h"
#include "elements/PrintWizardPictureEffectList.h"
#include "elements/PrintWizardPictureEffectShadow.h"
#include "elements/PrintWizardPictureEffectSimpleBorder.h"
#include "templates/PageGeometry.h"

namespace nimbra {

namespace {

// More effects than this on one picture are a slip, not a design.
constexpr size_t kMaxEffects = 20;
// Lengths beyond this many centimetres are taken for a slip of the keyboard.
constexpr double kMaxCentimetres = 50;

// A percentage of 0 … 100 as the 0 … 255 the effects keep.
uint8_t Percent(TLayoutFields& fields, std::string_view name, double fallback) {
  return static_cast<uint8_t>(RoundHalfToEven(fields.Number(name, fallback, 0, 100) * 255 / 100));
}

std::unique_ptr<TPrintWizardPictureEffect> ReadShadow(TLayoutFields& fields) {
  auto shadow = std::make_unique<TPrintWizardPictureEffectShadow>();
  TPrintWizardPictureEffectShadowProperties& bag = shadow->ShadowProperties();
  bag.SetDistance(fields.Number("distance", bag.Distance(), 0, kMaxCentimetres));
  bag.SetAngle(fields.Number("angle", bag.Angle(), -360, 360));
  bag.SetBlur(fields.Number("blur", bag.Blur(), 0, kMaxCentimetres));
  // 30 % is the shadow's own default of 76.
  bag.SetTransparency(Percent(fields, "transparency", 30));
  return shadow;
}

std::unique_ptr<TPrintWizardPictureEffect> ReadBorder(TLayoutFields& fields) {
  auto border = std::make_unique<TPrintWizardPictureEffectSimpleBorder>();
  TPrintWizardPictureEffectSimpleBorderProperties& bag = border->BorderProperties();
  bag.SetBorderWidth(fields.Number("width", bag.BorderWidth(), 0.01, kMaxCentimetres));
  bag.SetColor1(*fields.Color("color", bag.Color1()));
  bag.SetColor2(*fields.Color("color2", bag.Color2()));
  bag.SetStyle(static_cast<uint8_t>(fields.Choice(
      "style",
      {"solid", "pattern", "frameGradient", "horizontalGradient", "verticalGradient", "relief"},
      kBorderStyleSolid)));
  bag.SetPatternCount(static_cast<int32_t>(fields.Integer("patterns", 2, 0, 1000)));
  bag.SetTransparency(Percent(fields, "transparency", 0));
  if (const TJsonValue* sides = fields.Get("sides", TJsonKind::Array)) {
    const std::string message = "\"sides\" of " + fields.What() +
                                " should be [left, top, right, bottom] in centimetres, each " +
                                "from 0.01 to " + std::to_string(int(kMaxCentimetres));
    if (sides->Items.size() != 4) fields.Fail(*sides, message);
    double widths[4];
    for (size_t i = 0; i < 4; ++i) {
      const TJsonValue& side = sides->Items[i];
      if (side.Kind != TJsonKind::Number ||
          !(side.Number >= 0.01 && side.Number <= kMaxCentimetres)) {
        fields.Fail(side, message);
      }
      widths[i] = side.Number;
    }
    bag.SetIndividualSides(true);
    bag.SetLeftWidth(widths[0]);
    bag.SetTopWidth(widths[1]);
    bag.SetRightWidth(widths[2]);
    bag.SetBottomWidth(widths[3]);
  }
  return border;
}

std::unique_ptr<TPrintWizardPictureEffect> ReadColorize(TLayoutFields& fields) {
  auto colorize = std::make_unique<TPrintWizardPictureEffectColorize>();
  TPrintWizardPictureEffectColorizeProperties& bag = colorize->ColorizeProperties();
  const bool replace = fields.Choice("mode", {"shift", "replace"}, 0) == 1;
  bag.SetReplaceColor(replace);
  // Replacing sets the hue and saturation; shifting turns the hue and adds to the saturation.
  bag.SetHue(static_cast<int32_t>(fields.Integer("hue", 0, replace ? 0 : -360, 360)));
  const double saturation = fields.Number("saturation", 0, replace ? 0 : -100, 100);
  bag.SetSaturation(RoundHalfToEven(saturation * 255 / 100));
  return colorize;
}

void ReadCollagePicture(const TJsonValue& value, TCollagePic& picture) {
  TLayoutFields fields(value, "a collage picture");
  const TJsonValue& files = *fields.Get("files", TJsonKind::Array, true);
  std::string names;
  for (const TJsonValue& file : files.Items) {
    if (file.Kind != TJsonKind::String || file.Text.empty() ||
        file.Text.find_first_of("\r\n") != std::string::npos) {
      fields.Fail(file, "\"files\" of a collage picture should list file names");
    }
    names += (names.empty() ? "" : "\r\n") + file.Text;
  }
  if (names.empty()) fields.Fail(files, "\"files\" of a collage picture is empty");
  picture.SetFileNames(names);
  picture.SetPlacement(
      static_cast<uint8_t>(fields.Choice("placement",
                                         {"topLeft", "top", "topRight", "left", "centre", "right",
                                          "bottomLeft", "bottom", "bottomRight", "fitted"},
                                         kPlacementFitted)));
  picture.SetBounds(fields.Rect("rect", "the photo", TDoubleRect{0, 0, 1, 1}));
  picture.SetWidth(fields.Number("width", picture.Width(), 0.01, kMaxCentimetres));
  picture.SetHeight(fields.Number("height", picture.Height(), 0.01, kMaxCentimetres));
  picture.SetOffsetX(fields.Number("offsetX", 0, -kMaxCentimetres, kMaxCentimetres));
  picture.SetOffsetY(fields.Number("offsetY", 0, -kMaxCentimetres, kMaxCentimetres));
  picture.SetAngle(fields.Number("angle", 0, -360, 360));
  picture.SetAngleRange(fields.Number("angleRange", 0, 0, 360));
  picture.SetKeepAspectRatio(fields.Boolean("keepAspectRatio", true));
  picture.SetScaleWithPicture(fields.Boolean("scaleWithPicture", true));
  fields.CheckAllUsed();
}

std::unique_ptr<TPrintWizardPictureEffect> ReadCollage(TLayoutFields& fields, bool four) {
  std::unique_ptr<TPrintWizardPictureEffectCollage> collage;
  if (four) {
    collage = std::make_unique<TPrintWizardPictureEffectUserCollage4Pic>();
  } else {
    collage = std::make_unique<TPrintWizardPictureEffectUserCollage1Pic>();
  }
  TPrintWizardPictureEffectCollageProperties& bag = collage->CollageProperties();
  bag.SetFollowPicture(fields.Boolean("followPicture", true));
  const TJsonValue& pictures = *fields.Get("pictures", TJsonKind::Array, true);
  const auto count = static_cast<size_t>(bag.Pictures().Count());
  if (pictures.Items.size() != count) {
    fields.Fail(pictures, "\"pictures\" of " + fields.What() + " should list " +
                              std::to_string(count) + (count == 1 ? " picture" : " pictures"));
  }
  for (size_t i = 0; i < count; ++i) {
    ReadCollagePicture(pictures.Items[i], bag.Pictures().Items(static_cast<int32_t>(i)));
  }
  return collage;
}

}  // namespace

void ReadPictureEffects(TLayoutFields& element, TPrintWizardPictureEffectList& effects) {
  const TJsonValue* list = element.Get("effects", TJsonKind::Array);
  if (list == nullptr) return;
  if (list->Items.size() > kMaxEffects) {
    element.Fail(*list, "\"effects\" of " + element.What() + " holds more than " +
                            std::to_string(kMaxEffects) + " effects");
  }
  for (const TJsonValue& value : list->Items) {
    TLayoutFields probe(value, "an effect");
    const size_t type =
        probe.Choice("type", {"shadow", "border", "colorize", "collage1", "collage4"}, SIZE_MAX);
    if (type == SIZE_MAX) {
      probe.Fail(value,
                 "an effect needs \"type\": \"shadow\", \"border\", \"colorize\", "
                 "\"collage1\" or \"collage4\"");
    }
    static const char* const kWhat[] = {"a shadow", "a border", "a colouring", "a collage",
                                        "a collage"};
    TLayoutFields fields(value, kWhat[type]);
    fields.Get("type", TJsonKind::String);
    std::unique_ptr<TPrintWizardPictureEffect> effect;
    switch (type) {
      case 0:
        effect = ReadShadow(fields);
        break;
      case 1:
        effect = ReadBorder(fields);
        break;
      case 2:
        effect = ReadColorize(fields);
        break;
      default:
        effect = ReadCollage(fields, type == 4);
        break;
    }
    fields.CheckAllUsed();
    effects.Add(std::move(effect));
  }
}

}  // namespace nimbra
