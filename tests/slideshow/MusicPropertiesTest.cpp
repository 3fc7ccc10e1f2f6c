#include <gtest/gtest.h>

#include "TempFolder.h"
#include "WireBytes.h"
#include "slideshow/MusicProperties.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::TWireBytes;

constexpr int32_t kDocumentType = 1281;

std::string Stored(const TMusicProperties& bag, int32_t version = 773) {
  TMemoryStream bytes;
  EXPECT_TRUE(bag.SaveToStream(bytes, kDocumentType, version));
  return bytes.ToString();
}

bool Load(TMusicProperties& bag, const std::string& bytes, int32_t version = 773) {
  TMemoryStream stream(bytes);
  return bag.LoadFromStream(stream, kDocumentType, version);
}

std::unique_ptr<TMusicPlayListItem> Item(const std::string& fileName, int32_t volume) {
  auto item = std::make_unique<TMusicPlayListItem>();
  item->SetFileName(fileName);
  item->SetItemVolume(volume);
  item->SetStartOffset(5000);
  item->SetEndOffset(8000);
  item->SetFadeIn(100);
  item->SetFadeOut(200);
  item->SetGapAfter(300);
  item->SetPauseBefore(400);
  item->SetFileLength(123456);
  return item;
}

void ChangeEverything(TMusicProperties& bag) {
  bag.SetMusicOn(false);
  bag.SetFadeOutAtEnd(false);
  bag.SetFadeOutDuration(4500);
  bag.SetRepeatList(false);
  bag.SetMusicVolume(300);
  bag.SetFollowShow(true);
  bag.SetDuckFadeTime(750);
  bag.SetDuckVolume(0x1234);
  bag.SetPerObjectSoundLists(true);
  TMusicPlayListItem& first = bag.PlayList().Add(Item("C:\\Musik\\Sommer.mp3", 1000));
  first.SetEnvelopeData(std::string("\x00\x01\x02\xFF", 4));
  bag.PlayList().Add(Item("wind.ogg", 17)).SetTrailingData("neu");
}

TEST(MusicPropertiesTest, DefaultsAfterConstructionAndReset) {
  TMusicProperties bag;
  EXPECT_TRUE(bag.MusicOn());
  EXPECT_TRUE(bag.FadeOutAtEnd());
  EXPECT_EQ(bag.FadeOutDuration(), 2000);
  EXPECT_TRUE(bag.RepeatList());
  EXPECT_EQ(bag.MusicVolume(), 255);
  EXPECT_FALSE(bag.FollowShow());
  EXPECT_EQ(bag.DuckFadeTime(), 300);
  EXPECT_EQ(bag.DuckVolume(), 40);
  EXPECT_TRUE(bag.PlayList().Empty());
  EXPECT_FALSE(bag.PerObjectSoundLists());
  EXPECT_EQ(bag.SlideShow(), nullptr);

  const std::string defaults = Stored(bag);
  ChangeEverything(bag);
  bag.Reset();
  EXPECT_EQ(Stored(bag), defaults);
  EXPECT_TRUE(bag.PlayList().Empty());
}

TEST(MusicPropertiesTest, StoresItsFieldsAndItemsInTheirOrder) {
  TMusicProperties bag;
  ChangeEverything(bag);
  const auto item = [](const std::string& name, int32_t volume, const TWireBytes& envelope,
                       const TWireBytes& trailing) {
    return TWireBytes()
        .Str(name)
        .Int(volume)
        .Int(5000)
        .Int(8000)
        .Int(100)
        .Int(200)
        .Int(300)
        .Int(123456)
        .Int(400)
        .SubChunk(envelope)
        .SubChunk(trailing);
  };
  const std::string expected =
      TWireBytes()
          .Byte(0)
          .Byte(0)
          .Int(4500)
          .Byte(0)
          .Int(300)
          .Byte(1)
          .Int(750)
          .Int(0x1234)
          .SubChunk(TWireBytes()
                        .Int(2)
                        .SubChunk(item("C:\\Musik\\Sommer.mp3", 1000,
                                       TWireBytes().Raw(std::string("\x00\x01\x02\xFF", 4)),
                                       TWireBytes()))
                        .SubChunk(item("wind.ogg", 17, TWireBytes(), TWireBytes().Raw("neu"))))
          .Byte(1)
          .Bytes();
  EXPECT_EQ(Stored(bag), expected);

  TMusicProperties read;
  ASSERT_TRUE(Load(read, expected));
  EXPECT_EQ(Stored(read), expected);
  ASSERT_EQ(read.PlayList().Count(), 2);
  const TMusicPlayListItem& first = read.PlayList().Items(0);
  EXPECT_EQ(first.FileName(), "C:\\Musik\\Sommer.mp3");
  EXPECT_EQ(first.ItemVolume(), 1000);
  EXPECT_EQ(first.PauseBefore(), 400);
  EXPECT_EQ(first.FileLength(), 123456);
  EXPECT_EQ(first.EnvelopeData(), std::string("\x00\x01\x02\xFF", 4));
  EXPECT_EQ(read.PlayList().Items(1).TrailingData(), "neu");
  EXPECT_EQ(read.MusicVolume(), 300);
  EXPECT_EQ(read.DuckVolume(), 0x1234);
  EXPECT_TRUE(read.PerObjectSoundLists());
}

TEST(MusicPropertiesTest, Version771HoldsByteVolumesAndShortItems) {
  const auto item = [](const std::string& name, uint8_t volume) {
    return TWireBytes().Str(name).Byte(volume).Int(1).Int(2).Int(3).Int(4).Int(5).Int(6);
  };
  const std::string old =
      TWireBytes()
          .Byte(1)
          .Byte(1)
          .Int(2500)
          .Byte(1)
          .Byte(200)
          .Byte(0)
          .Int(310)
          .Int(41)
          .SubChunk(TWireBytes().Int(2).SubChunk(item("a.wav", 180)).SubChunk(item("b.wav", 255)))
          .Byte(1)
          .Bytes();
  TMusicProperties bag;
  bag.PlayList().Add(Item("vorher.wav", 1));
  ASSERT_TRUE(Load(bag, old, 771));
  EXPECT_EQ(bag.FadeOutDuration(), 2500);
  EXPECT_EQ(bag.MusicVolume(), 200);
  EXPECT_EQ(bag.DuckFadeTime(), 310);
  EXPECT_EQ(bag.DuckVolume(), 41);
  EXPECT_TRUE(bag.PerObjectSoundLists());
  ASSERT_EQ(bag.PlayList().Count(), 2);  // the list was emptied first
  const TMusicPlayListItem& first = bag.PlayList().Items(0);
  EXPECT_EQ(first.FileName(), "a.wav");
  EXPECT_EQ(first.ItemVolume(), 180);
  EXPECT_EQ(first.StartOffset(), 1);
  EXPECT_EQ(first.GapAfter(), 5);
  EXPECT_EQ(first.FileLength(), 6);
  EXPECT_EQ(first.PauseBefore(), 0);
  EXPECT_FALSE(first.HasEnvelope());
  EXPECT_EQ(bag.PlayList().Items(1).ItemVolume(), 255);

  // Version 772 already has the 32-bit music volume, and 32-bit item volumes too.
  TMusicProperties current;
  ChangeEverything(current);
  TMusicProperties read;
  ASSERT_TRUE(Load(read, Stored(current, 772), 772));
  EXPECT_EQ(read.MusicVolume(), 300);
  EXPECT_EQ(read.PlayList().Items(0).ItemVolume(), 1000);
}

TEST(MusicPropertiesTest, CopiesReadBackEverythingButTheDocumentLink) {
  TMusicProperties source;
  ChangeEverything(source);
  source.SetSlideShow(reinterpret_cast<TSlideShow*>(&source));
  TMusicProperties copy;
  copy.Assign(source);
  EXPECT_EQ(Stored(copy), Stored(source));
  EXPECT_EQ(copy.SlideShow(), nullptr);
  EXPECT_EQ(copy.PlayList().Items(0).PauseBefore(), 400);
  EXPECT_EQ(copy.PlayList().Items(0).EnvelopeData(), std::string("\x00\x01\x02\xFF", 4));

  const std::unique_ptr<TProperties> clone = source.Clone();
  auto* music = dynamic_cast<TMusicProperties*>(clone.get());
  ASSERT_NE(music, nullptr);
  EXPECT_EQ(Stored(*music), Stored(source));
}

TEST(MusicPropertiesTest, BackgroundMusicIsActiveOnlyWithFadeOutAndItems) {
  TMusicProperties bag;
  EXPECT_FALSE(bag.BackgroundMusicActive());
  bag.PlayList().Add(Item("a.mp3", 255));
  EXPECT_TRUE(bag.BackgroundMusicActive());
  bag.SetFadeOutAtEnd(false);
  EXPECT_FALSE(bag.BackgroundMusicActive());
}

TEST(MusicPlayListTest, AnItemThatFailsIsKeptAndFailsTheList) {
  const std::string stored =
      TWireBytes()
          .SubChunk(TWireBytes()
                        .Int(2)
                        .SubChunk(TWireBytes().Str("kurz.wav").Int(90).Int(7))  // cut short
                        .SubChunk(TWireBytes()
                                      .Str("ganz.wav")
                                      .Int(80)
                                      .Int(1)
                                      .Int(2)
                                      .Int(3)
                                      .Int(4)
                                      .Int(5)
                                      .Int(6)
                                      .Int(7)
                                      .SubChunk(TWireBytes())
                                      .SubChunk(TWireBytes())))
          .Bytes();
  TMemoryStream bytes(stored);
  TCSFStreamWinTypes stream(bytes, CSFMode::HeaderlessRead);
  stream.SetFileType(kDocumentType);
  stream.SetFileVersion(773);
  TMusicPlayList list;
  stream.BeginReadSubChunk();
  EXPECT_FALSE(list.ReadItems(stream));
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0).FileName(), "kurz.wav");
  EXPECT_EQ(list.Items(0).StartOffset(), 7);
  EXPECT_EQ(list.Items(1).FileName(), "ganz.wav");
  EXPECT_EQ(list.Items(1).PauseBefore(), 7);
}

TEST(MusicPlayListTest, AHostileItemCountFailsAtOnce) {
  const std::string stored = TWireBytes().Int(0x7FFFFFFF).SubChunk(TWireBytes()).Bytes();
  TMemoryStream bytes(stored);
  TCSFStreamWinTypes stream(bytes, CSFMode::HeaderlessRead);
  TMusicPlayList list;
  EXPECT_FALSE(list.ReadItems(stream));
  EXPECT_EQ(list.Count(), 0);
}

TEST(MusicPlayListTest, PlayListFilesKeepTheirItems) {
  const test::TempFolder folder;
  TMusicPlayList list;
  list.Add(Item("eins.mp3", 1000)).SetEnvelopeData("kurve");
  list.Add(Item("zwei.mp3", 20));
  const std::string path = folder.File("liste.kpl");
  ASSERT_TRUE(list.SaveToFile(path));

  TCSFFileWinTypes file(path, CSFMode::Read);
  EXPECT_EQ(file.FileType(), kMusicPlayListFileType);
  EXPECT_EQ(file.FileVersion(), kMusicPlayListFileVersion);
  EXPECT_EQ(file.ChunkCount(), 1);

  TMusicPlayList read;
  read.Add(Item("alt.mp3", 1));
  ASSERT_TRUE(read.LoadFromFile(path));
  ASSERT_EQ(read.Count(), 2);
  EXPECT_EQ(read.Items(0).ItemVolume(), 1000);
  EXPECT_EQ(read.Items(0).EnvelopeData(), "kurve");
  EXPECT_EQ(read.Items(1).FileName(), "zwei.mp3");
  EXPECT_EQ(read.Items(1).PauseBefore(), 400);
}

TEST(MusicPlayListTest, AFileOfAnotherTypeLoadsAsAnEmptyList) {
  const test::TempFolder folder;
  const std::string path = folder.File("fremd.kpl");
  {
    TCSFFileWinTypes file(path, CSFMode::Create);
    file.SetFileType(1287);
    file.SetFileVersion(256);
    file.BeginChunk(kMusicPlayListChunkId);
    file.WriteInteger(1);
    file.EndChunk();
    file.Release();
  }
  TMusicPlayList list;
  list.Add(Item("alt.mp3", 1));
  EXPECT_TRUE(list.LoadFromFile(path));
  EXPECT_TRUE(list.Empty());
  EXPECT_FALSE(list.LoadFromFile(folder.File("fehlt.kpl")));
}

}  // namespace
}  // namespace nimbra
