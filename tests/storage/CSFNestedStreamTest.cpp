#include <gtest/gtest.h>

#include "storage/CSFStream.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

// A parent chunk holding a nested stream of two chunks, then an integer behind it.
void WriteParentWithNested(TMemoryStream& base) {
  TCSFStreamWinTypes parent(base, CSFMode::Create);
  parent.SetFileType(1281);
  parent.SetFileVersion(800);
  parent.BeginChunk(10);
  std::unique_ptr<TCSFStream> nested = parent.OpenNestedStream(NestedKind::Write, true);
  ASSERT_NE(nested, nullptr);
  EXPECT_NE(dynamic_cast<TCSFStreamWinTypes*>(nested.get()), nullptr);
  nested->BeginChunk(1);
  nested->WriteString("inner");
  nested->EndChunk();
  nested->BeginChunk(2);
  nested->WriteInteger(7);
  nested->EndChunk();
  parent.CloseNestedStream(nested, true);
  EXPECT_EQ(nested, nullptr);
  parent.WriteInteger(1234);
  parent.EndChunk();
}

TEST(CSFNestedStreamTest, WrittenNestedStreamReadsBackAndParentContinuesBehindIt) {
  TMemoryStream base;
  WriteParentWithNested(base);

  TCSFStreamWinTypes parent(base, CSFMode::Read);
  EXPECT_EQ(parent.ChunkCount(), 1);  // the nested stream's chunks are its own
  parent.SeekToFirstChunk();
  parent.BeginReadChunk();
  std::unique_ptr<TCSFStream> nested = parent.OpenNestedStream(NestedKind::Read, false);
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(nested->FileType(), 1281);
  EXPECT_EQ(nested->FileVersion(), 800);
  EXPECT_EQ(nested->ChunkCount(), 2);
  EXPECT_EQ(nested->HeaderSize(), 32 + 21 + 16);
  nested->SeekToFirstChunk();
  int64_t start = nested->Position();
  TChunkHeader header = nested->ReadChunkHeader();
  EXPECT_EQ(header.Id, 1);
  EXPECT_EQ(nested->ReadString(), "inner");
  nested->SetPosition(start + header.Length);
  header = nested->ReadChunkHeader();
  EXPECT_EQ(header.Id, 2);
  EXPECT_EQ(nested->ReadInteger(), 7);
  EXPECT_TRUE(nested->AtEnd());
  parent.CloseNestedStream(nested, true);
  EXPECT_EQ(parent.ReadInteger(), 1234);
}

TEST(CSFNestedStreamTest, HeaderlessNestedStreamCopiesTheParentsHeader) {
  TMemoryStream base;
  TCSFStream parent(base, CSFMode::Create);
  parent.SetFileType(1289);
  parent.SetFileVersion(3);
  parent.BeginChunk(1);
  parent.EndChunk();
  std::unique_ptr<TCSFStream> nested = parent.OpenNestedStream(NestedKind::Headerless, true);
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(nested->FileType(), 1289);
  EXPECT_EQ(nested->FileVersion(), 3);
  EXPECT_EQ(nested->RunningChunkCount(), 0);
  nested->WriteInteger(5);
  parent.CloseNestedStream(nested, true);
  EXPECT_EQ(parent.Position(), 32 + 12 + 4);
}

TEST(CSFNestedStreamTest, NestedReadFailsCleanlyOnBrokenData) {
  // Too short for a header, then a header of the wrong magic.
  for (const std::string& bytes : {std::string("KRVX"), std::string(40, 'z')}) {
    TMemoryStream base(bytes);
    TCSFStream parent(base, CSFMode::HeaderlessRead);
    EXPECT_EQ(parent.OpenNestedStream(NestedKind::Read, false), nullptr);
  }
}

TEST(CSFNestedStreamTest, NestedReadWindowIsClippedToItsData) {
  TMemoryStream base;
  WriteParentWithNested(base);
  // Claim a nested stream far longer than the data: the window stops at the end of the parent.
  base.SetPosition(32 + 12 + 24);
  const int64_t huge = int64_t{1} << 40;
  base.WriteBuffer(&huge, 8);
  TCSFStream parent(base, CSFMode::Read);
  parent.SetPosition(32 + 12);
  std::unique_ptr<TCSFStream> nested = parent.OpenNestedStream(NestedKind::Read, false);
  ASSERT_NE(nested, nullptr);
  EXPECT_EQ(nested->BaseStream().Size(), base.Size() - (32 + 12));
}

}  // namespace
}  // namespace nimbra
