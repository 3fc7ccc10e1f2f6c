#include <gtest/gtest.h>

#include "WireBytes.h"
#include "framework/Plugins.h"
#include "slideshow/SlideShowProperties.h"
#include "slideshow/SwitchableTransition.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::TWireBytes;

constexpr int32_t kDocumentType = 1281;
constexpr int32_t kDocumentVersion = 773;

// Stand-ins for the player layer's classes, recognised by their base names.
class TSlideShowPlayer : public TPlugin {
  NIMBRA_DECLARE_PLUGIN()
};
class TWindowPlayer : public TSlideShowPlayer {
  NIMBRA_DECLARE_PLUGIN()
};
class TScreenSaverPlayer : public TSlideShowPlayer {
  NIMBRA_DECLARE_PLUGIN()
};
class TNoPlayer : public TPlugin {
  NIMBRA_DECLARE_PLUGIN()
};

class TTransitionPlugin : public TPlugin, public ISwitchableTransition {
  NIMBRA_DECLARE_PLUGIN()

 public:
  bool Enabled() const override { return enabled_; }

 protected:
  bool enabled_ = true;
};
class TFadeTransition : public TTransitionPlugin {
  NIMBRA_DECLARE_PLUGIN()
};
class TWipeTransition : public TTransitionPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TWipeTransition() { enabled_ = false; }
};
class TSpinTransition : public TTransitionPlugin {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSpinTransition() { enabled_ = false; }
};

NIMBRA_DEFINE_PLUGIN(TSlideShowPlayer, TPlugin)
NIMBRA_DEFINE_PLUGIN(TWindowPlayer, TSlideShowPlayer)
NIMBRA_DEFINE_PLUGIN(TScreenSaverPlayer, TSlideShowPlayer)
NIMBRA_DEFINE_PLUGIN(TNoPlayer, TPlugin)
NIMBRA_DEFINE_PLUGIN(TTransitionPlugin, TPlugin)
NIMBRA_DEFINE_PLUGIN(TFadeTransition, TTransitionPlugin)
NIMBRA_DEFINE_PLUGIN(TWipeTransition, TTransitionPlugin)
NIMBRA_DEFINE_PLUGIN(TSpinTransition, TTransitionPlugin)

// A main registry of its own for each test, as the program has it after start-up.
class SlideShowPropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetMainPlugins(std::make_unique<TPlugins>());
    Main().RegisterForStreaming(TNoPlayer::StaticClass());
    Main().RegisterForStreaming(TWindowPlayer::StaticClass());
    Main().RegisterForStreaming(TScreenSaverPlayer::StaticClass());
    Main().RegisterForStreaming(TFadeTransition::StaticClass());
    Main().RegisterForStreaming(TWipeTransition::StaticClass());
    Main().RegisterForStreaming(TSpinTransition::StaticClass());
  }
  void TearDown() override { SetMainPlugins(std::move(previous_)); }

  static TPlugins& Main() { return *MainPlugins(); }

  static std::string Stored(const TSlideShowProperties& bag) {
    TMemoryStream bytes;
    EXPECT_TRUE(bag.SaveToStream(bytes, kDocumentType, kDocumentVersion));
    return bytes.ToString();
  }

  static bool Load(TSlideShowProperties& bag, const std::string& bytes) {
    TMemoryStream stream(bytes);
    return bag.LoadFromStream(stream, kDocumentType, kDocumentVersion);
  }

  static void ExpectDefaults(const TSlideShowProperties& bag) {
    EXPECT_EQ(bag.PlayerClass(), &TWindowPlayer::StaticClass());
    EXPECT_EQ(bag.DefaultDisplayTime(), 5000);
    EXPECT_EQ(bag.PictureQuality(), 1);
    EXPECT_EQ(bag.CustomPictureFilter(), kFilterLinear);
    EXPECT_EQ(bag.EndAction(), 0);
    EXPECT_TRUE(bag.EndFlag());
    EXPECT_EQ(bag.SwitchedOffTransitions(),
              (std::vector<const TMetaClass*>{&TWipeTransition::StaticClass(),
                                              &TSpinTransition::StaticClass()}));
    EXPECT_FALSE(bag.TransitionsOff());
    EXPECT_EQ(bag.PreparationFilter(), kFilterNearest);
    EXPECT_EQ(bag.Reserved1(), 3);
    EXPECT_EQ(bag.Reserved2(), 4);
    EXPECT_FALSE(bag.RandomOrder());
  }

  static void ChangeEverything(TSlideShowProperties& bag) {
    bag.SetPlayerClass(&TScreenSaverPlayer::StaticClass());
    bag.SetDefaultDisplayTime(7500);
    bag.SetPictureQuality(4);
    bag.SetCustomPictureFilter(kFilterLanczos);
    bag.SetPreparationFilter(kFilterSpline);
    bag.SetEndAction(2);
    bag.SetEndFlag(false);
    bag.SetSwitchedOffTransitions({&TFadeTransition::StaticClass()});
    bag.SetTransitionsOff(true);
    bag.SetReserved1(-30);
    bag.SetReserved2(40000);
    bag.SetRandomOrder(true);
  }

 private:
  std::unique_ptr<TPlugins> previous_;
};

TEST_F(SlideShowPropertiesTest, DefaultsComeFromTheRegisteredPlayersAndTransitions) {
  const TSlideShowProperties bag;
  ExpectDefaults(bag);
}

TEST_F(SlideShowPropertiesTest, WithoutPlayersOrSwitchedOffTransitionsTheDefaultsAreEmpty) {
  SetMainPlugins(std::make_unique<TPlugins>());
  MainPlugins()->Register(TFadeTransition::StaticClass());
  const TSlideShowProperties bag;
  EXPECT_EQ(bag.PlayerClass(), nullptr);
  EXPECT_TRUE(bag.SwitchedOffTransitions().empty());
}

TEST_F(SlideShowPropertiesTest, StoresFourSubChunksInTheirOrder) {
  TSlideShowProperties bag;
  ChangeEverything(bag);
  TWireBytes expected;
  expected
      .SubChunk(TWireBytes().Int(7500).Byte(4).Byte(5).Byte(4).Byte(2).Byte(0).Int(40000).Int(-30))
      .SubChunk(TWireBytes().Byte(1))
      .SubChunk(TWireBytes().Byte(1).Int(1).Str("TFadeTransition"))
      .SubChunk(TWireBytes().Str("TScreenSaverPlayer"));
  EXPECT_EQ(Stored(bag), expected.Bytes());
}

TEST_F(SlideShowPropertiesTest, EveryStoredFieldReadsBack) {
  TSlideShowProperties source;
  ChangeEverything(source);
  TSlideShowProperties read;
  ASSERT_TRUE(Load(read, Stored(source)));
  EXPECT_EQ(Stored(read), Stored(source));
  EXPECT_EQ(read.PlayerClass(), &TScreenSaverPlayer::StaticClass());
  EXPECT_EQ(read.SwitchedOffTransitions(),
            (std::vector<const TMetaClass*>{&TFadeTransition::StaticClass()}));
  EXPECT_EQ(read.DefaultDisplayTime(), 7500);
  EXPECT_EQ(read.PictureQuality(), 4);
  EXPECT_EQ(read.CustomPictureFilter(), kFilterLanczos);
  EXPECT_EQ(read.PreparationFilter(), kFilterSpline);
  EXPECT_EQ(read.EndAction(), 2);
  EXPECT_FALSE(read.EndFlag());
  EXPECT_TRUE(read.TransitionsOff());
  EXPECT_EQ(read.Reserved1(), -30);
  EXPECT_EQ(read.Reserved2(), 40000);
  EXPECT_TRUE(read.RandomOrder());

  const std::unique_ptr<TProperties> clone = source.Clone();
  ASSERT_NE(dynamic_cast<TSlideShowProperties*>(clone.get()), nullptr);
  EXPECT_EQ(Stored(static_cast<TSlideShowProperties&>(*clone)), Stored(source));
}

TEST_F(SlideShowPropertiesTest, ResetRestoresTheDefaults) {
  TSlideShowProperties bag;
  ChangeEverything(bag);
  bag.Reset();
  ExpectDefaults(bag);
}

TEST_F(SlideShowPropertiesTest, PictureQualityChoosesTheFilters) {
  TSlideShowProperties bag;
  bag.SetCustomPictureFilter(kFilterLanczos);
  const std::pair<uint8_t, uint8_t> expected[] = {{kFilterMitchell, kFilterMitchell},
                                                  {kFilterMitchell, kFilterNearest},
                                                  {kFilterLinear, kFilterNearest},
                                                  {kFilterNearest, kFilterNearest}};
  for (uint8_t quality = 0; quality < 4; ++quality) {
    bag.SetPictureQuality(quality);
    EXPECT_EQ(bag.PictureFilter(), expected[quality].first) << int{quality};
    EXPECT_EQ(bag.AnimationFilter(), expected[quality].second) << int{quality};
  }
  bag.SetPictureQuality(4);
  EXPECT_EQ(bag.PictureFilter(), kFilterLanczos);
  EXPECT_EQ(bag.AnimationFilter(), kFilterNearest);

  // A copy chooses the same filters.
  TSlideShowProperties copy;
  copy.Assign(bag);
  EXPECT_EQ(copy.PictureFilter(), kFilterLanczos);
  EXPECT_EQ(copy.AnimationFilter(), kFilterNearest);
}

TEST_F(SlideShowPropertiesTest, APlayerNoLongerRegisteredGivesWayToTheDefault) {
  TSlideShowProperties source;
  source.SetPlayerClass(&TScreenSaverPlayer::StaticClass());
  const std::string stored = Stored(source);
  Main().Unregister(TScreenSaverPlayer::StaticClass());
  TSlideShowProperties read;
  read.SetPlayerClass(nullptr);
  ASSERT_TRUE(Load(read, stored));
  EXPECT_EQ(read.PlayerClass(), &TWindowPlayer::StaticClass());

  // A registered class that is no player does not take the player's place either.
  TWireBytes foreign;
  foreign.SubChunk(TWireBytes().Int(5000).Byte(1).Byte(2).Byte(0).Byte(0).Byte(1).Int(4).Int(3))
      .SubChunk(TWireBytes().Byte(0))
      .SubChunk(TWireBytes().Byte(0).Int(0))
      .SubChunk(TWireBytes().Str("TNoPlayer"));
  TSlideShowProperties other;
  other.SetPlayerClass(nullptr);
  ASSERT_TRUE(Load(other, foreign.Bytes()));
  EXPECT_EQ(other.PlayerClass(), &TWindowPlayer::StaticClass());
}

TEST_F(SlideShowPropertiesTest, SwitchedOffTransitionsNoLongerRegisteredAreDropped) {
  TSlideShowProperties source;
  source.SetSwitchedOffTransitions({&TWipeTransition::StaticClass(),
                                    &TFadeTransition::StaticClass(),
                                    &TSpinTransition::StaticClass()});
  const std::string stored = Stored(source);
  Main().Unregister(TFadeTransition::StaticClass());
  TSlideShowProperties read;
  ASSERT_TRUE(Load(read, stored));
  EXPECT_EQ(read.SwitchedOffTransitions(),
            (std::vector<const TMetaClass*>{&TWipeTransition::StaticClass(),
                                            &TSpinTransition::StaticClass()}));
}

TEST_F(SlideShowPropertiesTest, FieldsANewerWriterAppendsAreSkipped) {
  TWireBytes newer;
  newer
      .SubChunk(
          TWireBytes().Int(1234).Byte(0).Byte(2).Byte(1).Byte(3).Byte(1).Int(8).Int(9).Int(77))
      .SubChunk(TWireBytes().Byte(1).Str("später"))
      .SubChunk(TWireBytes().Byte(0).Int(0))
      .SubChunk(TWireBytes().Str("TWindowPlayer"))
      .SubChunk(TWireBytes().Int(5));
  TSlideShowProperties read;
  ASSERT_TRUE(Load(read, newer.Bytes()));
  EXPECT_EQ(read.DefaultDisplayTime(), 1234);
  EXPECT_EQ(read.EndAction(), 3);
  EXPECT_EQ(read.Reserved2(), 8);
  EXPECT_EQ(read.Reserved1(), 9);
  EXPECT_TRUE(read.RandomOrder());
  EXPECT_TRUE(read.SwitchedOffTransitions().empty());
  EXPECT_EQ(read.PlayerClass(), &TWindowPlayer::StaticClass());
}

TEST_F(SlideShowPropertiesTest, AHostileTransitionCountFailsTheReadAndKeepsWhatWasRead) {
  TWireBytes hostile;
  hostile.SubChunk(TWireBytes().Int(900).Byte(2).Byte(2).Byte(0).Byte(1).Byte(1).Int(4).Int(3))
      .SubChunk(TWireBytes().Byte(1))
      .SubChunk(TWireBytes().Byte(1).Int(0x7FFFFFFF).Str("TWipeTransition"));
  TSlideShowProperties read;
  EXPECT_FALSE(Load(read, hostile.Bytes()));
  EXPECT_EQ(read.DefaultDisplayTime(), 900);
  EXPECT_TRUE(read.RandomOrder());
}

}  // namespace
}  // namespace nimbra
