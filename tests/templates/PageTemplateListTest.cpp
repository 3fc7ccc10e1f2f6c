#include <gtest/gtest.h>

#include <vector>

#include "TemplateTestClasses.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"
#include "templates/ChunkScope.h"
#include "templates/PageTemplateList.h"

namespace nimbra {
namespace {

TPageTemplate& AddTemplate(TPageTemplateList& list, const std::string& name = {}) {
  auto pageTemplate = std::make_unique<TPrintWizardPageTemplate>();
  TPageTemplate& added = *pageTemplate;
  added.Properties().SetName(name);
  list.Add(std::move(pageTemplate));
  return added;
}

std::vector<uint32_t> IDs(const TPageTemplateList& list) {
  std::vector<uint32_t> ids;
  for (int32_t i = 0; i < list.Count(); ++i) ids.push_back(list.Items(i)->ID());
  return ids;
}

TEST(PageTemplateListTest, ArrivingTemplatesGetTheNextID) {
  TPageTemplateList list;
  EXPECT_EQ(list.NextID(), 1u);
  AddTemplate(list);
  AddTemplate(list);
  TPageTemplate& third = AddTemplate(list);
  EXPECT_EQ(IDs(list), (std::vector<uint32_t>{1, 2, 3}));
  third.SetID(7);
  AddTemplate(list);
  EXPECT_EQ(IDs(list), (std::vector<uint32_t>{1, 2, 7, 8}));
  // The arriving template counts too, and IDs compare unsigned.
  auto inserted = std::make_unique<TPageTemplate>();
  inserted->SetID(0x80000000u);
  list.Insert(0, std::move(inserted));
  EXPECT_EQ(list.Items(0)->ID(), 0x80000001u);
  list.Items(0)->SetID(0xFFFFFFFFu);
  EXPECT_EQ(list.NextID(), 1u);
  EXPECT_EQ(list.Items(1)->GetTemplateList(), &list);
}

TEST(PageTemplateListTest, FindByIDReturnsTheFirstMatch) {
  TPageTemplateList list;
  AddTemplate(list, "a");
  AddTemplate(list, "b").SetID(5);
  AddTemplate(list, "c").SetID(5);
  EXPECT_EQ(list.FindByID(5)->Properties().Name(), "b");
  EXPECT_EQ(list.FindByID(1)->Properties().Name(), "a");
  EXPECT_EQ(list.FindByID(2), nullptr);
}

TEST(PageTemplateListTest, StoredIDsReplaceTheFreshOnes) {
  test::TTestClassRegistration registration;
  TPageTemplateList source;
  AddTemplate(source, "a").SetID(9);
  AddTemplate(source, "b").SetID(4);
  TMemoryStream buffer;
  {
    TCSFStreamWinTypes stream(buffer, CSFMode::Create);
    ASSERT_TRUE(source.WriteList(stream, 0));
    stream.Release();
  }
  TCSFStreamWinTypes stream(buffer, CSFMode::Read);
  const TChunkHeader header = stream.BeginReadChunk();
  EXPECT_EQ(header.Id, kTemplateListChunkId);
  TPageTemplateList copy;
  ASSERT_TRUE(copy.ReadList(stream));
  EXPECT_EQ(IDs(copy), (std::vector<uint32_t>{9, 4}));
  EXPECT_EQ(copy.Items(1)->Properties().Name(), "b");
  EXPECT_NE(dynamic_cast<TPrintWizardPageTemplate*>(copy.Items(0)), nullptr);
}

TEST(PageTemplateListTest, UnknownTemplateClassesAndForeignChunksAreSkipped) {
  test::TTestClassRegistration registration;
  TMemoryStream buffer;
  {
    TCSFStreamWinTypes stream(buffer, CSFMode::Create);
    TPageTemplateList list;
    AddTemplate(list, "vorher");
    ASSERT_TRUE(list.WriteItems(stream));
    {
      TWriteChunk unknown(stream, kTemplateChunkId);
      stream.WriteString("TUnbekannteVorlage");
      stream.WriteString("Daten, die niemand liest");
      unknown.End();
    }
    {
      TWriteChunk foreign(stream, 999);
      stream.WriteInteger(1);
      foreign.End();
    }
    TPageTemplate& last = AddTemplate(list, "nachher");
    ASSERT_TRUE(list.WriteItem(stream, last, 0));
    stream.Release();
  }
  TCSFStreamWinTypes stream(buffer, CSFMode::Read);
  TPageTemplateList copy;
  EXPECT_TRUE(copy.ReadItems(stream));
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(copy.Items(0)->Properties().Name(), "vorher");
  EXPECT_EQ(copy.Items(1)->Properties().Name(), "nachher");
}

TEST(PageTemplateListTest, TemplatesMoveAndCopyBetweenLists) {
  test::TTestClassRegistration registration;
  TPageTemplateList from;
  TPageTemplateList to;
  AddTemplate(from, "a");
  AddTemplate(from, "b");
  AddTemplate(to, "x");
  ASSERT_TRUE(to.AddTemplates(from, -1, true));
  EXPECT_EQ(from.Count(), 2);
  EXPECT_EQ(IDs(to), (std::vector<uint32_t>{1, 2, 3}));
  ASSERT_TRUE(to.AddTemplates(from, 1, false));
  EXPECT_EQ(from.Count(), 0);
  ASSERT_EQ(to.Count(), 5);
  EXPECT_EQ(to.Items(1)->Properties().Name(), "a");
  EXPECT_EQ(to.Items(2)->Properties().Name(), "b");
  EXPECT_EQ(to.Items(1)->GetTemplateList(), &to);
}

}  // namespace
}  // namespace nimbra
