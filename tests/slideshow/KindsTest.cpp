// The kinds as the rest of the system sees them: their class texts and registration, copies and
// documents that keep every field, the files they refer to, and their transitions.
#include <gtest/gtest.h>

#include <vector>

#include "KindsTestSupport.h"
#include "TempFolder.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/CompositeSlideShowObject.h"
#include "slideshow/DummySlideShowObject.h"
#include "slideshow/MergeSlideShowObject.h"
#include "slideshow/ParticleSlideShowObject.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/RandomTransitionPlugin.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowRegistration.h"
#include "slideshow/SoundSlideShowObject.h"
#include "slideshow/TextSlideShowObject.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::ObjectBytes;

struct TKindTexts {
  const TPluginClass* Class;
  std::string Caption;
  std::string Category;
  std::string FrameName;
};

TEST(KindsTest, RegisteredKindsCarryTheirTextsAndComeInTheirOrder) {
  test::TKindsRegistry kinds;
  const std::vector<TKindTexts> expected = {
      {&TRandomTransitionPlugin::StaticClass(), "Zufällige Überblendung", "", ""},
      {&TDummySlideShowObject::StaticClass(), "Dummy", "Zusätzlich",
       "TPlayableSlideShowObjectPropertyFrame"},
      {&TSoundSlideShowObject::StaticClass(), "Sound", "Standard",
       "TSoundSlideShowObjectPropertyFrame"},
      {&TExtPicSlideShowObject::StaticClass(), "Bild mit Effekten", "Standard",
       "TExtPicSlideShowObjectPropertyFrame"},
      {&TTextSlideShowObject::StaticClass(), "Text", "Standard",
       "TTextSlideShowObjectPropertyFrame"},
      {&TPicTextSoundCompositeSlideShowObject::StaticClass(), "Bild, Text, Sound", "Standard",
       "TPicTextSoundCompositeSlideShowObjectPropertyFrame"},
      {&TContainerSlideShowObject::StaticClass(), "Kapitel", "Standard",
       "TContainerSlideShowObjectPropertyFrame"},
      {&TParallelSlideShowObject::StaticClass(), "Parallelobjekt", "Standard",
       "TParallelSlideShowObjectPropertyFrame"},
      {&TParticleSlideShowObject::StaticClass(), "Partikel", "Zusätzlich",
       "TParticleSlideShowObjectPropertyEditorFrame"},
      {&TMergeSlideShowObject::StaticClass(), "Collage", "Standard",
       "TBaseExtBitmapSlideShowObjectPropertyFrame"},
  };
  ASSERT_EQ(MainPlugins()->Count(), static_cast<int>(expected.size()));
  for (int i = 0; i < MainPlugins()->Count(); ++i) {
    const TKindTexts& kind = expected[static_cast<size_t>(i)];
    SCOPED_TRACE(kind.Class->ClassName());
    EXPECT_EQ(&MainPlugins()->Items(i).PluginClass(), kind.Class);
    EXPECT_EQ(kind.Class->Caption(), kind.Caption);
    std::unique_ptr<TObject> instance = CreateByClassName(kind.Class->ClassName());
    if (auto* object = dynamic_cast<TSlideShowObject*>(instance.get())) {
      EXPECT_EQ(object->CategoryName(), kind.Category);
      EXPECT_EQ(dynamic_cast<IPropertyFrame&>(*object).PropertyFrameClassName(), kind.FrameName);
    } else {
      EXPECT_NE(dynamic_cast<TRandomTransitionPlugin*>(instance.get()), nullptr);
    }
  }
  EXPECT_EQ(TParticleSlideShowObject::StaticClass().Description(),
            "Parkikelsystem zum Darstellen von Schnee, Regen, Blasen etc.");
  EXPECT_EQ(TSoundSlideShowObject::StaticClass().Description(),
            "Eine beliebige Sound- oder Musikdatei");
  EXPECT_EQ(TBaseBitmapSlideShowObject::StaticClass().Caption(), "Bild");
  EXPECT_EQ(TSimpleTextSlideShowObject::StaticClass().Description(), "");

  // The plain picture and the simple text are bases only: a stored one is skipped.
  EXPECT_EQ(CreateByClassName("TPicSlideShowObject"), nullptr);
  EXPECT_EQ(CreateByClassName("TSimpleTextSlideShowObject"), nullptr);
  EXPECT_EQ(CreateByClassName("TPlayableSlideShowObject"), nullptr);
}

TEST(KindsTest, UnregisteringTakesTheKindsOutOfBothRegistries) {
  TPlugins plugins;
  RegisterSlideShowKinds(plugins);
  EXPECT_NE(GetClass("TMergeSlideShowObject"), nullptr);
  UnregisterSlideShowKinds(plugins);
  EXPECT_EQ(plugins.Count(), 0);
  EXPECT_EQ(GetClass("TMergeSlideShowObject"), nullptr);
  EXPECT_EQ(GetClass("TRandomTransitionPlugin"), nullptr);
}

TEST(KindsTest, SoundFilterListsTheThreeFamiliesAndTheirExtensions) {
  const TSoundSlideShowObject sound;
  EXPECT_EQ(sound.FileFilter(),
            "WAV-Dateien (*.wav)|*.wav|OGG Vorbis-Dateien (*.ogg)|*.ogg|MP3-Dateien (*.mp3)|*.mp3|"
            "MP2-Dateien (*.mp2)|*.mp2|AIFF-Dateien (*.aiff)|*.aiff|Advanced Streaming Format "
            "(*.asf)|*.asf|Windows Media Audio (*.wma)|*.wma|Windows Media Audio (*.wmv)|*.wmv|"
            "XM/FastTracker-Musik (*.xm)|*.xm|IT/Impulse Tracker-Musik (*.it)|*.it|MOD-Musik "
            "(*.mod)|*.mod|S3M/Scream Tracker-Musik (*.s3m)|*.s3m|MIDI-Dateien (*.mid;*.rmi)|"
            "*.mid;*.rmi");
  EXPECT_EQ(sound.FileExtensions(),
            (std::vector<std::string>{"wav", "ogg", "mp3", "mp2", "aiff", "asf", "wma", "wmv", "xm",
                                      "it", "mod", "s3m", "mid", "rmi"}));
  EXPECT_TRUE(sound.SupportsExtension("RMI"));
  EXPECT_FALSE(sound.SupportsExtension("jpg"));
}

// Every kind with values other than its defaults in every field it stores.
std::vector<std::unique_ptr<TSlideShowObject>> FilledObjects() {
  std::vector<std::unique_ptr<TSlideShowObject>> objects;
  const auto playable = [](TPlayableSlideShowObject& object, int32_t seed) {
    object.SetActive(false);
    object.SetDuration(1000 + seed);
    object.SetStartTime(2000 + seed);
    object.SetStartDelay(300 + seed);
    object.SetKeywords("Urlaub, Meer " + std::to_string(seed));
  };
  const auto bitmap = [](TBaseBitmapSlideShowObject& object) {
    object.SetKeepAspectRatio(false);
    object.SetAlignment(6);
    object.SetPlacementRect({0.125, 0.25, 0.5, 0.875});
    object.SetScaleToRect(false);
    object.SetFillBackground(false);
    object.SetBackgroundColor(0x80102030);
    object.SetCombineMode(4);
  };
  TTextFormat format;
  format.Font = {0x00FF00, "Verdana", 33, kFontStyleBold | kFontStyleItalic};
  format.TextColor = 0xFF112233;
  format.SecondColor = 0x44556677;
  format.Style = 1;
  format.Alignment = 2;
  format.Smooth = false;
  format.Position = 1;
  format.FreeRect = {0.1, 0.2, 0.3, 0.4};
  TRandomTransitionPlugin transition;
  transition.SetDuration(750);
  transition.SetEnabled(false);

  auto dummy = std::make_unique<TDummySlideShowObject>();
  playable(*dummy, 1);
  dummy->SetText("Pause");
  objects.push_back(std::move(dummy));

  auto sound = std::make_unique<TSoundSlideShowObject>();
  playable(*sound, 2);
  sound->SetFileName("Musik\\Lied.mp3");
  sound->SetSoundLength(123456);
  sound->SetDurationFollowsSound(false);
  sound->SetLowerMusic(false);
  sound->SetVolume(17);
  sound->SetEndMode(2);
  sound->SetFadeOutTime(2500);
  sound->SetStartPosition(4000);
  objects.push_back(std::move(sound));

  auto picture = std::make_unique<TExtPicSlideShowObject>();
  playable(*picture, 3);
  bitmap(*picture);
  picture->SetFileName("C:\\Fotos\\Strand.jpg");
  picture->SetTransition(&transition);
  objects.push_back(std::move(picture));

  auto text = std::make_unique<TTextSlideShowObject>();
  playable(*text, 4);
  text->SetText("Grüße aus %ort%");
  text->SetFormat(format);
  objects.push_back(std::move(text));

  auto composite = std::make_unique<TPicTextSoundCompositeSlideShowObject>();
  playable(*composite, 5);
  bitmap(*composite);
  composite->SetFileName("bild.png");
  composite->SetTransition(nullptr);
  composite->SetText("Unterschrift");
  composite->SetFormat(format);
  composite->SetShowText(false);
  composite->SetSoundFileName("ton.wav");
  composite->SetSoundLength(3333);
  composite->SetDurationFollowsSound(false);
  composite->SetLowerMusic(false);
  composite->SetVolume(44);
  composite->SetEndMode(0);
  composite->SetFadeOutTime(444);
  objects.push_back(std::move(composite));

  auto chapter = std::make_unique<TContainerSlideShowObject>();
  playable(*chapter, 6);
  chapter->SetChapterText("Erster Tag");
  auto child = std::make_unique<TDummySlideShowObject>();
  child->SetText("im Kapitel");
  chapter->CreateChildren().Add(std::move(child));
  objects.push_back(std::move(chapter));

  auto parallel = std::make_unique<TParallelSlideShowObject>();
  playable(*parallel, 7);
  parallel->SetText("gleichzeitig");
  parallel->CreateChildren();
  objects.push_back(std::move(parallel));

  auto particles = std::make_unique<TParticleSlideShowObject>();
  playable(*particles, 8);
  bitmap(*particles);
  particles->SetPictureFileNames("flocke1.png\r\nflocke2.png");
  particles->SetParticleCount(300);
  particles->SetDirection(1.5f);
  particles->SetSpeed(0.25f);
  particles->SetReserved(7.0f);
  particles->SetParticleSize(0.05f);
  particles->SetWobble(4);
  particles->SetWobbleAmplitude(0.3f);
  particles->SetWobbleFrequency(2.0f);
  objects.push_back(std::move(particles));

  auto collage = std::make_unique<TMergeSlideShowObject>();
  playable(*collage, 9);
  bitmap(*collage);
  collage->SetText("Collage der Woche");
  auto part = std::make_unique<TExtPicSlideShowObject>();
  part->SetFileName("teil.jpg");
  collage->CreateChildren().Add(std::move(part));
  objects.push_back(std::move(collage));
  return objects;
}

TEST(KindsTest, FilledObjectsDifferFromNewOnesInWhatTheyStore) {
  // Guards the round trips below: a field left at its default would pass them unseen.
  for (const auto& object : FilledObjects()) {
    SCOPED_TRACE(object->ClassName());
    std::unique_ptr<TSlideShowObject> fresh = CreateAs<TSlideShowObject>(object->ClassType());
    EXPECT_NE(ObjectBytes(*object), ObjectBytes(*fresh));
  }
}

TEST(KindsTest, EveryKindKeepsEveryFieldThroughADocument) {
  test::TKindsRegistry kinds;
  TSlideShow document;
  std::vector<std::string> expected;
  for (auto& object : FilledObjects()) {
    expected.push_back(ObjectBytes(*object));
    document.RootList().Add(std::move(object));
  }
  TMemoryStream bytes;
  ASSERT_TRUE(document.SaveToStream(bytes));
  TSlideShow loaded;
  TMemoryStream input(bytes.ToString());
  ASSERT_EQ(loaded.LoadFromStream(input), TSlideShowLoad::Loaded);
  ASSERT_EQ(loaded.RootList().Count(), static_cast<int32_t>(expected.size()));
  for (int32_t i = 0; i < loaded.RootList().Count(); ++i) {
    const TSlideShowObject& object = *loaded.RootList().Items(i);
    SCOPED_TRACE(object.ClassName());
    EXPECT_EQ(&object.ClassType(), &document.RootList().Items(i)->ClassType());
    EXPECT_EQ(ObjectBytes(object), expected[static_cast<size_t>(i)]);
  }
  // A few fields by name, as readers ask for them.
  const auto& sound = dynamic_cast<TSoundSlideShowObject&>(*loaded.RootList().Items(1));
  EXPECT_EQ(sound.GetStoredFileName(), "Musik\\Lied.mp3");
  EXPECT_EQ(sound.StartPosition(), 4000);
  EXPECT_FALSE(sound.Active());
  EXPECT_EQ(sound.Keywords(), "Urlaub, Meer 2");
  const auto& picture = dynamic_cast<TExtPicSlideShowObject&>(*loaded.RootList().Items(2));
  EXPECT_EQ(picture.BackgroundColor(), 0x80102030u);
  EXPECT_EQ(picture.PlacementRect(), (TDoubleRect{0.125, 0.25, 0.5, 0.875}));
  std::unique_ptr<TTransitionPlugin> transition = picture.Transition();
  ASSERT_NE(transition, nullptr);
  EXPECT_EQ(transition->ClassName(), "TRandomTransitionPlugin");
  EXPECT_EQ(transition->Duration(), 750);
  EXPECT_FALSE(transition->Enabled());
  const auto& text = dynamic_cast<TTextSlideShowObject&>(*loaded.RootList().Items(3));
  EXPECT_EQ(text.Text(), "Grüße aus %ort%");
  EXPECT_EQ(text.Format().Font.Name, "Verdana");
  EXPECT_EQ(dynamic_cast<IChapter&>(*loaded.RootList().Items(5)).ChapterText(), "Erster Tag");
  EXPECT_EQ(dynamic_cast<IText&>(*ChildrenOf(loaded.RootList().Items(5))->Items(0)).Text(),
            "im Kapitel");
  ASSERT_NE(ChildrenOf(loaded.RootList().Items(6)), nullptr);
  EXPECT_EQ(ChildrenOf(loaded.RootList().Items(6))->Count(), 0);
  const auto& particles = dynamic_cast<TParticleSlideShowObject&>(*loaded.RootList().Items(7));
  EXPECT_EQ(particles.FileCount(), 2);
  EXPECT_EQ(ChildrenOf(loaded.RootList().Items(8))->Count(), 1);
}

TEST(KindsTest, ClonesCopyEveryFieldAndCollectionsTheirChildren) {
  for (const auto& object : FilledObjects()) {
    SCOPED_TRACE(object->ClassName());
    std::unique_ptr<TSlideShowObject> copy = object->Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(ObjectBytes(*copy), ObjectBytes(*object));
    if (const TSlideShowObjectList* children = ChildrenOf(object.get())) {
      const TSlideShowObjectList* copied = ChildrenOf(copy.get());
      ASSERT_NE(copied, nullptr);
      ASSERT_EQ(copied->Count(), children->Count());
      for (int32_t i = 0; i < children->Count(); ++i) {
        EXPECT_NE(copied->Items(i), children->Items(i));
        EXPECT_EQ(ObjectBytes(*copied->Items(i)), ObjectBytes(*children->Items(i)));
        EXPECT_EQ(copied->Items(i)->Parent(), copy.get());
      }
    }
  }
  // A collection copied from one without children loses its own.
  TContainerSlideShowObject withChildren;
  withChildren.CreateChildren().Add(std::make_unique<TDummySlideShowObject>());
  withChildren.CopyFrom(TContainerSlideShowObject());
  EXPECT_EQ(withChildren.Children(), nullptr);
}

}  // namespace
}  // namespace nimbra
