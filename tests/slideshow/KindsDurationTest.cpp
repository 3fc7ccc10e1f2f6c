// How long each kind lasts: its own time or the document's default, sounds by their length and the
// music's fades, chapters and parallel groups by their active children, the composite by its sound.
#include <gtest/gtest.h>

#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/CompositeSlideShowObject.h"
#include "slideshow/DummySlideShowObject.h"
#include "slideshow/MusicProperties.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowProperties.h"
#include "slideshow/SoundSlideShowObject.h"

namespace nimbra {
namespace {

template <typename T>
T& AddTo(TSlideShowObjectList& list) {
  auto object = std::make_unique<T>();
  T& added = *object;
  list.Add(std::move(object));
  return added;
}

TEST(KindsDurationTest, PlayableDurationFallsBackOnTheDocumentsDefault) {
  TDummySlideShowObject outside;
  EXPECT_EQ(outside.Duration(), 0);
  EXPECT_FALSE(outside.HasOwnDuration());

  TSlideShow document;
  document.SlideShowProperties().SetDefaultDisplayTime(7000);
  auto& inside = AddTo<TDummySlideShowObject>(document.RootList());
  EXPECT_EQ(inside.Duration(), 7000);
  inside.SetDuration(1234);
  EXPECT_EQ(inside.Duration(), 1234);
  EXPECT_TRUE(inside.HasOwnDuration());
}

TEST(KindsDurationTest, SoundLastsFromItsStartPositionPlusTheMusicsFades) {
  TSoundSlideShowObject sound;
  sound.SetSoundLength(60000);
  sound.SetStartPosition(10000);
  sound.SetLowerMusic(false);
  EXPECT_EQ(sound.Duration(), 50000);
  sound.SetLowerMusic(true);  // outside a document the music settings' default fade time 300
  EXPECT_EQ(sound.Duration(), 50600);

  TSlideShow document;
  document.SlideShowProperties().SetDefaultDisplayTime(8000);
  document.MusicProperties().SetDuckFadeTime(1000);
  auto& inside = AddTo<TSoundSlideShowObject>(document.RootList());
  inside.SetSoundLength(60000);
  inside.SetStartPosition(10000);
  EXPECT_EQ(inside.Duration(), 52000);
  // Not following the sound: the display time, still cut where the sound ends.
  inside.SetDurationFollowsSound(false);
  inside.SetLowerMusic(false);
  EXPECT_EQ(inside.Duration(), 8000);
  inside.SetStartPosition(55000);
  EXPECT_EQ(inside.Duration(), 5000);
  inside.SetStartPosition(70000);
  EXPECT_EQ(inside.Duration(), 0);
  // An unmeasured sound counts as long as the display time.
  inside.SetSoundLength(kUnknownSoundLength);
  inside.SetDurationFollowsSound(true);
  inside.SetStartPosition(3000);
  EXPECT_EQ(inside.Duration(), 5000);
}

TEST(KindsDurationTest, ParallelGroupLastsUntilItsLatestActiveChildEnds) {
  TParallelSlideShowObject group;
  EXPECT_EQ(group.Duration(), 0);
  TSlideShowObjectList& children = group.CreateChildren();
  auto& first = AddTo<TDummySlideShowObject>(children);
  first.SetDuration(5000);
  auto& second = AddTo<TDummySlideShowObject>(children);
  second.SetStartDelay(3000);
  second.SetDuration(4000);
  auto& inactive = AddTo<TDummySlideShowObject>(children);
  inactive.SetDuration(20000);
  inactive.SetActive(false);
  EXPECT_EQ(group.Duration(), 7000);
}

TEST(KindsDurationTest, ChapterLastsAsLongAsItsActiveChildrenTogether) {
  TContainerSlideShowObject chapter;
  chapter.SetDuration(99999);  // its own time does not count
  EXPECT_EQ(chapter.Duration(), 0);
  TSlideShowObjectList& children = chapter.CreateChildren();
  AddTo<TDummySlideShowObject>(children).SetDuration(2000);
  auto& inner = AddTo<TContainerSlideShowObject>(children);
  AddTo<TDummySlideShowObject>(inner.CreateChildren()).SetDuration(1500);
  auto& inactive = AddTo<TDummySlideShowObject>(children);
  inactive.SetDuration(4000);
  inactive.SetActive(false);
  EXPECT_EQ(chapter.Duration(), 3500);
}

TEST(KindsDurationTest, CompositeFollowsAMeasuredSoundAndAddsFadesOnlyWithASound) {
  TSlideShow document;
  document.SlideShowProperties().SetDefaultDisplayTime(6000);
  auto& composite = AddTo<TPicTextSoundCompositeSlideShowObject>(document.RootList());
  composite.SetSoundLength(9000);
  EXPECT_EQ(composite.Duration(), 6000);  // no sound file: neither its length nor fades
  composite.SetSoundFileName("ton.wav");
  EXPECT_EQ(composite.Duration(), 9600);
  composite.SetDurationFollowsSound(false);
  EXPECT_EQ(composite.Duration(), 6600);
  composite.SetLowerMusic(false);
  EXPECT_EQ(composite.Duration(), 6000);
}

TEST(KindsDurationTest, CompositeBuildsASoundPartOnlyWithASoundFile) {
  TSlideShow document;
  document.SlideShowProperties().SetDefaultDisplayTime(6000);
  auto& composite = AddTo<TPicTextSoundCompositeSlideShowObject>(document.RootList());
  EXPECT_TRUE(composite.BuildParts().empty());

  composite.SetSoundFileName("ton.wav");
  composite.SetSoundLength(4000);
  composite.SetDurationFollowsSound(false);
  composite.SetLowerMusic(false);
  composite.SetVolume(99);
  composite.SetEndMode(0);
  composite.SetFadeOutTime(77);
  composite.SetStartTime(1200);
  ASSERT_EQ(composite.BuildParts().size(), 1u);
  const auto* sound = dynamic_cast<const TSoundSlideShowObject*>(composite.Parts()[0].get());
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->GetStoredFileName(), "ton.wav");
  EXPECT_EQ(sound->StoredDuration(), 6000);
  EXPECT_EQ(sound->StartTime(), 1200);
  // A measured sound shorter than the composite decides the part's length.
  EXPECT_TRUE(sound->DurationFollowsSound());
  EXPECT_FALSE(sound->LowerMusic());
  EXPECT_EQ(sound->Volume(), 99);
  EXPECT_EQ(sound->EndMode(), 0);
  EXPECT_EQ(sound->FadeOutTime(), 1000);
  EXPECT_EQ(sound->SoundLength(), kUnknownSoundLength);
  EXPECT_EQ(sound->SlideShow(), &document);

  composite.SetSoundLength(8000);
  ASSERT_EQ(composite.BuildParts().size(), 1u);
  EXPECT_FALSE(
      dynamic_cast<const TSoundSlideShowObject&>(*composite.Parts()[0]).DurationFollowsSound());
  composite.SetSoundFileName("");
  EXPECT_TRUE(composite.BuildParts().empty());
}

}  // namespace
}  // namespace nimbra
