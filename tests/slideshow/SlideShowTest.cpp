#include <gtest/gtest.h>

#include <map>

#include "SlideShowTestKinds.h"
#include "TempFolder.h"
#include "slideshow/MusicPlayList.h"
#include "slideshow/MusicProperties.h"
#include "slideshow/SlideShow.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "slideshow/SlideShowProperties.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

class SlideShowTest : public ::testing::Test {
 protected:
  static std::string Save(const TSlideShow& document) {
    TMemoryStream bytes;
    EXPECT_TRUE(document.SaveToStream(bytes));
    return bytes.ToString();
  }

  static TSlideShowLoad Load(TSlideShow& document, const std::string& bytes) {
    TMemoryStream stream(bytes);
    return document.LoadFromStream(stream);
  }

  // The texts of the tree in depth-first order, children in brackets.
  static std::string Outline(const TSlideShowObjectList& list) {
    std::string text;
    for (int32_t i = 0; i < list.Count(); ++i) {
      if (i > 0) text += ' ';
      text += TextOf(list.Items(i));
      if (const TSlideShowObjectList* children = ChildrenOf(list.Items(i))) {
        text += "[" + Outline(*children) + "]";
      }
    }
    return text;
  }

  TTestKindsRegistration kinds;
};

TEST_F(SlideShowTest, HeaderWithoutChunksLoadsEmpty) {
  TSlideShow document;
  EXPECT_EQ(Load(document, TRawSlideShowWriter().Finish()), TSlideShowLoad::Loaded);
  EXPECT_EQ(document.RootList().Count(), 0);
  EXPECT_FALSE(document.Modified());
}

TEST_F(SlideShowTest, NewDocumentHoldsItsThreeBagsInStoredOrder) {
  TSlideShow document;
  const TPropertiesList& bags = document.PropertiesList();
  ASSERT_EQ(bags.Count(), 3);
  EXPECT_EQ(&bags.Items(0).Properties(), &document.SlideShowProperties());
  EXPECT_EQ(&bags.Items(1).Properties(), &document.MusicProperties());
  EXPECT_EQ(&bags.Items(2).Properties(), &document.SlideShowInfoProperties());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(bags.Items(i).Caption(), "Vistra");
    EXPECT_EQ(&bags.Items(i).OwnerClass(), &TSlideShow::StaticClass());
  }
  EXPECT_EQ(document.MusicProperties().SlideShow(), &document);
}

TEST_F(SlideShowTest, BagChunkOfAnotherClassIsPassedOver) {
  TSlideShowInfoProperties info;
  info.SetAuthor("Ich");
  TSlideShow document;
  EXPECT_EQ(Load(document, TRawSlideShowWriter().Bag(TProperties()).Bag(info).Finish()),
            TSlideShowLoad::Loaded);
  EXPECT_EQ(document.SlideShowInfoProperties().Author(), "Ich");
}

TEST_F(SlideShowTest, DocumentLoopSkipsTheChunksTheSequenceConsumed) {
  // Root count 2: a chapter with one child, then a second root object, then the marker.
  const std::string bytes = TRawSlideShowWriter()
                                .Sequence(2)
                                .Object(TTestChapter("K"))
                                .Sequence(1)
                                .Object(TTestLeaf("K1"))
                                .Object(TTestLeaf("Z"))
                                .Chunk(kMarkerChunkId)
                                .Finish();
  TSlideShow document;
  // Were the four consumed chunks read again, the nested sequence would land in the root list.
  EXPECT_EQ(Load(document, bytes), TSlideShowLoad::LoadedWithMarker);
  EXPECT_EQ(Outline(document.RootList()), "K[K1] Z");
  EXPECT_EQ(document.TotalObjectCount(), 3);
  EXPECT_EQ(document.RootList().Items(1)->Index(), 1);
  // Every object read reported its read.
  EXPECT_TRUE(document.Modified());

  int32_t counter = 0;
  TMemoryStream stream(bytes);
  TCSFStreamWinTypes csf(stream, CSFMode::Read);
  TSlideShowObjectList list;
  csf.SeekToFirstChunk();
  EXPECT_EQ(list.ReadObjects(csf, 0, counter, -1, 0), 4);
  EXPECT_EQ(counter, 4);
}

TEST_F(SlideShowTest, UnregisteredClassIsSkipped) {
  const std::string bytes = TRawSlideShowWriter()
                                .Sequence(3)
                                .Object(TTestLeaf("A"))
                                .Object(TTestUnregisteredChapter("?"))
                                .Object(TTestLeaf("B"))
                                .Finish();
  TSlideShow document;
  EXPECT_EQ(Load(document, bytes), TSlideShowLoad::Loaded);
  ASSERT_EQ(document.RootList().Count(), 2);
  EXPECT_EQ(Outline(document.RootList()), "A B");
  EXPECT_EQ(document.RootList().Items(0)->Index(), 0);
  EXPECT_EQ(document.RootList().Items(1)->Index(), 1);
}

TEST_F(SlideShowTest, ChildrenOfAnUnknownContainerArePassedOver) {
  // An unregistered chapter with a nested subtree between two known objects, more root objects
  // behind it, and an unregistered chapter with children as the last child of a known one.
  const std::string bytes = TRawSlideShowWriter()
                                .Sequence(4)
                                .Object(TTestLeaf("A"))
                                .Object(TTestUnregisteredChapter("?"))
                                .Sequence(2)
                                .Object(TTestChapter("?1"))
                                .Sequence(1)
                                .Object(TTestLeaf("?1a"))
                                .Object(TTestLeaf("?2"))
                                .Object(TTestChapter("K"))
                                .Sequence(2)
                                .Object(TTestLeaf("K1"))
                                .Object(TTestUnregisteredChapter("?"))
                                .Sequence(1)
                                .Object(TTestLeaf("?3"))
                                .Object(TTestLeaf("Z"))
                                .Chunk(kMarkerChunkId)
                                .Finish();
  TSlideShow document;
  EXPECT_EQ(Load(document, bytes), TSlideShowLoad::LoadedWithMarker);
  EXPECT_EQ(Outline(document.RootList()), "A K[K1] Z");
}

TEST_F(SlideShowTest, EmptyChildListSurvivesTheRoundTrip) {
  TSlideShow document;
  AddNew<TTestChapter>(document.RootList(), "leer").CreateChildren();
  AddNew<TTestChapter>(document.RootList(), "ohne");
  TSlideShow read;
  ASSERT_EQ(Load(read, Save(document)), TSlideShowLoad::Loaded);
  ASSERT_NE(ChildrenOf(read.RootList().Items(0)), nullptr);
  EXPECT_TRUE(ChildrenOf(read.RootList().Items(0))->Empty());
  EXPECT_EQ(ChildrenOf(read.RootList().Items(1)), nullptr);
}

TEST_F(SlideShowTest, NestedChaptersAndBagsRoundTripByteForByte) {
  TSlideShow document;
  TTestChapter& one = AddNew<TTestChapter>(document.RootList(), "1");
  AddNew<TTestLeaf>(one.CreateChildren(), "1.1", 4000);
  TTestChapter& deep = AddNew<TTestChapter>(*one.Children(), "1.2");
  AddNew<TTestLeaf>(deep.CreateChildren(), "1.2.1").SetActive(false);
  AddNew<TTestLeaf>(document.RootList(), "2");
  document.SlideShowInfoProperties().SetTitle("Urlaub");
  // Every byte value, so that no text conversion slips in on the way.
  std::string extra;
  for (int value = 0; value < 256; ++value) extra += static_cast<char>(value);
  document.SlideShowInfoProperties().SetExtraData(extra);
  document.SlideShowProperties().SetDefaultDisplayTime(7000);
  document.MusicProperties().SetFadeOutDuration(1234);
  for (const char* fileName : {"C:\\Musik\\eins.mp3", "zwei.ogg"}) {
    auto item = std::make_unique<TMusicPlayListItem>();
    item->SetFileName(fileName);
    document.MusicProperties().PlayList().Add(std::move(item));
  }
  document.MusicProperties().PlayList().Items(1).SetGapAfter(250);
  document.MusicProperties().PlayList().Items(1).SetFileLength(183000);

  const std::string bytes = Save(document);
  TSlideShow read;
  ASSERT_EQ(Load(read, bytes), TSlideShowLoad::Loaded);
  EXPECT_EQ(Outline(read.RootList()), "1[1.1 1.2[1.2.1]] 2");
  EXPECT_FALSE(read.RootList().ObjectByPath(TPath{0, 1, 0})->Active());
  EXPECT_EQ(read.SlideShowInfoProperties().Title(), "Urlaub");
  EXPECT_EQ(read.SlideShowInfoProperties().ExtraData(), extra);
  EXPECT_EQ(read.SlideShowProperties().DefaultDisplayTime(), 7000);
  EXPECT_EQ(read.MusicProperties().FadeOutDuration(), 1234);
  EXPECT_EQ(read.MusicProperties().SlideShow(), &read);
  const TMusicPlayList& playList = read.MusicProperties().PlayList();
  ASSERT_EQ(playList.Count(), 2);
  EXPECT_EQ(playList.Items(0).FileName(), "C:\\Musik\\eins.mp3");
  EXPECT_EQ(playList.Items(1).FileName(), "zwei.ogg");
  EXPECT_EQ(playList.Items(1).GapAfter(), 250);
  EXPECT_EQ(playList.Items(1).FileLength(), 183000);
  EXPECT_EQ(Save(read), bytes);
}

TEST_F(SlideShowTest, OldVersionsAndOtherFileTypesAreRefused) {
  TSlideShow document;
  EXPECT_EQ(Load(document, TRawSlideShowWriter(767).Sequence(1).Object(TTestLeaf("A")).Finish()),
            TSlideShowLoad::TooOld);
  EXPECT_EQ(Load(document, TRawSlideShowWriter(773, 1289).Sequence(1).Object(TTestLeaf("A")).Finish()),
            TSlideShowLoad::NotReadable);
  EXPECT_EQ(Load(document, "KRVX, but nothing else"), TSlideShowLoad::NotReadable);
  EXPECT_EQ(document.RootList().Count(), 0);
  EXPECT_EQ(Load(document, TRawSlideShowWriter(768).Sequence(1).Object(TTestLeaf("A")).Finish()),
            TSlideShowLoad::Loaded);
  EXPECT_EQ(document.RootList().Count(), 1);
}

TEST_F(SlideShowTest, MarkerIsKeptAndWrittenFirst) {
  TSlideShow document;
  ASSERT_EQ(Load(document, TRawSlideShowWriter()
                               .Sequence(1)
                               .Object(TTestLeaf("A"))
                               .Chunk(kMarkerChunkId)
                               .Finish()),
            TSlideShowLoad::LoadedWithMarker);
  EXPECT_TRUE(document.Marker());
  const std::string bytes = Save(document);
  // The first chunk behind the 32-byte header: "CHNK", id 1028, length 12.
  EXPECT_EQ(bytes.substr(32, 12), std::string("CHNK\x04\x04\0\0\x0c\0\0\0", 12));
  TSlideShow read;
  EXPECT_EQ(Load(read, bytes), TSlideShowLoad::LoadedWithMarker);
  EXPECT_EQ(Load(read, Save(TSlideShow())), TSlideShowLoad::Loaded);
  EXPECT_FALSE(read.Marker());
}

TEST_F(SlideShowTest, TruncatedStreamKeepsWhatWasRead) {
  TSlideShow document;
  for (const char* text : {"A", "B", "C"}) AddNew<TTestLeaf>(document.RootList(), text);
  std::string bytes = Save(document);
  bytes.resize(bytes.size() - 3);
  TSlideShow read;
  EXPECT_EQ(Load(read, bytes), TSlideShowLoad::NotReadable);
  EXPECT_EQ(Outline(read.RootList()), "A B");
}

TEST_F(SlideShowTest, HostileNestingAndCountsEndCleanly) {
  TRawSlideShowWriter deep;
  deep.Sequence(1);
  for (int level = 0; level < 1000; ++level) deep.Object(TTestChapter("x")).Sequence(1);
  deep.Object(TTestLeaf("Boden"));
  TSlideShow document;
  EXPECT_EQ(Load(document, deep.Finish()), TSlideShowLoad::NotReadable);
  EXPECT_LE(document.TotalObjectCount(), kMaxObjectNesting);

  // A count far beyond the chunks present reads what is there.
  TSlideShow counted;
  EXPECT_EQ(Load(counted, TRawSlideShowWriter()
                              .Sequence(0x7FFFFFFF)
                              .Object(TTestLeaf("A"))
                              .Object(TTestLeaf("B"))
                              .Finish()),
            TSlideShowLoad::Loaded);
  EXPECT_EQ(Outline(counted.RootList()), "A B");

  // A sequence chunk too short to hold its count.
  TSlideShow shortSequence;
  EXPECT_EQ(Load(shortSequence, TRawSlideShowWriter().Chunk(kSequenceChunkId).Finish()),
            TSlideShowLoad::NotReadable);
}

TEST_F(SlideShowTest, ObjectsReadAtAnInsertPositionAreRecordedWhenAsked) {
  TSlideShow source;
  AddNew<TTestLeaf>(source.RootList(), "X");
  AddNew<TTestLeaf>(source.RootList(), "Y");
  TMemoryStream bytes;
  ASSERT_TRUE(source.RootList().SaveToStream(bytes));

  TSlideShow document;
  AddNew<TTestLeaf>(document.RootList(), "A");
  AddNew<TTestLeaf>(document.RootList(), "B");
  bytes.SetPosition(0);
  EXPECT_EQ(document.RootList().LoadFromStream(bytes, 1, kReadObjectsNotify), 2);
  EXPECT_EQ(Outline(document.RootList()), "A X Y B");
  std::vector<TPath> inserted;
  for (int32_t i = 0; i < document.Updates().Count(); ++i) {
    const TUpdateRecord& record = document.Updates().Items(i);
    if (record.Kind == TUpdateKind::Inserted) inserted.push_back(record.Path);
  }
  EXPECT_EQ(inserted, (std::vector<TPath>{TPath{1}, TPath{2}}));
  // A stream without a sequence adds nothing.
  TMemoryStream none;
  EXPECT_EQ(document.RootList().LoadFromStream(none), 0);
}

TEST_F(SlideShowTest, CloneIsADeepAndIndependentCopy) {
  TSlideShow document;
  AddNew<TTestLeaf>(AddNew<TTestChapter>(document.RootList(), "K").CreateChildren(), "K1");
  document.SlideShowInfoProperties().SetAuthor("Ich");
  document.SetFileName("/tmp/album/show.kvt");
  document.Modify(7);
  std::unique_ptr<TSlideShow> copy = document.Clone();
  EXPECT_EQ(Save(*copy), Save(document));
  EXPECT_EQ(copy->FileName(), "/tmp/album/show.kvt");
  EXPECT_TRUE(copy->Modified());
  EXPECT_EQ(copy->MusicProperties().SlideShow(), copy.get());
  TSlideShowObject* copiedChild = copy->RootList().ObjectByPath(TPath{0, 0});
  ASSERT_NE(copiedChild, nullptr);
  EXPECT_EQ(copiedChild->SlideShow(), copy.get());
  document.RootList().Clear();
  EXPECT_EQ(TextOf(copiedChild), "K1");
}

TEST_F(SlideShowTest, ModifiedFlagAndItsEvents) {
  TSlideShow document;
  std::vector<int32_t> codes;
  int flagChanges = 0;
  int nameChanges = 0;
  document.OnModify = [&](TObject*, int32_t code) { codes.push_back(code); };
  document.OnModifiedChange = [&](TObject*) { ++flagChanges; };
  document.OnFileNameChange = [&](TObject*) { ++nameChanges; };
  document.Modify(5);
  document.Modify(6);
  document.SetModified(false, 0);
  document.SetFileName("x.kvt");
  EXPECT_EQ(codes, (std::vector<int32_t>{5, 6, 0}));
  EXPECT_EQ(flagChanges, 2);
  EXPECT_EQ(nameChanges, 1);
  EXPECT_FALSE(document.Modified());
}

TEST_F(SlideShowTest, SavesFilesWhole) {
  test::TempFolder folder;
  TSlideShow document;
  AddNew<TTestLeaf>(document.RootList(), "A");
  const std::string file = folder.File("show.kvt");
  ASSERT_TRUE(document.SaveToFile(file));
  TSlideShow read;
  EXPECT_EQ(read.LoadFromFile(file), TSlideShowLoad::Loaded);
  EXPECT_EQ(Outline(read.RootList()), "A");
  EXPECT_EQ(read.LoadFromFile(folder.File("missing.kvt")), TSlideShowLoad::NotReadable);
  EXPECT_FALSE(document.SaveToFile(folder.File("no/such/folder/show.kvt")));
  // The object list alone makes a file of objects only.
  ASSERT_TRUE(document.RootList().SaveToFile(folder.File("objects.kvt")));
  TSlideShow objectsOnly;
  EXPECT_EQ(objectsOnly.LoadFromFile(folder.File("objects.kvt")), TSlideShowLoad::Loaded);
  EXPECT_EQ(Outline(objectsOnly.RootList()), "A");
}

TEST_F(SlideShowTest, ShuffleOfOneObjectChangesNothing) {
  TSlideShow document;
  TTestLeaf& only = AddNew<TTestLeaf>(document.RootList(), "A");
  document.Shuffle();
  EXPECT_EQ(document.RootList().First(), &only);
  EXPECT_EQ(only.Index(), 0);
}

TEST_F(SlideShowTest, ShuffleIsUniformAndReachesChildren) {
  TSlideShow document;
  for (const char* text : {"A", "B", "C"}) AddNew<TTestLeaf>(document.RootList(), text);
  TTestChapter& chapter = AddNew<TTestChapter>(document.RootList(), "K");
  for (const char* text : {"1", "2", "3"}) AddNew<TTestLeaf>(chapter.CreateChildren(), text);
  std::mt19937 random(4711);
  std::map<std::string, int> orders;
  std::map<std::string, int> childOrders;
  constexpr int kRuns = 12000;
  for (int run = 0; run < kRuns; ++run) {
    document.Shuffle(random);
    std::string order;
    for (int32_t i = 0; i < 4; ++i) {
      order += TextOf(document.RootList().Items(i));
      EXPECT_EQ(document.RootList().Items(i)->Index(), i);
    }
    ++orders[order];
    ++childOrders[Outline(*chapter.Children())];
  }
  // 24 orders of four objects, each expected 500 times; 6 orders of the children.
  EXPECT_EQ(orders.size(), 24u);
  for (const auto& [order, count] : orders) EXPECT_NEAR(count, kRuns / 24, 110) << order;
  EXPECT_EQ(childOrders.size(), 6u);
  for (const auto& [order, count] : childOrders) EXPECT_NEAR(count, kRuns / 6, 200) << order;
}

}  // namespace
}  // namespace nimbra
