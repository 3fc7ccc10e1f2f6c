// nimbra-kit inspect of slideshow documents and template projects. The documents are written with
// the project's own classes; slideshow kinds are made through the class registry, as a reading
// document makes them (their headers cannot share a unit with the template headers).
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "KitRunner.h"
#include "TempFolder.h"
#include "elements/PageTemplateVariable.h"
#include "elements/PrintPageElementGeometric.h"
#include "elements/PrintPageElementPicture.h"
#include "elements/PrintWizardPictureEffectShadow.h"
#include "elements/PrintPageElementUserText.h"
#include "framework/FieldWriter.h"
#include "nimbra-kit/KitStartup.h"
#include "slideshow/MusicProperties.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "slideshow/SlideShowProperties.h"
#include "templates/PageTemplateProject.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/FileStream.h"
#include "templates/StructureElements.h"

namespace nimbra {
namespace {

using nlohmann::json;
using test::KitResult;
using test::RunKitCommand;
using test::TempFolder;

// ---- the slideshow document ----

std::unique_ptr<TSlideShowObject> MakeObject(const std::string& className) {
  const TMetaClass* meta = GetClass(className);
  if (meta == nullptr) throw std::logic_error(className + " is not registered");
  std::unique_ptr<TSlideShowObject> object = CreateAs<TSlideShowObject>(*meta);
  if (!object) throw std::logic_error(className + " is no slideshow object");
  return object;
}

std::unique_ptr<TSlideShowObject> MakePicture(const std::string& fileName,
                                              const std::string& keywords = {}) {
  std::unique_ptr<TSlideShowObject> picture = MakeObject("TExtPicSlideShowObject");
  Supports<IFileReferences>(picture.get())->SetFileName(fileName);
  Supports<IKeywords>(picture.get())->SetKeywords(keywords);
  return picture;
}

std::unique_ptr<TSlideShowObject> MakeTextual(const std::string& className,
                                              const std::string& text) {
  std::unique_ptr<TSlideShowObject> object = MakeObject(className);
  Supports<IText>(object.get())->SetText(text);
  return object;
}

void FillBags(TSlideShow& document) {
  TSlideShowProperties& settings = document.SlideShowProperties();
  settings.SetDefaultDisplayTime(4000);
  settings.SetPictureQuality(2);
  settings.SetRandomOrder(true);
  settings.SetTransitionsOff(true);
  TSlideShowInfoProperties& info = document.SlideShowInfoProperties();
  info.SetTitle("Sommer");
  info.SetAuthor("Anna Weiß");
  info.SetDescription("Zwei Wochen\r\nam Meer");
  info.SetCopyright("© 2026");
  TMusicProperties& music = document.MusicProperties();
  music.SetMusicOn(false);
  music.SetMusicVolume(200);
  music.SetFadeOutDuration(1500);
  for (const char* fileName : {"C:\\Musik\\eins.mp3", "zwei.ogg"}) {
    auto item = std::make_unique<TMusicPlayListItem>();
    item->SetFileName(fileName);
    music.PlayList().Add(std::move(item));
  }
  music.PlayList().Items(0).SetItemVolume(128);
  music.PlayList().Items(0).SetGapAfter(500);
  music.PlayList().Items(0).SetFileLength(183000);
}

// A chapter with two pictures, a text, an inactive placeholder and an empty chapter, with the
// marker; written inside a session of its own so that the kinds are registered.
std::string WriteDocument(const TempFolder& folder) {
  const std::string path = folder.File("show.kvt");
  kit::TKitSession session;
  TSlideShow document;
  FillBags(document);
  std::unique_ptr<TSlideShowObject> chapter = MakeTextual("TContainerSlideShowObject", "Urlaub");
  TSlideShowObjectList& pictures = AsCollection(chapter.get())->CreateChildren();
  pictures.Add(MakePicture("C:\\Bilder\\strand.jpg", "Meer; Sand"));
  pictures.Items(0)->SetDuration(3000);
  pictures.Add(MakePicture("berg.jpg"));
  document.RootList().Add(std::move(chapter));
  document.RootList().Add(MakeTextual("TTextSlideShowObject", "Hallo \"Welt\""));
  std::unique_ptr<TSlideShowObject> pause = MakeTextual("TDummySlideShowObject", "Pause");
  pause->SetDuration(2000);
  pause->SetActive(false);
  document.RootList().Add(std::move(pause));
  std::unique_ptr<TSlideShowObject> empty = MakeTextual("TContainerSlideShowObject", "Leer");
  AsCollection(empty.get())->CreateChildren();
  document.RootList().Add(std::move(empty));
  document.SetMarker(true);
  EXPECT_TRUE(document.SaveToFile(path));
  return path;
}

// The root list as the document above holds it: the chapter lasts its active children's time, the
// default display time stands in where an object has none of its own.
const json& ExpectedObjects() {
  static const json objects = json::parse(R"([
    {"class": "TContainerSlideShowObject", "path": "1", "index": 0, "active": true,
     "duration": 7000, "text": "Urlaub", "keywords": "", "children": [
       {"class": "TExtPicSlideShowObject", "path": "1.1", "index": 0, "active": true,
        "duration": 3000, "fileName": "C:\\Bilder\\strand.jpg", "keywords": "Meer; Sand"},
       {"class": "TExtPicSlideShowObject", "path": "1.2", "index": 1, "active": true,
        "duration": 4000, "fileName": "berg.jpg", "keywords": ""}]},
    {"class": "TTextSlideShowObject", "path": "2", "index": 1, "active": true,
     "duration": 4000, "text": "Hallo \"Welt\"", "keywords": ""},
    {"class": "TDummySlideShowObject", "path": "3", "index": 2, "active": false,
     "duration": 2000, "text": "Pause", "keywords": ""},
    {"class": "TContainerSlideShowObject", "path": "4", "index": 3, "active": true,
     "duration": 0, "text": "Leer", "keywords": "", "children": []}])");
  return objects;
}

json InspectJson(const std::vector<std::string>& args) {
  const KitResult result = RunKitCommand(args);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  return json::parse(result.out);
}

TEST(KitInspectDocumentTest, SlideShowShowsHeaderBagsAndObjectTree) {
  TempFolder folder;
  const json document = InspectJson({"inspect", WriteDocument(folder), "--json"});
  EXPECT_EQ(document["fileType"], 1281);
  EXPECT_EQ(document["fileVersion"], 773);
  EXPECT_EQ(document["result"], 3);
  EXPECT_EQ(document["marker"], true);
  const json& settings = document["settings"];
  EXPECT_EQ(settings["defaultDisplayTime"], 4000);
  EXPECT_EQ(settings["pictureQuality"], 2);
  EXPECT_EQ(settings["randomOrder"], true);
  EXPECT_EQ(settings["transitionsOff"], true);
  EXPECT_EQ(settings["endFlag"], true);
  EXPECT_EQ(document["info"], json::parse(R"({"title": "Sommer", "author": "Anna Weiß",
      "description": "Zwei Wochen\r\nam Meer", "copyright": "© 2026"})"));
  EXPECT_EQ(document["music"], json::parse(R"({"musicOn": false, "musicVolume": 200,
      "fadeOutDuration": 1500, "playList": [
        {"fileName": "C:\\Musik\\eins.mp3", "itemVolume": 128, "gapAfter": 500,
         "fileLength": 183000},
        {"fileName": "zwei.ogg", "itemVolume": 255, "gapAfter": 1000, "fileLength": -2}]})"));
  EXPECT_EQ(document["objects"], ExpectedObjects());
}

TEST(KitInspectDocumentTest, SlideShowOutlineIsATreeOfClassesAndPaths) {
  TempFolder folder;
  const KitResult result = RunKitCommand({"inspect", WriteDocument(folder)});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.rfind("slideshow document: file type 1281, version 773\n"
                             "result: 3 (read, with the marker)\n",
                             0),
            0u)
      << result.out;
  EXPECT_NE(result.out.find("  title: Sommer\n"), std::string::npos) << result.out;
  const size_t objects = result.out.find("objects:\n");
  ASSERT_NE(objects, std::string::npos) << result.out;
  EXPECT_EQ(result.out.substr(objects),
            "objects:\n"
            "  1 TContainerSlideShowObject, 7000 ms, text: \"Urlaub\", 2 objects\n"
            "    1.1 TExtPicSlideShowObject, 3000 ms, file: \"C:\\Bilder\\strand.jpg\", "
            "keywords: \"Meer; Sand\"\n"
            "    1.2 TExtPicSlideShowObject, 4000 ms, file: \"berg.jpg\"\n"
            "  2 TTextSlideShowObject, 4000 ms, text: \"Hallo \\\"Welt\\\"\"\n"
            "  3 TDummySlideShowObject, 2000 ms, inactive, text: \"Pause\"\n"
            "  4 TContainerSlideShowObject, 0 ms, text: \"Leer\", no objects\n");
}

TEST(KitInspectDocumentTest, SlideShowOpensInsideAPackage) {
  TempFolder folder;
  WriteDocument(folder);
  const KitResult packed =
      RunKitCommand({"pack", "-o", folder.File("album.pkg"), folder.File("show.kvt")});
  ASSERT_EQ(packed.exitCode, 0) << packed.err;
  const json document =
      InspectJson({"inspect", "|show.kvt", "--package", folder.File("album.pkg"), "--json"});
  EXPECT_EQ(document["result"], 3);
  EXPECT_EQ(document["objects"], ExpectedObjects());
  EXPECT_EQ(RunKitCommand({"inspect", "|show.kvt", "--json"}).exitCode, 1);
}

TEST(KitInspectDocumentTest, TruncatedSlideShowShowsWhatWasReadWithItsCode) {
  TempFolder folder;
  const std::string whole = TempFolder::Read(WriteDocument(folder));
  // Cut inside the chunk header of the last root object (the empty chapter): everything before
  // it is whole.
  const std::string lastObject("CHNK\x01\x04\x00\x00", 8);
  const size_t cut = whole.rfind(lastObject);
  ASSERT_NE(cut, std::string::npos);
  const std::string path = folder.Write("cut.kvt", whole.substr(0, cut + 6));

  const json document = InspectJson({"inspect", path, "--json"});
  EXPECT_EQ(document["result"], 1);
  EXPECT_EQ(document["marker"], true);
  EXPECT_EQ(document["settings"]["defaultDisplayTime"], 4000);
  json expected = ExpectedObjects();
  expected.erase(3);
  EXPECT_EQ(document["objects"], expected);

  const KitResult outline = RunKitCommand({"inspect", path});
  EXPECT_EQ(outline.exitCode, 0) << outline.err;
  EXPECT_NE(outline.out.find("result: 1 (not readable to the end; what was read is shown)\n"),
            std::string::npos)
      << outline.out;
}

TEST(KitInspectDocumentTest, FileThatIsNoChunkedStreamFailsWithOneLine) {
  TempFolder folder;
  const KitResult result =
      RunKitCommand({"inspect", folder.Write("show.kvt", std::string(100, 'x')), "--json"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(result.out.empty()) << result.out;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_NE(result.err.find("Keine CSF-Datei!"), std::string::npos) << result.err;
}

// ---- the template project ----

TPrintPageElementPicture& AddPicture(TPageTemplate& pageTemplate, const TDoubleRect& bounds) {
  auto picture = std::make_unique<TPrintPageElementPicture>();
  picture->SetBounds(bounds);
  TPrintPageElementPicture& added = *picture;
  pageTemplate.Elements().Add(std::move(picture));
  return added;
}

void AddVariable(TPrintWizardPageTemplateProject& project, const TMetaClass& variableClass,
                 const std::string& name, const std::string& value) {
  auto* bag = dynamic_cast<TPageTemplateVariableProperties*>(project.ProjectProperties()->Variables());
  ASSERT_NE(bag, nullptr);
  TPageTemplateVariable& variable = bag->Variables().Items(bag->Variables().AddVariable(variableClass));
  variable.SetVariableName(name);
  ASSERT_TRUE(variable.SetValueText(value));
}

// Two templates: a title page with a text and a picture that shows a fixed file, and a page of
// two pictures and a rectangle; the structure shows the title, then repeats the picture page until
// the slideshow ends.
std::string WriteProject(const TempFolder& folder) {
  const std::string path = folder.File("album.pwt");
  kit::TKitSession session;
  TPrintWizardPageTemplateProject project;
  TPrintWizardPageTemplateProjectProperties& bag = *project.ProjectProperties();
  bag.SetTitle("Fotobuch");
  bag.SetAuthor("Anna");
  bag.SetDescription("Zwei Seiten");
  AddVariable(project, TPageTemplateStringVariable::StaticClass(), "Ort", "Binz");
  AddVariable(project, TPageTemplateTextVariable::StaticClass(), "Gruss", "Hallo\r\nihr");

  auto& title = static_cast<TPrintWizardPageTemplate&>(*project.FirstTemplate());
  title.Properties().SetName("Titel");
  title.WizardProperties().SetBackColor(0xFF336699);
  title.WizardProperties().SetBackgroundFile("C:\\Vorlagen\\papier.jpg");
  auto text = std::make_unique<TPrintPageElementUserText>();
  text->SetBounds({0.125, 0.0625, 0.875, 0.25});
  title.Elements().Add(std::move(text));
  AddPicture(title, {0.25, 0.375, 0.75, 0.875}).PictureProperties().SetUseSlideShowPicture(false);

  auto second = std::make_unique<TPrintWizardPageTemplate>();
  TPrintWizardPageTemplate& pictures = *second;
  project.Templates().Add(std::unique_ptr<TObject>(second.release()));
  pictures.Properties().SetName("Bilder");
  pictures.WizardProperties().SetPageWidth(14.8);
  pictures.WizardProperties().SetPageHeight(10.5);
  AddPicture(pictures, {0, 0, 0.5, 1})
      .PictureProperties()
      .Effects()
      .Add(std::make_unique<TPrintWizardPictureEffectShadow>());
  AddPicture(pictures, {0.5, 0, 1, 1});
  auto frame = std::make_unique<TPrintPageElementRect>();
  frame->SetBounds({0, 0, 1, 1});
  pictures.Elements().Add(std::move(frame));

  auto titlePage = std::make_unique<TPageTemplateStructureElementPage>();
  titlePage->SetTemplate(&title);
  project.Structure().GetItems()->Add(HandOverToRef<ITreeItem>(std::move(titlePage)));
  auto loop = std::make_unique<TSlideShowPageTemplateStructureElementLoop>();
  loop->LoopProperties().SetEvent(std::make_unique<TStructureEventOnListEnd>());
  const TRef<ITreeItem> loopItem = HandOverToRef<ITreeItem>(std::move(loop));
  project.Structure().GetItems()->Add(loopItem);
  auto picturePage = std::make_unique<TPageTemplateStructureElementPage>();
  picturePage->SetTemplate(&pictures);
  loopItem->NeedChildren()->Add(HandOverToRef<ITreeItem>(std::move(picturePage)));
  EXPECT_TRUE(project.SaveToFile(path));
  return path;
}

TEST(KitInspectDocumentTest, ProjectShowsTemplatesElementsAndStructure) {
  TempFolder folder;
  const json project = InspectJson({"inspect", WriteProject(folder), "--json"});
  const json expected = json::parse(R"({
    "fileType": 1289, "fileVersion": 256, "loaded": true,
    "project": {"title": "Fotobuch", "author": "Anna", "description": "Zwei Seiten",
                "variables": [{"name": "Ort", "value": "Binz"},
                              {"name": "Gruss", "value": "Hallo\r\nihr"}]},
    "templates": [
      {"id": 1, "name": "Titel", "class": "TPrintWizardPageTemplate", "widthCm": 21.0,
       "heightCm": 29.7, "backgroundColor": "#FF336699",
       "backgroundPicture": "C:\\Vorlagen\\papier.jpg", "elements": [
         {"class": "TPrintPageElementUserText", "rect": [0.125, 0.0625, 0.875, 0.25],
          "takesObject": false},
         {"class": "TPrintPageElementPicture", "rect": [0.25, 0.375, 0.75, 0.875],
          "takesObject": false, "effects": []}]},
      {"id": 2, "name": "Bilder", "class": "TPrintWizardPageTemplate", "widthCm": 14.8,
       "heightCm": 10.5, "backgroundColor": "#FFFFFFFF", "backgroundPicture": "", "elements": [
         {"class": "TPrintPageElementPicture", "rect": [0, 0, 0.5, 1], "takesObject": true,
          "effects": [{"class": "TPrintWizardPictureEffectShadow", "fields":
            {"angle": 45.0, "distance": 0.2, "blur": 0.1, "transparency": 76}}]},
         {"class": "TPrintPageElementPicture", "rect": [0.5, 0, 1, 1], "takesObject": true,
          "effects": []},
         {"class": "TPrintPageElementRect", "rect": [0, 0, 1, 1], "takesObject": false}]}],
    "structure": [
      {"class": "TPageTemplateStructureElementPage", "templateId": 1, "children": []},
      {"class": "TSlideShowPageTemplateStructureElementLoop", "children": [
        {"class": "TPageTemplateStructureElementPage", "templateId": 2, "children": []}]}]})");
  EXPECT_EQ(project, expected);

  const KitResult outline = RunKitCommand({"inspect", folder.File("album.pwt")});
  ASSERT_EQ(outline.exitCode, 0) << outline.err;
  for (const char* line :
       {"    Gruss = \"Hallo\\r\\nihr\"\n",
        "  1 \"Titel\" TPrintWizardPageTemplate, 21.0 x 29.7 cm, background #FF336699, picture: "
        "\"C:\\Vorlagen\\papier.jpg\"\n",
        "    TPrintPageElementPicture [0.5, 0.0, 1.0, 1.0], takes an object\n",
        "      effect TPrintWizardPictureEffectShadow: angle 45.0, distance 0.2, blur 0.1, "
        "transparency 76\n",
        "structure:\n"
        "  TPageTemplateStructureElementPage, template 1\n"
        "  TSlideShowPageTemplateStructureElementLoop\n"
        "    TPageTemplateStructureElementPage, template 2\n"}) {
    EXPECT_NE(outline.out.find(line), std::string::npos) << line << "\n---\n" << outline.out;
  }
}

// ---- the document-wide bags on their own ----

// Collects a bag's described fields as text.
class TFieldList : public TFieldWriter {
 public:
  std::string text;
  void Integer(std::string_view name, int64_t value) override { Add(name, std::to_string(value)); }
  void Number(std::string_view name, double value) override { Add(name, std::to_string(value)); }
  void Boolean(std::string_view name, bool value) override { Add(name, value ? "true" : "false"); }
  void Text(std::string_view name, std::string_view value) override { Add(name, value); }
  void Bytes(std::string_view name, std::string_view value) override {
    Add(name, std::to_string(value.size()) + " bytes");
  }
  void Color(std::string_view name, uint32_t argb) override { Add(name, std::to_string(argb)); }

 private:
  void Add(std::string_view name, std::string_view value) {
    text += std::string(name) + "=" + std::string(value) + ";";
  }
};

TEST(KitInspectDocumentTest, DocumentBagsDescribeTheirFieldsInStoredOrder) {
  TSlideShowInfoProperties info;
  info.SetAuthor("A");
  info.SetTitle("T");
  info.SetExtraData(std::string("\x01\x02\x03", 3));
  TFieldList infoFields;
  info.DescribeFields(infoFields);
  EXPECT_EQ(infoFields.text, "author=A;title=T;description=;copyright=;extraData=3 bytes;");

  TMusicProperties music;
  music.SetDuckVolume(12);
  for (const char* fileName : {"a.mp3", "b.mp3"}) {
    auto item = std::make_unique<TMusicPlayListItem>();
    item->SetFileName(fileName);
    music.PlayList().Add(std::move(item));
  }
  TFieldList musicFields;
  music.DescribeFields(musicFields);
  EXPECT_EQ(musicFields.text,
            "musicOn=true;fadeOutAtEnd=true;fadeOutDuration=2000;repeatList=true;"
            "musicVolume=255;followShow=false;duckFadeTime=300;duckVolume=12;playListItems=2;"
            "playList=a.mp3\r\nb.mp3;perObjectSoundLists=false;");

  TSlideShowProperties settings;
  settings.SetReserved1(7);
  settings.SetSwitchedOffTransitions({});
  settings.SetPlayerClass(nullptr);
  TFieldList settingsFields;
  settings.DescribeFields(settingsFields);
  EXPECT_EQ(settingsFields.text,
            "defaultDisplayTime=5000;pictureQuality=1;customPictureFilter=2;preparationFilter=0;"
            "endAction=0;endFlag=true;reserved2=4;reserved1=7;randomOrder=false;"
            "transitionsOff=false;switchedOffTransitions=;player=;");
}

TEST(KitInspectDocumentTest, BagListShowsTheDocumentAndProjectBags) {
  TempFolder folder;
  const std::string path = folder.File("bags.lst");
  {
    kit::TKitSession session;
    TFileStream file(path, FileMode::Create);
    TCSFStreamWinTypes stream(file, CSFMode::Create);
    stream.SetFileType(1287);
    stream.SetFileVersion(773);
    TSlideShowInfoProperties info;
    info.SetTitle("Sommer");
    TPrintWizardPageTemplateProjectProperties projectBag;
    projectBag.SetTitle("Fotobuch");
    projectBag.SetExtra("x");
    for (const TProperties* bag : std::initializer_list<const TProperties*>{&info, &projectBag}) {
      stream.BeginChunk(257);
      stream.WriteString(bag->ClassName());
      stream.BeginSubChunk();
      EXPECT_TRUE(bag->WriteToStream(stream));
      stream.EndSubChunk();
      stream.EndChunk();
    }
    stream.Release();
  }
  const json list = InspectJson({"inspect", path, "--json"});
  ASSERT_EQ(list["bags"].size(), 2u);
  // Both bag classes are known to the program, so their fields are shown, not their bytes.
  for (const json& bag : list["bags"]) ASSERT_TRUE(bag.contains("fields")) << list.dump(2);
  EXPECT_EQ(list["bags"][0]["fields"]["title"], "Sommer");
  EXPECT_EQ(list["bags"][0]["fields"]["extraData"], "");
  const json& project = list["bags"][1]["fields"];
  EXPECT_EQ(project["title"], "Fotobuch");
  EXPECT_EQ(project["extra"], "x");
  // An empty variable list: the count 0 in a sub-chunk whose length (8) counts itself.
  EXPECT_EQ(project["variables"], "0800000000000000");
}

}  // namespace
}  // namespace nimbra
