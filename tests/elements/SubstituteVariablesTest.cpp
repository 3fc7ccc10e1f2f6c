// Expanding %key% in texts: the substitution with plug-ins of its own, and the template variables
// with a project, its templates and a slideshow tree.
#include <gtest/gtest.h>

#include "ElementTestSupport.h"
#include "elements/PageTemplateVariable.h"
#include "elements/PrintWizardVariables.h"
#include "framework/ApplicationInfo.h"
#include "framework/Plugins.h"
#include "framework/VariablePlugin.h"
#include "templates/PageTemplateProject.h"

namespace nimbra {

// Knows two spellings and answers with the spelling it was asked for.
class TNameTestVariable : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject*) { return "name\r\ngröße\r\n"; }
  static std::string ClassGetValue(TObject*, const std::string& key) { return "<" + key + ">"; }
};

// Also knows "name", but comes second.
class TSecondNameTestVariable : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject*) { return "Name\r\nrabatt"; }
  static std::string ClassGetValue(TObject*, const std::string& key) {
    return key == "rabatt" ? "50% auf %name%" : "zweiter";
  }
};

// Only for pictures.
class TFileTestVariable : public TVariablePlugin {
  NIMBRA_DECLARE_VARIABLE_PLUGIN()

 public:
  static std::string ClassKeyList(TObject*) { return "datei"; }
  static std::string ClassGetValue(TObject* object, const std::string&) {
    return dynamic_cast<test::TTestPicture&>(*object).GetStoredFileName();
  }
  static const TMetaClass* ClassContextClass() { return &test::TTestPicture::StaticClass(); }
};

NIMBRA_DEFINE_VARIABLE_PLUGIN(TNameTestVariable, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TSecondNameTestVariable, TVariablePlugin)
NIMBRA_DEFINE_VARIABLE_PLUGIN(TFileTestVariable, TVariablePlugin)

namespace {

using test::AddChildItem;
using test::ItemFor;
using test::TTestChapter;
using test::TTestPicture;

class SubstituteVariablesTest : public ::testing::Test {
 protected:
  SubstituteVariablesTest() {
    registry_.Register(TNameTestVariable::StaticClass());
    registry_.Register(TPlugin::StaticClass());  // no variable: passed over
    registry_.Register(TSecondNameTestVariable::StaticClass());
    registry_.Register(TFileTestVariable::StaticClass());
  }

  std::string Expand(const std::string& text, TObject* object = nullptr) {
    return SubstituteVariables(&registry_, object, text);
  }

  TPlugins registry_;
};

TEST_F(SubstituteVariablesTest, KeysMatchInAnyCaseAndTheFirstPluginWins) {
  EXPECT_EQ(Expand("Hallo %NAME%, %Name% und %name%!"), "Hallo <name>, <name> und <name>!");
  EXPECT_EQ(Expand("%GRÖßE%"), "<größe>");
  EXPECT_EQ(Expand("%name% %name%"), "<name> <name>");
}

TEST_F(SubstituteVariablesTest, DoubledPercentSignsAreLiteral) {
  EXPECT_EQ(Expand("100%%"), "100%");
  EXPECT_EQ(Expand("%%name%"), "%name%");
  EXPECT_EQ(Expand("%%%name%"), "%<name>");
  EXPECT_EQ(Expand("50% %name"), "50% %name");
  // Two variables side by side share a doubled percent sign, which is taken as a literal one.
  EXPECT_EQ(Expand("%name%%name%"), "%name%name%");
}

TEST_F(SubstituteVariablesTest, UnknownKeysAndRefusedObjectsStayAsWritten) {
  EXPECT_EQ(Expand("%unbekannt% %datei%"), "%unbekannt% %datei%");
  TTestChapter chapter("Sommer");
  EXPECT_EQ(Expand("%datei%", &chapter), "%datei%");
  TTestPicture picture("urlaub.jpg", "/urlaub.jpg");
  EXPECT_EQ(Expand("%DATEI%", &picture), "urlaub.jpg");
  EXPECT_EQ(SubstituteVariables(nullptr, &picture, "%datei% 100%%"), "%datei% 100%%");
}

TEST_F(SubstituteVariablesTest, ValuesAreInsertedLiterally) {
  EXPECT_EQ(Expand("%rabatt%!"), "50% auf %name%!");
}

TEST_F(SubstituteVariablesTest, ARegistryMadeForTheCallIsFreedWithIt) {
  std::unique_ptr<TPlugins> files = registry_.Category(TFileTestVariable::StaticClass());
  ASSERT_NE(files, nullptr);
  TTestPicture picture("a.jpg", "/a.jpg");
  EXPECT_EQ(SubstituteVariables(std::move(files), &picture, "%name% %datei%"), "%name% a.jpg");
  EXPECT_EQ(registry_.Count(), 4);
}

TEST_F(SubstituteVariablesTest, ClassLevelOperationsOfThePlugins) {
  const TVariablePluginClass& names = TNameTestVariable::StaticClass();
  EXPECT_TRUE(names.HasKey("name"));
  EXPECT_TRUE(names.HasKey("größe"));
  EXPECT_FALSE(names.HasKey("NAME"));
  EXPECT_TRUE(TSecondNameTestVariable::StaticClass().HasKey("name"));
  EXPECT_TRUE(names.Accepts(nullptr));

  const TVariablePluginClass& files = TFileTestVariable::StaticClass();
  TTestPicture picture("a.jpg", "/a.jpg");
  TTestChapter chapter;
  EXPECT_FALSE(files.Accepts(nullptr));
  EXPECT_FALSE(files.Accepts(&chapter));
  EXPECT_TRUE(files.Accepts(&picture));
  std::string value = "alt";
  EXPECT_FALSE(files.Evaluate(&chapter, "datei", value));
  EXPECT_EQ(value, "");
  EXPECT_TRUE(files.Evaluate(&picture, "datei", value));
  EXPECT_EQ(value, "a.jpg");
}

// ---- the template variables ----

class TTestApplicationInfo : public ISlideShowApplicationInfo {
 public:
  std::string CompanyName() const override { return "Velmora"; }
  std::string ProductName() const override { return "Nimbra"; }
  std::string CopyrightText() const override { return "(c) Velmora"; }
  std::string WebUrl() const override { return {}; }
  std::string WebAddress() const override { return {}; }
  std::string Reserved1() const override { return {}; }
  std::string MajorVersion() const override { return "1"; }
  std::string Version() const override { return "1.2"; }
  std::string BuildSuffix() const override { return {}; }
  std::string FullVersion() const override { return "1.2.3"; }
  std::string RegistryKey() const override { return {}; }
  std::string DataFolder() const override { return {}; }
  std::string Reserved2() const override { return {}; }
  std::string LogoFileName() const override { return {}; }
  std::string HelpFileName() const override { return {}; }
  std::string Reserved3() const override { return {}; }
  std::string InternalName() const override { return {}; }
};

class TemplateVariablePluginsTest : public test::TElementsTest {
 protected:
  TemplateVariablePluginsTest() : page_(dynamic_cast<TPrintWizardPageTemplate*>(project_.FirstTemplate())) {}

  // Both rounds a page element runs: the project first, then the page template.
  std::string Expand(const std::string& text) {
    const std::string projectRound = SubstituteVariables(TemplatePlugins(), &project_, text);
    return SubstituteVariables(TemplatePlugins(), page_, projectRound);
  }

  TPageTemplateVariableList& Variables() {
    return dynamic_cast<TPageTemplateVariableProperties&>(*project_.ProjectProperties()->Variables())
        .Variables();
  }

  TPrintWizardPageTemplateProject project_;
  TPrintWizardPageTemplate* page_;
};

TEST_F(TemplateVariablePluginsTest, RegisteredInTheTemplateRegistryInOrder) {
  const TPlugins& registry = *TemplatePlugins();
  ASSERT_GE(registry.Count(), 25);
  EXPECT_EQ(registry.Items(0).PluginClass().ClassName(), "TPrintWizardVariablePluginChapterName");
  EXPECT_EQ(registry.Items(10).PluginClass().ClassName(), "TPrintWizardVariablePluginDynamic");
  EXPECT_EQ(registry.Items(11).PluginClass().ClassName(), "TPrintPageElementUserText");
  EXPECT_EQ(registry.Items(24).PluginClass().ClassName(), "TPrintWizardPictureEffectColorize");
  EXPECT_NE(GetClass("TPrintWizardPictureEffectUserCollage4Pic"), nullptr);
  EXPECT_NE(GetClass("TPageTemplateDateVariable"), nullptr);
}

TEST_F(TemplateVariablePluginsTest, PageValuesComeFromThePageTemplate) {
  ASSERT_NE(page_, nullptr);
  page_->SetPageNumber(4);
  EXPECT_EQ(Expand("Seite %SEITENNR% (%pagenr%)"), "Seite 4 (4)");
  EXPECT_EQ(Expand("%seitenanzahl%/%PageCount%"), "0/0");
  EXPECT_EQ(Expand("[%kapitelnr%]"), "[]");
  // A page template is no project: project values stay for a later round.
  EXPECT_EQ(SubstituteVariables(TemplatePlugins(), page_, "%seitenanzahl%"), "%seitenanzahl%");
}

TEST_F(TemplateVariablePluginsTest, ProjectValuesComeFromTheProjectBag) {
  TPrintWizardPageTemplateProjectProperties& bag = *project_.ProjectProperties();
  bag.SetTitle("Sommer 2024");
  bag.SetAuthor("Anna");
  bag.SetDescription("50% Sonne");
  EXPECT_EQ(Expand("%vorlagentitel% von %TemplateAuthor%: %vorlagenbeschreibung%"),
            "Sommer 2024 von Anna: 50% Sonne");
}

TEST_F(TemplateVariablePluginsTest, ProjectVariablesExpandByTheirNames) {
  Variables().AddVariable(TPageTemplateStringVariable::StaticClass());
  Variables().AddVariable(TPageTemplateStringVariable::StaticClass());
  Variables().Items(0).SetVariableName("Ort");
  ASSERT_TRUE(Variables().Items(0).SetValueText("Berlin"));
  EXPECT_EQ(Expand("%Ort%, %ort% und %Variable1%"), "Berlin, Berlin und Inhalt");
  // Also with the page template alone, through the project that holds it.
  EXPECT_EQ(SubstituteVariables(TemplatePlugins(), page_, "%ORT%"), "Berlin");
  TPrintWizardPageTemplate loose;
  EXPECT_EQ(SubstituteVariables(TemplatePlugins(), &loose, "%Ort%"), "%Ort%");
}

TEST_F(TemplateVariablePluginsTest, ApplicationValuesComeFromTheApplicationInformation) {
  const std::shared_ptr<ISlideShowApplicationInfo> previous = PrintWizardApplicationInfo();
  SetPrintWizardApplicationInfo(std::make_shared<TTestApplicationInfo>());
  EXPECT_EQ(Expand("%programmname% | %appversion% | %AppCopyright%"),
            "Velmora Nimbra | Velmora 1.2.3 | (c) Velmora");
  SetPrintWizardApplicationInfo(previous);
}

TEST_F(TemplateVariablePluginsTest, OutermostChapterNamesThePage) {
  TTestChapter summer("Sommer");
  TTestChapter holiday("Urlaub");
  TTestPicture picture("a.jpg", "/a.jpg");
  TTestPicture outside("b.jpg", "/b.jpg");
  TCustomTree tree;
  const TRef<ITreeItem> summerItem = ItemFor(summer);
  tree.GetItems()->Add(summerItem);
  const TRef<ITreeItem> holidayItem = AddChildItem(*summerItem, holiday);
  const TRef<ITreeItem> pictureItem = AddChildItem(*holidayItem, picture);
  const TRef<ITreeItem> outsideItem = ItemFor(outside);
  tree.GetItems()->Add(outsideItem);

  page_->SetBoundItem(pictureItem);
  EXPECT_EQ(Expand("%kapitelname%"), "Sommer");
  page_->SetBoundItem(holidayItem);
  EXPECT_EQ(Expand("%ChapterName%"), "Sommer");
  page_->SetBoundItem(outsideItem);
  EXPECT_EQ(Expand("%kapitelname%"), "Kapitelname");
  page_->SetBoundItem(nullptr);
  EXPECT_EQ(Expand("%kapitelname%"), "Kapitelname");
}

}  // namespace
}  // namespace nimbra
