#include "framework/PropertiesList.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "TestBags.h"
#include "framework/KeyValueStore.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::TFailingBag;
using test::TNewerBag;
using test::TOlderBag;
using test::TTestBag;
using test::TUnknownBag;
using test::TWidthBag;

// Appends a new bag of class T, owned by the list and registered for its own class.
template <typename T>
T& AddBag(TPropertiesList& list, const std::string& caption = "") {
  return static_cast<T&>(*list.AddNew(T::StaticClass(), T::StaticClass(), caption));
}

int32_t Int32At(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return static_cast<int32_t>(value);
}

// A list stream with a header, written by the list (after `before` wrote its own chunks).
template <typename Before>
std::string WrittenList(const TPropertiesList& list, Before before) {
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Create);
  before(csf);
  EXPECT_TRUE(list.WriteToStream(csf));
  csf.Release();
  return bytes.ToString();
}

std::string WrittenList(const TPropertiesList& list) {
  return WrittenList(list, [](TCSFStreamWinTypes&) {});
}

bool ReadList(TPropertiesList& list, const std::string& bytes) {
  TMemoryStream stream(bytes);
  TCSFStreamWinTypes csf(stream, CSFMode::Read);
  return list.ReadFromStream(csf);
}

TEST(PropertiesListTest, FindsBagsByExactClassAndByNameInAnyCase) {
  TPropertiesList list;
  TProperties* derived = list.AddNew(TUnknownBag::StaticClass(), TUnknownBag::StaticClass(), "U");
  TProperties* base = list.AddNew(TTestBag::StaticClass(), TTestBag::StaticClass(), "T");
  ASSERT_NE(derived, nullptr);
  EXPECT_EQ(list.ByClass(TTestBag::StaticClass()), base);
  EXPECT_EQ(list.ByName("ttestbag"), base);
  EXPECT_EQ(list.ByName("TUNKNOWNBAG"), derived);
  EXPECT_EQ(list.ByClass(TWidthBag::StaticClass()), nullptr);
  EXPECT_EQ(list.FindItemByName("TTestBag")->Caption(), "T");
  EXPECT_EQ(list.Count(), 2);

  list.SetCaptionByClass(TTestBag::StaticClass(), "Neu");
  list.SetCaptionByName("tunknownbag", "Auch neu");
  list.SetCaptionByName("TFehlt", "niemand");
  EXPECT_EQ(list.Items(0).Caption(), "Auch neu");
  EXPECT_EQ(list.Items(1).Caption(), "Neu");
  EXPECT_THROW(list.Items(2), std::out_of_range);
}

TEST(PropertiesListTest, AddNewRefusesClassesThatMakeNoBag) {
  TPropertiesList list;
  EXPECT_EQ(list.AddNew(TPlugin::StaticClass(), TPlugin::StaticClass(), "kein Beutel"), nullptr);
  EXPECT_EQ(list.Count(), 0);
}

TEST(PropertiesListTest, ABorrowedBagOutlivesItsList) {
  TTestBag borrowed;
  {
    TPropertiesList list;
    list.Add(TTestBag::StaticClass(), borrowed, "geliehen");
    EXPECT_FALSE(list.Items(0).OwnsProperties());
    list.ResetAll();
  }
  EXPECT_EQ(borrowed.Number, 7);
}

TEST(PropertiesListTest, StreamHoldsOneCountedChunkPerBag) {
  TPropertiesList list;
  auto* bag = &AddBag<TTestBag>(list);
  bag->Number = 77;
  AddBag<TWidthBag>(list);
  const std::string bytes = WrittenList(list);

  EXPECT_EQ(Int32At(bytes, 16), 2);  // the header's chunk count
  ASSERT_EQ(bytes.substr(32, 4), "CHNK");
  EXPECT_EQ(Int32At(bytes, 36), kPropertiesListChunkId);
  const int32_t firstSize = Int32At(bytes, 40);
  EXPECT_EQ(Int32At(bytes, 44), 8);  // the class name's length
  EXPECT_EQ(bytes.substr(48, 8), "TTestBag");
  EXPECT_EQ(bytes.substr(32 + static_cast<size_t>(firstSize), 4), "CHNK");

  TPropertiesList reader;
  auto* read = &AddBag<TTestBag>(reader);
  EXPECT_TRUE(ReadList(reader, bytes));
  EXPECT_EQ(read->Number, 77);
}

TEST(PropertiesListTest, UnknownBagsAndForeignChunksAreSkipped) {
  TPropertiesList writer;
  AddBag<TUnknownBag>(writer).Number = 1;
  AddBag<TTestBag>(writer).Number = 2;
  const std::string bytes = WrittenList(writer, [](TCSFStreamWinTypes& csf) {
    csf.BeginChunk(999);
    csf.WriteString("TTestBag");
    csf.WriteInteger(-1);
    csf.EndChunk();
  });
  EXPECT_EQ(Int32At(bytes, 16), 3);

  TPropertiesList reader;
  auto* known = &AddBag<TTestBag>(reader);
  EXPECT_TRUE(ReadList(reader, bytes));
  EXPECT_EQ(known->Number, 2);
}

TEST(PropertiesListTest, AnOlderReaderSkipsWhatANewerWriterAppended) {
  TPropertiesList writer;
  auto* newer = &AddBag<TNewerBag>(writer);
  newer->First = 41;
  newer->Second = "nur neu";
  AddBag<TTestBag>(writer).Number = 42;
  const std::string bytes = WrittenList(writer);

  TPropertiesList reader;
  auto* older = &AddBag<TOlderBag>(reader);
  auto* next = &AddBag<TTestBag>(reader);
  EXPECT_TRUE(ReadList(reader, bytes));
  EXPECT_EQ(older->First, 41);
  EXPECT_EQ(next->Number, 42);
}

TEST(PropertiesListTest, ABrokenChunkHeaderEndsTheReadWithFalse) {
  TPropertiesList writer;
  AddBag<TTestBag>(writer);
  AddBag<TWidthBag>(writer).Volume = 5;
  std::string bytes = WrittenList(writer);
  const size_t second = 32 + static_cast<size_t>(Int32At(bytes, 40));
  bytes[second] = 'X';

  TPropertiesList reader;
  auto* first = &AddBag<TTestBag>(reader);
  first->Number = 0;
  auto* width = &AddBag<TWidthBag>(reader);
  EXPECT_FALSE(ReadList(reader, bytes));
  EXPECT_EQ(first->Number, 7);
  EXPECT_EQ(width->Volume, 100);
}

TEST(PropertiesListTest, EveryBagIsWrittenEvenAfterOneFails) {
  TPropertiesList list;
  AddBag<TFailingBag>(list);
  AddBag<TTestBag>(list).Number = 8;
  TMemoryStream bytes;
  TCSFStreamWinTypes csf(bytes, CSFMode::Create);
  EXPECT_FALSE(list.WriteToStream(csf));
  csf.Release();

  TPropertiesList reader;
  auto* bag = &AddBag<TTestBag>(reader);
  EXPECT_TRUE(ReadList(reader, bytes.ToString()));
  EXPECT_EQ(bag->Number, 8);
}

TEST(PropertiesListTest, FileCarriesItsTypeAndVersionAndReadsBack) {
  test::TempFolder folder;
  const std::string file = folder.File("einstellungen.dat");
  TPropertiesList list;
  AddBag<TTestBag>(list).Text = "aus der Datei";
  ASSERT_TRUE(list.SaveToFile(file));
  const std::string bytes = test::TempFolder::Read(file);
  EXPECT_EQ(bytes.substr(0, 4), "KRVX");
  EXPECT_EQ(Int32At(bytes, 12), kPropertiesListFileType);
  EXPECT_EQ(Int32At(bytes, 16), 1);
  EXPECT_EQ(Int32At(bytes, 20), kPropertiesListFileVersion);

  TPropertiesList reader;
  auto* bag = &AddBag<TTestBag>(reader);
  EXPECT_TRUE(reader.LoadFromFile(file));
  EXPECT_EQ(bag->Text, "aus der Datei");

  EXPECT_FALSE(reader.LoadFromFile(folder.File("fehlt.dat")));
  EXPECT_FALSE(reader.LoadFromFile(folder.Write("kaputt.dat", "KRVY" + std::string(28, '\0'))));
}

TEST(PropertiesListTest, AFailedSaveKeepsTheOldFile) {
  test::TempFolder folder;
  const std::string file = folder.Write("einstellungen.dat", "alter Inhalt");
  TPropertiesList list;
  AddBag<TFailingBag>(list);
  EXPECT_FALSE(list.SaveToFile(file));
  EXPECT_EQ(test::TempFolder::Read(file), "alter Inhalt");
  // No temporary file is left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST(PropertiesListTest, RegistryKeyHoldsOneValuePerBagNamedByClass) {
  test::TempFolder folder;
  TKeyValueStore store(folder.Path().string());
  TPropertiesList list;
  auto* bag = &AddBag<TTestBag>(list);
  bag->Number = 31;
  AddBag<TWidthBag>(list);
  ASSERT_TRUE(list.SaveToRegistry(store, "\\Software\\Velmora\\Nimbra\\1.x\\Liste", 0, 500));

  EXPECT_EQ(store.GetValueNames(), (std::vector<std::string>{"TTestBag", "TWidthBag"}));
  TMemoryStream expected;
  ASSERT_TRUE(bag->SaveToStream(expected, 0, 500));
  EXPECT_EQ(store.ReadBinaryData("TTestBag"), expected.ToString());
  EXPECT_EQ(store.GetDataSize("TWidthBag"), 4);

  // A value of a bag the list does not hold is left alone.
  store.WriteBinaryData("TFremd", "x");
  TPropertiesList reader;
  auto* read = &AddBag<TTestBag>(reader);
  EXPECT_TRUE(reader.LoadFromRegistry(store, "/Software/Velmora/Nimbra/1.x/Liste", 0, 500));
  EXPECT_EQ(read->Number, 31);
  EXPECT_FALSE(reader.LoadFromRegistry(store, "\\Software\\Velmora\\Fehlt", 0, 500));
}

TEST(PropertiesListTest, ADamagedValueMakesTheListLoadFalse) {
  test::TempFolder folder;
  TKeyValueStore store(folder.Path().string());
  ASSERT_TRUE(store.OpenKey("\\Liste", true));
  store.WriteBinaryData("TTestBag", std::string("\xFF\xFF\xFF\x7F", 4));
  TPropertiesList reader;
  AddBag<TTestBag>(reader);
  EXPECT_FALSE(reader.LoadFromRegistry(store, "\\Liste", 0, 0));
}

TEST(PropertiesListTest, AssignListCopiesIntoMatchingBagsAndAddsTheRest) {
  TPropertiesList source;
  AddBag<TTestBag>(source, "Test").Number = 5;
  static_cast<TWidthBag*>(
      source.AddNew(TProperties::StaticClass(), TWidthBag::StaticClass(), "Breite"))
      ->Volume = 300;

  TPropertiesList target;
  TProperties* existing = target.AddNew(TTestBag::StaticClass(), TTestBag::StaticClass(), "Eigen");
  target.AssignList(source, false);
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(target.ByClass(TTestBag::StaticClass()), existing);
  EXPECT_EQ(static_cast<TTestBag*>(existing)->Number, 5);
  EXPECT_EQ(target.Items(0).Caption(), "Eigen");
  const TPropertiesListItem& added = target.Items(1);
  EXPECT_EQ(&added.OwnerClass(), &TProperties::StaticClass());
  EXPECT_EQ(added.Caption(), "Breite");
  EXPECT_TRUE(added.OwnsProperties());
  EXPECT_EQ(static_cast<TWidthBag&>(added.Properties()).Volume, 300);
  EXPECT_NE(&added.Properties(), &source.Items(1).Properties());

  TPropertiesList cleared;
  cleared.AddNew(TUnknownBag::StaticClass(), TUnknownBag::StaticClass(), "weg");
  cleared.AssignList(source, true);
  EXPECT_EQ(cleared.Count(), 2);
  EXPECT_EQ(cleared.ByClass(TUnknownBag::StaticClass()), nullptr);
}

}  // namespace
}  // namespace nimbra
