// The stored layouts of the object kinds against byte sequences assembled from their tables, the
// version rules of their readers, and stored data passed over for now surviving a read and a write.
#include <gtest/gtest.h>

#include "KindsTestSupport.h"
#include "slideshow/CollectionSlideShowObject.h"
#include "slideshow/CompositeSlideShowObject.h"
#include "slideshow/DummySlideShowObject.h"
#include "slideshow/MergeSlideShowObject.h"
#include "slideshow/ParticleSlideShowObject.h"
#include "slideshow/PicSlideShowObject.h"
#include "slideshow/RandomTransitionPlugin.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SoundSlideShowObject.h"
#include "slideshow/TextSlideShowObject.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::NewBitmapBytes;
using test::NewExtBitmapBytes;
using test::NewPlayableBytes;
using test::ObjectBytes;
using test::ReadObjectBytes;
using test::TWireBytes;

// The simple text's fields of a new object, after the playable ones.
TWireBytes& NewTextFields(TWireBytes& bytes, uint8_t position, const TDoubleRect& rect) {
  bytes.Str("");
  test::Font(bytes, "Arial", 20);
  bytes.Int(-1).Int(static_cast<int32_t>(0xFF000000u)).Byte(3).Byte(0).Byte(1).Byte(position);
  for (double value : {rect.Left, rect.Top, rect.Right, rect.Bottom}) test::Double(bytes, value);
  return bytes;
}

TEST(KindsLayoutTest, NewObjectsWriteTheirDefaultsInTableOrder) {
  TWireBytes dummy = NewPlayableBytes();
  dummy.SubChunk(TWireBytes().Str(""));
  EXPECT_EQ(ObjectBytes(TDummySlideShowObject()), dummy.Bytes());

  TWireBytes sound = NewPlayableBytes();
  sound.Str("").Int(-1).Byte(1).Byte(1).Int(255).Byte(1).Int(1000).Int(0).SubChunk(TWireBytes());
  EXPECT_EQ(ObjectBytes(TSoundSlideShowObject()), sound.Bytes());

  // An extended picture without curves: four sub-chunks holding only the flag 0, then the
  // random transition's entry.
  TWireBytes picture = NewExtBitmapBytes();
  picture.Str("").Byte(0);
  EXPECT_EQ(ObjectBytes(TExtPicSlideShowObject()), picture.Bytes());

  TWireBytes text = NewPlayableBytes();
  NewTextFields(text, 3, {0.25, 0.25, 0.75, 0.75});
  for (int chunk = 0; chunk < 5; ++chunk) text.SubChunk(TWireBytes());
  EXPECT_EQ(ObjectBytes(TTextSlideShowObject()), text.Bytes());

  TWireBytes composite = NewBitmapBytes();
  composite.Str("").Byte(0);
  composite.SubChunk(TWireBytes().Int(1).Str("TRandomTransitionPlugin").Byte(1).Int(2000));
  TWireBytes compositeText;
  NewTextFields(compositeText, 2, {0, 0, 0, 0}).Byte(1);
  composite.SubChunk(compositeText);
  composite.SubChunk(TWireBytes().Str("").Int(-1).Byte(1).Byte(1).Int(255).Byte(1).Int(1000));
  EXPECT_EQ(ObjectBytes(TPicTextSoundCompositeSlideShowObject()), composite.Bytes());

  TWireBytes chapter = NewPlayableBytes();
  chapter.Str("");
  EXPECT_EQ(ObjectBytes(TContainerSlideShowObject()), chapter.Bytes());
  EXPECT_EQ(ObjectBytes(TParallelSlideShowObject()), chapter.Bytes());

  TWireBytes particles = NewExtBitmapBytes();
  particles.Str("").Int(20);
  for (float value : {4.712389f, 0.1f, 0.0f, 0.1f}) test::Single(particles, value);
  particles.Byte(1);
  for (float value : {0.1f, 0.5f}) test::Single(particles, value);
  EXPECT_EQ(ObjectBytes(TParticleSlideShowObject()), particles.Bytes());

  TWireBytes collage = NewExtBitmapBytes();
  collage.SubChunk(TWireBytes().Str(""));
  EXPECT_EQ(ObjectBytes(TMergeSlideShowObject()), collage.Bytes());
}

TEST(KindsLayoutTest, PlaceholderOf772HasNoTextAndGetsItsSubChunkWhenWrittenAgain) {
  TWireBytes stored = NewPlayableBytes();
  stored.Raw(std::string("\x88\x13\x00\x00", 4));  // the next object's bytes, not a text
  TDummySlideShowObject fresh;
  const test::TReadOutcome outcome = ReadObjectBytes(fresh, stored.Bytes(), 772);
  EXPECT_TRUE(outcome.Read);
  EXPECT_EQ(outcome.Unread, 4);
  EXPECT_EQ(fresh.Text(), "");
  EXPECT_EQ(fresh.DisplayName(), "Dummy");

  fresh.SetText("Pause");
  EXPECT_EQ(fresh.DisplayName(), "Dummy: Pause");
  TWireBytes rewritten = NewPlayableBytes();
  rewritten.SubChunk(TWireBytes().Str("Pause"));
  EXPECT_EQ(ObjectBytes(fresh), rewritten.Bytes());
}

TEST(KindsLayoutTest, SoundReadersFollowTheDocumentVersion) {
  // Version 769: nothing after the end mode.
  TWireBytes old = NewPlayableBytes();
  old.Str("a.wav").Int(60000).Byte(0).Byte(0).Int(128).Byte(0);
  TSoundSlideShowObject sound;
  sound.SetFadeOutTime(5);  // only a reader that takes the field changes it
  test::TReadOutcome outcome = ReadObjectBytes(sound, old.Bytes(), 769);
  EXPECT_TRUE(outcome.Read);
  EXPECT_EQ(outcome.Unread, 0);
  EXPECT_EQ(sound.FadeOutTime(), 5);
  TSoundSlideShowObject fresh;
  ReadObjectBytes(fresh, old.Bytes(), 769);
  EXPECT_EQ(fresh.FadeOutTime(), 1000);
  EXPECT_EQ(fresh.StartPosition(), 0);
  EXPECT_EQ(fresh.VolumeCurveData(), "");
  EXPECT_EQ(fresh.GetStoredFileName(), "a.wav");
  EXPECT_EQ(fresh.SoundLength(), 60000);
  EXPECT_FALSE(fresh.DurationFollowsSound());
  EXPECT_EQ(fresh.Volume(), 128);
  EXPECT_EQ(fresh.EndMode(), 0);

  // Version 771 adds the fade-out time only; 772 the start position and the curve.
  TWireBytes v771 = old;
  v771.Int(750);
  TSoundSlideShowObject middle;
  outcome = ReadObjectBytes(middle, v771.Bytes(), 771);
  EXPECT_EQ(outcome.Unread, 0);
  EXPECT_EQ(middle.FadeOutTime(), 750);
  TWireBytes v772 = v771;
  v772.Int(10000).SubChunk(TWireBytes().Raw("curve"));
  TSoundSlideShowObject newest;
  outcome = ReadObjectBytes(newest, v772.Bytes(), 772);
  EXPECT_EQ(outcome.Unread, 0);
  EXPECT_EQ(newest.StartPosition(), 10000);
  EXPECT_EQ(newest.VolumeCurveData(), "curve");
}

TEST(KindsLayoutTest, ParallelCollageAndCompositeReadersFollowTheDocumentVersion) {
  TWireBytes parallel = NewPlayableBytes();
  TParallelSlideShowObject group;
  EXPECT_EQ(ReadObjectBytes(group, parallel.Bytes(), 770).Unread, 0);
  parallel.Str("Gruppe");
  EXPECT_EQ(ReadObjectBytes(group, parallel.Bytes(), 771).Unread, 0);
  EXPECT_EQ(group.Text(), "Gruppe");

  TWireBytes collage = NewExtBitmapBytes();
  TMergeSlideShowObject merge;
  EXPECT_EQ(ReadObjectBytes(merge, collage.Bytes(), 772).Unread, 0);
  EXPECT_EQ(merge.Text(), "");

  // Before 770 the composite's sound sub-chunk ends after the end mode.
  TWireBytes older = NewBitmapBytes();
  older.Str("bild.jpg").Byte(2);
  older.SubChunk(TWireBytes().Int(0));
  TWireBytes olderText;
  olderText.Str("Hallo");
  test::Font(olderText, "Arial", 20);
  olderText.Int(-1).Int(static_cast<int32_t>(0xFF000000u)).Byte(3).Byte(0).Byte(1).Byte(2);
  for (int side = 0; side < 4; ++side) test::Double(olderText, 0.0);
  olderText.Byte(1);
  older.SubChunk(olderText);
  older.SubChunk(TWireBytes().Str("ton.wav").Int(-1).Byte(1).Byte(1).Int(255).Byte(1));
  TPicTextSoundCompositeSlideShowObject read;
  const test::TReadOutcome outcome = ReadObjectBytes(read, older.Bytes(), 769);
  EXPECT_TRUE(outcome.Read);
  EXPECT_EQ(outcome.Unread, 0);
  EXPECT_EQ(read.Text(), "Hallo");
  EXPECT_EQ(read.SoundFileName(), "ton.wav");
  EXPECT_EQ(read.Transition(), nullptr);
  EXPECT_EQ(read.ExifState(), 2);
  EXPECT_EQ(read.FadeOutTime(), 1000);
}

// Stored data of classes that come later (time curves, a transition kind, events with actions and
// a bag, a text effect) in the forms they take, ending with bytes a reader must not lose.
std::string CurveBytes(bool presenceFlag) {
  TWireBytes curve;
  if (presenceFlag) curve.Int(1);
  curve.Int(2).Str("TTimeIntegerValue").Int(0).Byte(1).Int(0).Int(1000).Byte(0).Int(255);
  return curve.Bytes();
}

std::string EventBytes() {
  TWireBytes events;
  events.Int(2);
  events.SubChunk(
      TWireBytes()
          .Str("TSlideShowObjectEventObjectStarted")
          .Int(1)
          .SubChunk(TWireBytes().Str("TFadeSoundAction").Int(1).Int(200).Int(2000).Byte(3))
          .Int(0));
  events.SubChunk(TWireBytes().Str("TUnknownEvent").Raw("whatever it holds"));
  return events.Bytes();
}

TEST(KindsLayoutTest, PassedOverDataSurvivesReadAndWriteByteForByte) {
  test::TKindsRegistry kinds;
  TSlideShow document;
  auto picture = std::make_unique<TExtPicSlideShowObject>();
  picture->SetEventData(EventBytes());
  picture->SetCurveData(TCurveKind::Opacity, CurveBytes(true));
  picture->SetCurveData(TCurveKind::PositionPath, CurveBytes(true));
  picture->SetTransitionData(TWireBytes().Int(1).Str("TFancyTransition").Raw("fancy").Bytes());
  EXPECT_EQ(picture->Transition(), nullptr);
  auto text = std::make_unique<TTextSlideShowObject>();
  text->SetCurveData(TCurveKind::Zoom, CurveBytes(false));
  text->SetEffectData(
      TWireBytes().Str("Welle").SubChunk(TWireBytes()).SubChunk(TWireBytes()).Bytes());
  auto sound = std::make_unique<TSoundSlideShowObject>();
  sound->SetVolumeCurveData(CurveBytes(false));
  sound->SetEventData(EventBytes());
  document.RootList().Add(std::move(picture));
  document.RootList().Add(std::move(text));
  document.RootList().Add(std::move(sound));

  TMemoryStream first;
  ASSERT_TRUE(document.SaveToStream(first));
  TSlideShow loaded;
  TMemoryStream input(first.ToString());
  ASSERT_EQ(loaded.LoadFromStream(input), TSlideShowLoad::Loaded);
  ASSERT_EQ(loaded.RootList().Count(), 3);
  const auto* readPicture = dynamic_cast<TExtPicSlideShowObject*>(loaded.RootList().Items(0));
  ASSERT_NE(readPicture, nullptr);
  EXPECT_EQ(readPicture->EventCount(), 2);
  EXPECT_TRUE(readPicture->HasCurve(TCurveKind::Opacity));
  EXPECT_FALSE(readPicture->HasCurve(TCurveKind::Rotation));
  TMemoryStream second;
  ASSERT_TRUE(loaded.SaveToStream(second));
  EXPECT_EQ(second.ToString(), first.ToString());
}

TEST(KindsLayoutTest, EventListsThatDoNotFitFailTheRead) {
  TWireBytes claimsMore = NewPlayableBytes();
  std::string bytes = claimsMore.Bytes();
  bytes.replace(bytes.size() - 4, 4, std::string("\x00\x00\x01\x00", 4));  // 65536 events
  TDummySlideShowObject object;
  EXPECT_FALSE(ReadObjectBytes(object, bytes).Read);

  TWireBytes cutShort;
  cutShort.Byte(1).Int(-1).Int(-1).Int(0).Str("").Int(1).Int(40).Raw("short");
  EXPECT_FALSE(ReadObjectBytes(object, cutShort.Bytes()).Read);

  // A negative count stands for no events; its bytes stay as they were.
  TWireBytes negative;
  negative.Byte(1).Int(-1).Int(-1).Int(0).Str("").Int(-3).SubChunk(TWireBytes().Str("x"));
  EXPECT_TRUE(ReadObjectBytes(object, negative.Bytes()).Read);
  EXPECT_EQ(object.EventCount(), 0);
  EXPECT_EQ(ObjectBytes(object), negative.Bytes());
}

}  // namespace
}  // namespace nimbra
