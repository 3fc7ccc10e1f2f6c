#include "storage/FileList.h"

#include <gtest/gtest.h>

namespace nimbra {
namespace {

TFileList MakeList(std::initializer_list<const char*> names) {
  TFileList list;
  for (const char* name : names) list.Add(std::make_unique<TPackageFileListItem>(name));
  return list;
}

std::vector<std::string> Names(const TFileList& list) {
  std::vector<std::string> names;
  for (const TPackageFileListItem* item : list) names.push_back(item->FileName);
  return names;
}

TEST(FileListTest, FindByNameIgnoresCaseAndTheFirstWins) {
  TFileList list = MakeList({"show.kvt", "Oriel.cfg", "ORIEL.CFG", "Fotos\\Ölberg.JPG"});
  EXPECT_EQ(list.FindByName("oriel.cfg"), list.Items(1));
  EXPECT_EQ(list.FindByName("fotos\\ölberg.jpg"), list.Items(3));
  EXPECT_EQ(list.FindByName("cfg"), nullptr);
  EXPECT_EQ(list.FindByName("show"), nullptr);
  // A filtered list finds its own records; an emptied list none.
  const auto configs = list.Filter("*.cfg");
  EXPECT_EQ(configs->FindByName("ORIEL.cfg"), list.Items(1));
  EXPECT_EQ(configs->FindByName("show.kvt"), nullptr);
  list.Clear();
  EXPECT_EQ(list.FindByName("show.kvt"), nullptr);
}

TEST(FileListTest, FilterMatchesFileNamePartsAndKeepsOrder) {
  TFileList list = MakeList({"a.jpg", "b.PNG", "dir\\c.jpg", "d.kvt", "e.png"});
  const auto pictures = list.Filter("*.jpg\r\n*.png\n");
  EXPECT_EQ(Names(*pictures), (std::vector<std::string>{"a.jpg", "b.PNG", "dir\\c.jpg", "e.png"}));
  // Filtered lists point at the records of their source.
  EXPECT_EQ(pictures->First(), list.Items(0));
  EXPECT_EQ(pictures->Last(), list.Items(4));
  EXPECT_EQ(Names(*list.FilterList({"?.kvt", "[c-d]*"})),
            (std::vector<std::string>{"dir\\c.jpg", "d.kvt"}));
  EXPECT_EQ(list.Filter("")->Count(), 0);
  EXPECT_EQ(list.FirstMatch("*.PNG"), list.Items(1));
  EXPECT_EQ(list.FirstMatch("c.jpg"), list.Items(2));
  EXPECT_EQ(list.FirstMatch("*.gif"), nullptr);
  EXPECT_EQ(list.Items(5), nullptr);
  EXPECT_EQ(TFileList().First(), nullptr);
}

}  // namespace
}  // namespace nimbra
