// The stored forms of every bag and object kind the kit knows, of a document holding every object
// kind, of a project holding every element, effect and structure kind, and of a settings file
// holding every bag, compared with the bytes recorded in StoredForms.txt. Values are set apart from
// the defaults, so that a field written in another place or width shows. The record was made with
// the hand-written bag writers that came before the field maps; a change that means to change a
// stored form records it anew from StoredForms.actual.txt, which the test leaves beside the build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "elements/PageNumberTextPosition.h"
#include "elements/PageTemplateVariable.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPageNumberText.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintPageElementPictureText.h"
#include "elements/PrintWizardPictureEffectCollage.h"
#include "elements/PrintWizardPictureEffectColorize.h"
#include "elements/PrintWizardPictureEffectShadow.h"
#include "elements/PrintWizardPictureEffectSimpleBorder.h"
#include "framework/ExternalPlugins.h"
#include "framework/FieldWriter.h"
#include "framework/PropertiesList.h"
#include "nimbra-kit/KitStartup.h"
#include "render/PictureFormatWriter.h"
#include "render/PrintWizardPictureEngineProperties.h"
#include "render/RenderRegistration.h"
#include "slideshow/BitmapSlideShowObject.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/CompositeSlideShowObject.h"
#include "slideshow/DummySlideShowObject.h"
#include "slideshow/MusicProperties.h"
#include "slideshow/ParticleSlideShowObject.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "slideshow/SlideShowObjectList.h"
#include "slideshow/SlideShowProperties.h"
#include "slideshow/SoundSlideShowObject.h"
#include "slideshow/TextSlideShowObject.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/PageTemplateProject.h"
#include "templates/StructureElementBags.h"
#include "templates/StructureElementChoice.h"
#include "templates/StructureEvent.h"
#include "templates/StructureJump.h"

namespace nimbra {
namespace {

std::string Hex(const std::string& bytes) {
  static const char* const kDigits = "0123456789abcdef";
  std::string text;
  for (const unsigned char byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

// The described fields as one line: name=value;...
class TFieldLine : public TFieldWriter {
 public:
  std::string text;
  void Integer(std::string_view name, int64_t value) override { Add(name, std::to_string(value)); }
  void Number(std::string_view name, double value) override {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.17g", value);
    Add(name, digits);
  }
  void Boolean(std::string_view name, bool value) override { Add(name, value ? "true" : "false"); }
  void Text(std::string_view name, std::string_view value) override {
    Add(name, "\"" + Hex(std::string(value)) + "\"");
  }
  void Bytes(std::string_view name, std::string_view value) override {
    Add(name, "#" + Hex(std::string(value)));
  }
  void Color(std::string_view name, uint32_t argb) override {
    Add(name, "c" + std::to_string(argb));
  }

 private:
  void Add(std::string_view name, const std::string& value) {
    text += std::string(name) + "=" + value + ";";
  }
};

// A bag or an object kind.
template <typename T>
std::string Describe(const T& described) {
  TFieldLine line;
  described.DescribeFields(line);
  return line.text;
}

std::string BagBytes(const TProperties& bag) {
  TMemoryStream stream;
  EXPECT_TRUE(bag.SaveToStream(stream, kSlideShowFileType, kSlideShowFileVersion))
      << bag.ClassName();
  return stream.ToString();
}

std::string ObjectBytes(const TSlideShowObject& object) {
  TMemoryStream stream;
  EXPECT_TRUE(object.SaveToStream(stream)) << object.ClassName();
  return stream.ToString();
}

template <typename T>
std::vector<const TMetaClass*> RegisteredKinds() {
  std::vector<const TMetaClass*> kinds;
  for (const TMetaClass* meta : RegisteredClasses()) {
    if (meta->InheritsFrom(T::StaticClass()) && CreateAs<T>(*meta)) kinds.push_back(meta);
  }
  std::sort(kinds.begin(), kinds.end(), [](const TMetaClass* a, const TMetaClass* b) {
    return a->ClassName() < b->ClassName();
  });
  return kinds;
}

template <typename T>
std::unique_ptr<T> Create(const TMetaClass& meta) {
  std::unique_ptr<T> object = CreateAs<T>(meta);
  if (!object) throw std::logic_error("cannot create " + meta.ClassName());
  return object;
}

void SetBagFields(TProperties& bag);

// ---- values apart from the defaults, base class by base class ----

void SetSettingsFields(TProperties& bag) {
  if (auto* settings = dynamic_cast<TSlideShowProperties*>(&bag)) {
    settings->SetDefaultDisplayTime(7250);
    settings->SetPictureQuality(4);
    settings->SetCustomPictureFilter(5);
    settings->SetPreparationFilter(3);
    settings->SetEndAction(2);
    settings->SetEndFlag(false);
    settings->SetReserved1(11);
    settings->SetReserved2(12);
    settings->SetRandomOrder(true);
    settings->SetTransitionsOff(true);
    settings->SetSwitchedOffTransitions(
        {&TPrintPageElementRect::StaticClass(), &TPrintPageElementEllipse::StaticClass()});
    settings->SetPlayerClass(nullptr);
  }
  if (auto* music = dynamic_cast<TMusicProperties*>(&bag)) {
    music->SetMusicOn(false);
    music->SetFadeOutAtEnd(false);
    music->SetFadeOutDuration(2100);
    music->SetRepeatList(false);
    music->SetMusicVolume(201);
    music->SetFollowShow(true);
    music->SetDuckFadeTime(310);
    music->SetDuckVolume(41);
    music->SetPerObjectSoundLists(true);
    for (int i = 0; i < 2; ++i) {
      auto item = std::make_unique<TMusicPlayListItem>();
      item->SetFileName("C:\\Musik\\lied" + std::to_string(i) + ".mp3");
      item->SetItemVolume(200 + i);
      item->SetStartOffset(1 + i);
      item->SetEndOffset(2 + i);
      item->SetFadeIn(3 + i);
      item->SetFadeOut(4 + i);
      item->SetGapAfter(5 + i);
      item->SetPauseBefore(6 + i);
      item->SetFileLength(7000 + i);
      item->SetEnvelopeData(std::string("\x01\x00\x00\x00\x07", 5));
      item->SetTrailingData(i == 0 ? std::string() : std::string("\x09\x08", 2));
      music->PlayList().Add(std::move(item));
    }
  }
  if (auto* info = dynamic_cast<TSlideShowInfoProperties*>(&bag)) {
    info->SetAuthor("Anna \xc3\xa4");
    info->SetTitle("Sommer");
    info->SetDescription("Zwei\r\nZeilen");
    info->SetCopyright("(c)");
    info->SetExtraData(std::string("\x00\x01\x02", 3));
  }
  if (auto* packages = dynamic_cast<TExternalPluginProperties*>(&bag)) {
    packages->SetLines({"/opt/a.pkg\t1\t2", "/opt/b.pkg\t3\t4"});
  }
}

void SetEngineFields(TProperties& bag) {
  if (auto* engine = dynamic_cast<TRenderEngineProperties*>(&bag)) {
    engine->SetInsertBlankPages(true);
  }
  if (auto* pictures = dynamic_cast<TPrintWizardPictureEngineProperties*>(&bag)) {
    pictures->SetOutputDirectory("/tmp/seiten");
    pictures->SetFileNamePrefix("seite");
    pictures->SetWidth(12.5);
    pictures->SetHeight(8.25);
    pictures->SetSizeUnit(2);
    pictures->SetResolution(150);
    pictures->SetFormat(TJpegFormatWriter::StaticClass());
    if (auto* jpeg = dynamic_cast<TJpegFormatWriter*>(pictures->PictureFormat())) {
      jpeg->SetQuality(77);
    }
  }
}

void SetTemplateFields(TProperties& bag) {
  if (auto* page = dynamic_cast<TPageTemplateProperties*>(&bag)) {
    page->SetHeight(211);
    page->SetWidth(149);
    page->SetName("Seite");
    page->SetID(9);
    page->SetSide(kPageSideOdd);
  }
  if (auto* wizard = dynamic_cast<TPrintWizardPageTemplateProperties*>(&bag)) {
    wizard->SetPageWidth(14.8);
    wizard->SetPageHeight(10.5);
    wizard->SetResolution(300);
    wizard->SetBackColor(0xFF336699);
    wizard->SetReserved(true);
    wizard->SetBackgroundFile("C:\\Vorlagen\\papier.jpg");
    wizard->SetBackgroundMode(kBackgroundTiled);
    wizard->SetBackgroundWidth(3.5);
    wizard->SetBackgroundHeight(2.5);
    wizard->SetBackgroundAlpha(128);
  }
  if (auto* project = dynamic_cast<TPrintWizardPageTemplateProjectProperties*>(&bag)) {
    project->SetAuthor("Anna");
    project->SetTitle("Fotobuch");
    project->SetDescription("Zwei Seiten");
    project->SetExtra("x");
    if (TProperties* variables = project->Variables()) SetBagFields(*variables);
  }
  if (auto* variables = dynamic_cast<TPageTemplateVariableProperties*>(&bag)) {
    for (const TMetaClass* kind : RegisteredKinds<TPageTemplateVariable>()) {
      TPageTemplateVariable& variable =
          variables->Variables().Items(variables->Variables().AddVariable(*kind));
      SetBagFields(variable);
    }
  }
  if (auto* variable = dynamic_cast<TPageTemplateVariable*>(&bag)) {
    variable->SetVariableName("Ort");
    variable->SetComment("wo");
    variable->SetValueText(dynamic_cast<TPageTemplateDateVariable*>(variable) != nullptr
                               ? "24.12.2009"
                               : "Binz\r\nRügen");
  }
}

void SetStructureFields(TProperties& bag) {
  if (auto* page = dynamic_cast<TStructureElementPageProperties*>(&bag)) page->SetTemplateID(3);
  if (auto* event = dynamic_cast<TPageTemplateStructureElementEventProperties*>(&bag)) {
    auto chapterEnd = std::make_unique<TStructureEventOnChapterEnd>();
    SetBagFields(chapterEnd->Properties());
    event->SetEvent(std::move(chapterEnd));
  }
  if (auto* jump = dynamic_cast<TStructureElementJumpProperties*>(&bag)) {
    auto toMark = std::make_unique<TStructureJumpToJumpMark>();
    SetBagFields(toMark->Properties());
    jump->SetJump(std::move(toMark));
  }
  if (auto* mark = dynamic_cast<TStructureElementJumpMarkProperties*>(&bag)) mark->SetName("A");
  if (auto* loop = dynamic_cast<TStructureElementLoopProperties*>(&bag)) {
    auto chapterEnd = std::make_unique<TStructureEventOnChapterEnd>();
    SetBagFields(chapterEnd->Properties());
    loop->SetEvent(std::move(chapterEnd));
    loop->SetMode(kLoopChecksBeforeAndAfter);
  }
  if (auto* chapterEnd = dynamic_cast<TStructureEventOnChapterEndProperties*>(&bag)) {
    chapterEnd->SetMode(kChapterEndFromJumpMark);
    chapterEnd->SetJumpMarkName("Kapitel");
  }
  if (auto* toMark = dynamic_cast<TStructureJumpToJumpMarkProperties*>(&bag)) {
    toMark->SetJumpMarkName("Anfang");
  }
  if (auto* choice = dynamic_cast<TStructureElementChoiceProperties*>(&bag)) {
    choice->SetOrientations({kChoicePortraitPhoto, kChoiceAnyPhoto, kChoiceLandscapePhoto});
  }
}

void SetElementFields(TProperties& bag) {
  if (auto* visible = dynamic_cast<TVisiblePageElementProperties*>(&bag)) {
    visible->SetBounds({0.125, 0.25, 0.625, 0.875});
  }
  if (auto* text = dynamic_cast<TPrintPageElementTextProperties*>(&bag)) {
    text->SetText("Hallo ÄÖÜ");
    text->SetFont({0x00112233, "Liberation Serif", 14, kFontStyleBold | kFontStyleItalic});
  }
  if (auto* aligned = dynamic_cast<TPrintPageElementAlignedTextProperties*>(&bag)) {
    aligned->SetHorzAlignment(kAlignRight);
    aligned->SetVertAlignment(kAlignBottom);
  }
  if (auto* pictureText = dynamic_cast<TPrintPageElementPictureTextProperties*>(&bag)) {
    pictureText->SetPictureNumber(4);
  }
  if (auto* pageNumber = dynamic_cast<TPrintPageElementPageNumberTextProperties*>(&bag)) {
    pageNumber->SetPosition(std::make_unique<TPrintPageElementPageNumberTextPositionJumping>());
  }
  if (auto* picture = dynamic_cast<TPrintPageElementPictureProperties*>(&bag)) {
    picture->SetUseSlideShowPicture(false);
    picture->SetFileName("C:\\Bilder\\fest.jpg");
    picture->SetKeepAspectRatio(false);
    picture->SetSecondFlag(false);
    picture->SetTakesNextObject(false);
    picture->SetRotationAngle(12.5);
    picture->SetTransparency(30);
    picture->SetRandomRotation(true);
    picture->SetAutoRotate(true);
    picture->SetFitMode(2);
    picture->Effects().SetListName("Effekte");
    for (const TMetaClass* kind : RegisteredKinds<TPrintWizardPictureEffect>()) {
      std::unique_ptr<TPrintWizardPictureEffect> effect = Create<TPrintWizardPictureEffect>(*kind);
      if (TProperties* own = effect->Properties()) SetBagFields(*own);
      picture->Effects().Add(std::unique_ptr<TObject>(effect.release()));
    }
  }
  if (auto* shape = dynamic_cast<TPrintPageElementGeometricProperties*>(&bag)) {
    shape->SetBorderColor(0x80112233);
    shape->SetFillColor(0x40445566);
    shape->SetBorderWidth(7);
    shape->SetDrawFlags(kDrawBorder);
  }
  if (auto* ellipse = dynamic_cast<TPrintPageElementEllipseProperties*>(&bag)) {
    ellipse->SetCircle(true);
  }
}

void SetEffectFields(TProperties& bag) {
  if (auto* shadow = dynamic_cast<TPrintWizardPictureEffectShadowProperties*>(&bag)) {
    shadow->SetAngle(33);
    shadow->SetDistance(0.75);
    shadow->SetBlur(0.25);
    shadow->SetTransparency(99);
  }
  if (auto* border = dynamic_cast<TPrintWizardPictureEffectSimpleBorderProperties*>(&bag)) {
    border->SetBorderWidth(0.5);
    border->SetTransparency(12);
    border->SetColor1(0xFF010203);
    border->SetColor2(0xFF040506);
    border->SetStyle(2);
    border->SetPatternCount(5);
    border->SetIndividualSides(true);
    border->SetLeftWidth(0.1);
    border->SetTopWidth(0.2);
    border->SetRightWidth(0.3);
    border->SetBottomWidth(0.4);
  }
  if (auto* colorize = dynamic_cast<TPrintWizardPictureEffectColorizeProperties*>(&bag)) {
    colorize->SetReplaceColor(true);
    colorize->SetHue(120);
    colorize->SetSaturation(60);
  }
  if (auto* collage = dynamic_cast<TPrintWizardPictureEffectCollageProperties*>(&bag)) {
    collage->SetFollowPicture(false);
    for (int32_t i = 0; i < collage->Pictures().Count(); ++i) {
      TCollagePic& picture = collage->Pictures().Items(i);
      picture.SetBounds({0.1 * i, 0.2, 0.3, 0.4});
      picture.SetPlacement(2);
      picture.SetWidth(5.5);
      picture.SetHeight(4.5);
      picture.SetOffsetX(0.5);
      picture.SetOffsetY(-0.5);
      picture.SetFromResource(true);
      picture.SetFileNames("a.jpg\r\nb.jpg");
      picture.SetKeepAspectRatio(false);
      picture.SetScaleWithPicture(true);
      picture.SetAngle(15);
      picture.SetCenterX(3);
      picture.SetCenterY(4);
      picture.SetAngleRange(9);
      picture.SetReserved(0, 1.5);
      picture.SetReservedFlag(true);
    }
  }
}

void SetBagFields(TProperties& bag) {
  SetSettingsFields(bag);
  SetEngineFields(bag);
  SetTemplateFields(bag);
  SetStructureFields(bag);
  SetElementFields(bag);
  SetEffectFields(bag);
}

void SetObjectFields(TSlideShowObject& object) {
  object.SetActive(false);
  if (auto* playable = dynamic_cast<TPlayableSlideShowObject*>(&object)) {
    playable->SetDuration(4321);
    playable->SetStartTime(12);
    playable->SetStartDelay(34);
    playable->SetKeywords("Strand;Meer");
  }
  if (auto* text = dynamic_cast<IText*>(&object)) text->SetText("Text ÄÖ");
  if (auto* bitmap = dynamic_cast<TBaseBitmapSlideShowObject*>(&object)) {
    bitmap->SetKeepAspectRatio(false);
    bitmap->SetAlignment(3);
    bitmap->SetPlacementRect({0.1, 0.2, 0.9, 0.8});
    bitmap->SetScaleToRect(false);
    bitmap->SetFillBackground(false);
    bitmap->SetBackgroundColor(0xFF102030);
    bitmap->SetCombineMode(2);
  }
  if (auto* ext = dynamic_cast<TBaseExtBitmapSlideShowObject*>(&object)) {
    ext->SetCurveData(TCurveKind::Zoom, std::string("\x01\x00\x00\x00\x05", 5));
    ext->SetTransitionData(std::string("\x02\x03", 2));
  }
  if (auto* text = dynamic_cast<TSimpleTextSlideShowObject*>(&object)) {
    TTextFormat format;
    format.Font = {0x00445566, "Liberation Sans", 22, kFontStyleUnderline};
    format.TextColor = 0xFF00FF00;
    format.Style = 1;
    format.Alignment = 2;
    format.Smooth = false;
    format.Position = 0;
    format.FreeRect = {0.1, 0.1, 0.9, 0.3};
    text->SetFormat(format);
  }
  if (auto* text = dynamic_cast<TTextSlideShowObject*>(&object)) {
    text->SetCurveData(TCurveKind::Opacity, std::string("\x01\x00\x00\x00\x06", 5));
    text->SetEffectData(std::string("\x04", 1));
  }
  if (auto* sound = dynamic_cast<TSoundSlideShowObject*>(&object)) {
    sound->SetFileName("C:\\Musik\\ton.wav");
    sound->SetSoundLength(9000);
    sound->SetDurationFollowsSound(false);
    sound->SetLowerMusic(true);
    sound->SetVolume(180);
    sound->SetEndMode(2);
    sound->SetFadeOutTime(700);
    sound->SetStartPosition(800);
    sound->SetVolumeCurveData(std::string("\x01\x00\x00\x00", 4));
  }
  if (auto* composite = dynamic_cast<TPicTextSoundCompositeSlideShowObject*>(&object)) {
    composite->SetTransitionData(std::string("\x05\x06", 2));
    composite->SetShowText(false);
    composite->SetSoundFileName("C:\\Musik\\dazu.wav");
    composite->SetSoundLength(5000);
    composite->SetDurationFollowsSound(false);
    composite->SetLowerMusic(true);
    composite->SetVolume(170);
    composite->SetEndMode(1);
    composite->SetFadeOutTime(600);
  }
  if (auto* particles = dynamic_cast<TParticleSlideShowObject*>(&object)) {
    particles->SetPictureFileNames("a.png\r\nb.png");
    particles->SetParticleCount(33);
    particles->SetDirection(1.5f);
    particles->SetSpeed(2.5f);
    particles->SetReserved(0.5f);
    particles->SetParticleSize(3.5f);
    particles->SetWobble(1);
    particles->SetWobbleAmplitude(4.5f);
    particles->SetWobbleFrequency(5.5f);
  }
  if (auto* container = dynamic_cast<TContainerSlideShowObject*>(&object)) {
    container->SetChapterText("Kapitel 1");
  }
  if (auto* collection = AsCollection(&object)) {
    auto child = std::make_unique<TDummySlideShowObject>();
    child->SetText("innen");
    collection->CreateChildren().Add(std::move(child));
  }
}

// ---- what is recorded ----

class StoredFormsTest : public ::testing::Test {
 protected:
  // The picture engine's bag stores its picture format by class name.
  StoredFormsTest() { RenderStartup(); }
  ~StoredFormsTest() override { RenderShutdown(); }

  kit::TKitSession session_;
  std::map<std::string, std::string> actual_;

  void Record(const std::string& key, const std::string& value) { actual_[key] = value; }

  // Every bag class the kit can create: registered bags, the bags of registered elements,
  // effects, events, jumps and structure elements, and the engines' and templates' bags.
  std::vector<const TMetaClass*> BagClasses() {
    std::map<std::string, const TMetaClass*> bags;
    const auto add = [&bags](const TMetaClass& meta) { bags[meta.ClassName()] = &meta; };
    for (const TMetaClass* meta : RegisteredKinds<TProperties>()) add(*meta);
    for (const TMetaClass* meta : RegisteredKinds<TPageElement>()) {
      add(Create<TPageElement>(*meta)->Properties().ClassType());
    }
    for (const TMetaClass* meta : RegisteredKinds<TPrintWizardPictureEffect>()) {
      const std::unique_ptr<TPrintWizardPictureEffect> effect =
          Create<TPrintWizardPictureEffect>(*meta);
      if (const TProperties* own = effect->Properties()) add(own->ClassType());
    }
    for (const TMetaClass* meta : RegisteredKinds<TStructureEvent>()) {
      add(Create<TStructureEvent>(*meta)->Properties().ClassType());
    }
    for (const TMetaClass* meta : RegisteredKinds<TStructureJump>()) {
      add(Create<TStructureJump>(*meta)->Properties().ClassType());
    }
    for (const TMetaClass* meta : RegisteredKinds<TPageTemplateStructureElement>()) {
      add(Create<TPageTemplateStructureElement>(*meta)->Properties().ClassType());
    }
    // Bags no registry lists: the render engines' and the page templates'.
    for (const TMetaClass* meta : {&TRenderEngineProperties::StaticClass(),
                                   &TPrintWizardPictureEngineProperties::StaticClass(),
                                   &TPageTemplateProperties::StaticClass(),
                                   &TPrintWizardPageTemplateProperties::StaticClass()}) {
      add(*meta);
    }
    std::vector<const TMetaClass*> classes;
    for (const auto& entry : bags) classes.push_back(entry.second);
    return classes;
  }

  void RecordBags() {
    for (const TMetaClass* meta : BagClasses()) {
      const std::string name = meta->ClassName();
      std::unique_ptr<TProperties> bag = CreateProperties(*meta);
      ASSERT_TRUE(bag) << name;
      const std::string defaults = BagBytes(*bag);
      SetBagFields(*bag);
      const std::string bytes = BagBytes(*bag);
      // A class whose setters were missed here would pass with its defaults only.
      EXPECT_TRUE(defaults.empty() || bytes != defaults) << name << " kept its defaults";
      Record("bag " + name, Hex(bytes));
      Record("fields " + name, Describe(*bag));
      // Read back, the bag writes and describes the same again.
      std::unique_ptr<TProperties> copy = CreateProperties(*meta);
      TMemoryStream stream(bytes);
      EXPECT_TRUE(copy->LoadFromStream(stream, kSlideShowFileType, kSlideShowFileVersion)) << name;
      EXPECT_EQ(Hex(BagBytes(*copy)), Hex(bytes)) << name;
      EXPECT_EQ(Describe(*copy), Describe(*bag)) << name;
    }
  }

  void RecordObjectsAndDocument() {
    TSlideShow document;
    SetBagFields(document.SlideShowProperties());
    SetBagFields(document.MusicProperties());
    SetBagFields(document.SlideShowInfoProperties());
    for (const TMetaClass* meta : RegisteredKinds<TSlideShowObject>()) {
      std::unique_ptr<TSlideShowObject> object = Create<TSlideShowObject>(*meta);
      SetObjectFields(*object);
      const std::string bytes = ObjectBytes(*object);
      Record("object " + meta->ClassName(), Hex(bytes));
      Record("fields " + meta->ClassName(), Describe(*object));
      std::unique_ptr<TSlideShowObject> copy = Create<TSlideShowObject>(*meta);
      TMemoryStream stream(bytes);
      EXPECT_TRUE(copy->LoadFromStream(stream)) << meta->ClassName();
      EXPECT_EQ(Hex(ObjectBytes(*copy)), Hex(bytes)) << meta->ClassName();
      EXPECT_EQ(Describe(*copy), Describe(*object)) << meta->ClassName();
      document.RootList().Add(std::move(object));
    }
    TMemoryStream stream;
    ASSERT_TRUE(document.SaveToStream(stream));
    Record("document", Hex(stream.ToString()));
    TSlideShow copy;
    stream.SetPosition(0);
    EXPECT_EQ(copy.LoadFromStream(stream), TSlideShowLoad::Loaded);
    TMemoryStream again;
    ASSERT_TRUE(copy.SaveToStream(again));
    EXPECT_EQ(Hex(again.ToString()), Hex(stream.ToString()));
  }

  void RecordProject() {
    TPrintWizardPageTemplateProject project;
    SetBagFields(*project.ProjectProperties());
    TPageTemplate& first = *project.FirstTemplate();
    SetBagFields(first.Properties());
    for (const TMetaClass* meta : RegisteredKinds<TPageElement>()) {
      std::unique_ptr<TPageElement> element = Create<TPageElement>(*meta);
      SetBagFields(element->Properties());
      first.Elements().Add(std::unique_ptr<TObject>(element.release()));
    }
    for (const TMetaClass* meta : RegisteredKinds<TPageTemplateStructureElement>()) {
      std::unique_ptr<TPageTemplateStructureElement> element =
          Create<TPageTemplateStructureElement>(*meta);
      SetBagFields(element->Properties());
      project.Structure().GetItems()->Add(HandOverToRef<ITreeItem>(std::move(element)));
    }
    TMemoryStream stream;
    ASSERT_TRUE(project.SaveToStream(stream));
    Record("project", Hex(stream.ToString()));
    TPrintWizardPageTemplateProject copy;
    stream.SetPosition(0);
    EXPECT_TRUE(copy.LoadFromStream(stream));
    TMemoryStream again;
    ASSERT_TRUE(copy.SaveToStream(again));
    EXPECT_EQ(Hex(again.ToString()), Hex(stream.ToString()));
  }

  void RecordSettingsFile() {
    TPropertiesList list;
    for (const TMetaClass* meta : BagClasses()) {
      TProperties* bag = list.AddNew(*meta, *meta, "Einstellungen");
      ASSERT_NE(bag, nullptr);
      SetBagFields(*bag);
    }
    TMemoryStream stream;
    {
      TCSFStreamWinTypes file(stream, CSFMode::Create);
      file.SetFileType(kPropertiesListFileType);
      file.SetFileVersion(kPropertiesListFileVersion);
      EXPECT_TRUE(list.WriteToStream(file));
      file.Release();
    }
    Record("settings", Hex(stream.ToString()));
  }
};

std::map<std::string, std::string> ReadRecord(const std::string& fileName) {
  std::map<std::string, std::string> record;
  std::ifstream file(fileName);
  std::string line;
  while (std::getline(file, line)) {
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) record[line.substr(0, tab)] = line.substr(tab + 1);
  }
  return record;
}

TEST_F(StoredFormsTest, EveryKindWritesTheRecordedBytesAndReadsThemBack) {
  RecordBags();
  RecordObjectsAndDocument();
  RecordProject();
  RecordSettingsFile();

  const std::map<std::string, std::string> expected =
      ReadRecord(std::string(NIMBRA_SOURCE_DIR) + "/tests/tools/StoredForms.txt");
  std::ofstream actualFile("StoredForms.actual.txt");
  for (const auto& [key, value] : actual_) actualFile << key << '\t' << value << '\n';
  ASSERT_FALSE(expected.empty()) << "no recorded stored forms";
  for (const auto& [key, value] : expected) {
    const auto found = actual_.find(key);
    ASSERT_NE(found, actual_.end()) << key << " is no longer written";
    EXPECT_EQ(found->second, value) << key;
  }
  for (const auto& entry : actual_) {
    EXPECT_EQ(expected.count(entry.first), 1u) << entry.first << " is not recorded";
  }
}

}  // namespace
}  // namespace nimbra
