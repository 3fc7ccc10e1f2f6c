#include "framework/Plugins.h"

#include <gtest/gtest.h>

namespace nimbra {
namespace {

class TTransitionBase : public TPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "übergang"; }
  virtual int Kind() const = 0;
};

class TFadeTransition : public TTransitionBase {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "Blende"; }
  int Kind() const override { return 1; }
};

class TWipeTransition : public TTransitionBase {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "BLENDE"; }
  int Kind() const override { return 2; }
};

class TVariable : public TPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "Zähler"; }
};

class TOtherBase : public TPlugin {
  NIMBRA_DECLARE_PLUGIN()
};

NIMBRA_DEFINE_PLUGIN(TTransitionBase, TPlugin)
NIMBRA_DEFINE_PLUGIN(TFadeTransition, TTransitionBase)
NIMBRA_DEFINE_PLUGIN(TWipeTransition, TTransitionBase)
NIMBRA_DEFINE_PLUGIN(TVariable, TPlugin)
NIMBRA_DEFINE_PLUGIN(TOtherBase, TPlugin)

// Another class that goes by the name of TFadeTransition.
const TPluginClassOf<TVariable> kNamesake("tfadetransition", &TPlugin::StaticClass());

std::vector<std::string> Names(const TPlugins& plugins) {
  std::vector<std::string> names;
  for (int i = 0; i < plugins.Count(); ++i) {
    names.push_back(plugins.Items(i).PluginClass().ClassName());
  }
  return names;
}

TEST(PluginsTest, FindsClassesByNameInAnyCaseAndKeepsTheFirstOfAName) {
  TPlugins plugins;
  plugins.Register(TFadeTransition::StaticClass());
  plugins.Register(TVariable::StaticClass());
  plugins.Register(kNamesake);
  plugins.Register(TFadeTransition::StaticClass());
  EXPECT_EQ(Names(plugins), (std::vector<std::string>{"TFadeTransition", "TVariable"}));
  EXPECT_EQ(plugins.FindClass("TFADETRANSITION"), &TFadeTransition::StaticClass());
  EXPECT_EQ(plugins.FindItem("tvariable"), &plugins.Items(1));
  EXPECT_EQ(plugins.FindClass("TWipeTransition"), nullptr);
  EXPECT_TRUE(plugins.IsRegistered(kNamesake));
  EXPECT_THROW(plugins.Items(2), std::out_of_range);
}

TEST(PluginsTest, CategorySharesTheEntriesOfABaseAndItsDescendants) {
  TPlugins plugins;
  plugins.Register(TFadeTransition::StaticClass());
  plugins.Register(TVariable::StaticClass());
  plugins.Register(TWipeTransition::StaticClass());
  TPlugin* sample = plugins.Items(0).Instance();
  {
    const std::unique_ptr<TPlugins> transitions = plugins.Category(TTransitionBase::StaticClass());
    ASSERT_NE(transitions, nullptr);
    EXPECT_EQ(Names(*transitions),
              (std::vector<std::string>{"TFadeTransition", "TWipeTransition"}));
    EXPECT_EQ(&transitions->Items(0), &plugins.Items(0));
  }
  // Freeing the category freed none of the entries.
  EXPECT_EQ(plugins.Count(), 3);
  EXPECT_EQ(plugins.Items(0).Instance(), sample);
  EXPECT_EQ(plugins.Category(TOtherBase::StaticClass()), nullptr);
}

TEST(PluginsTest, SampleInstanceIsMadeOnceAndNotForAbstractClasses) {
  TPlugins plugins;
  plugins.Register(TWipeTransition::StaticClass());
  plugins.Register(TTransitionBase::StaticClass());
  TPlugin* sample = plugins.Items(0).Instance();
  ASSERT_NE(sample, nullptr);
  EXPECT_EQ(dynamic_cast<TTransitionBase&>(*sample).Kind(), 2);
  EXPECT_EQ(plugins.Items(0).Instance(), sample);
  EXPECT_EQ(plugins.Items(1).Instance(), nullptr);
}

TEST(PluginsTest, StreamingEntriesComeAndGoWithTheRunTimeRegistry) {
  {
    TPlugins plugins;
    plugins.Register(TVariable::StaticClass());
    plugins.RegisterForStreaming(TFadeTransition::StaticClass());
    plugins.RegisterForStreaming(TWipeTransition::StaticClass());
    EXPECT_EQ(GetClass("TVariable"), nullptr);
    EXPECT_EQ(GetClass("tfadetransition"), &TFadeTransition::StaticClass());
    EXPECT_TRUE(plugins.Items(1).Streaming());

    plugins.Unregister(TFadeTransition::StaticClass());
    EXPECT_EQ(Names(plugins), (std::vector<std::string>{"TVariable", "TWipeTransition"}));
    EXPECT_EQ(GetClass("TFadeTransition"), nullptr);
    // Only the exact class goes, not its relatives.
    plugins.Unregister(TTransitionBase::StaticClass());
    EXPECT_EQ(plugins.Count(), 2);
    EXPECT_EQ(GetClass("TWipeTransition"), &TWipeTransition::StaticClass());
  }
  // A registry freed at shutdown takes its streaming classes with it.
  EXPECT_EQ(GetClass("TWipeTransition"), nullptr);
}

TEST(PluginsTest, SortByCaptionFoldsOnlyAsciiLetters) {
  EXPECT_EQ(CompareTextAscii("Blende", "BLENDE"), 0);
  EXPECT_LT(CompareTextAscii("Blende", "Blenden"), 0);
  EXPECT_LT(CompareTextAscii("Äpfel", "äpfel"), 0);  // no folding beyond ASCII: Ä before ä
  EXPECT_GT(CompareTextAscii("Äpfel", "Zebra"), 0);  // and both after every ASCII letter
  EXPECT_GT(CompareTextAscii("_", "a"), 0);          // letters fold to upper case

  TPlugins plugins;
  plugins.Register(TVariable::StaticClass());        // "Zähler"
  plugins.Register(TTransitionBase::StaticClass());  // "übergang"
  plugins.Register(TWipeTransition::StaticClass());  // "BLENDE"
  plugins.Register(TFadeTransition::StaticClass());  // "Blende"
  plugins.SortByCaption();
  // Equal captions keep their registration order.
  EXPECT_EQ(Names(plugins), (std::vector<std::string>{"TWipeTransition", "TFadeTransition",
                                                      "TVariable", "TTransitionBase"}));
  plugins.Sort([](const TPluginListItem& a, const TPluginListItem& b) {
    return CompareTextAscii(b.PluginClass().ClassName(), a.PluginClass().ClassName());
  });
  EXPECT_EQ(plugins.Items(0).PluginClass().ClassName(), "TWipeTransition");
  EXPECT_EQ(plugins.Items(3).PluginClass().ClassName(), "TFadeTransition");
}

class CreateByClassNameTest : public ::testing::Test {
 protected:
  void SetUp() override { previous_ = SetMainPlugins(std::make_unique<TPlugins>()); }
  void TearDown() override { SetMainPlugins(std::move(previous_)); }

  std::unique_ptr<TPlugins> previous_;
};

TEST_F(CreateByClassNameTest, LooksInTheMainRegistryThenInTheRunTimeRegistry) {
  MainPlugins()->Register(TFadeTransition::StaticClass());
  RegisterClass(kNamesake);
  RegisterClass(TWipeTransition::StaticClass());

  const std::unique_ptr<TObject> fade = CreateByClassName("TFADETRANSITION");
  ASSERT_NE(fade, nullptr);
  EXPECT_EQ(&fade->ClassType(), &TFadeTransition::StaticClass());
  const std::unique_ptr<TObject> wipe = CreateByClassName("TWipeTransition");
  ASSERT_NE(wipe, nullptr);
  EXPECT_EQ(&wipe->ClassType(), &TWipeTransition::StaticClass());
  EXPECT_EQ(CreateByClassName("TUnbekannt"), nullptr);
  EXPECT_EQ(CreateByClassName(""), nullptr);

  UnregisterClass(kNamesake);
  UnregisterClass(TWipeTransition::StaticClass());
}

}  // namespace
}  // namespace nimbra
