#include <gtest/gtest.h>

#include "WireBytes.h"
#include "slideshow/SlideShowInfoProperties.h"
#include "storage/MemoryStream.h"

namespace nimbra {
namespace {

using test::TWireBytes;

std::string Stored(const TSlideShowInfoProperties& bag) {
  TMemoryStream bytes;
  EXPECT_TRUE(bag.SaveToStream(bytes, 1281, 773));
  return bytes.ToString();
}

bool Load(TSlideShowInfoProperties& bag, const std::string& bytes) {
  TMemoryStream stream(bytes);
  return bag.LoadFromStream(stream, 1281, 773);
}

std::string EveryByteValue() {
  std::string bytes;
  for (int value = 255; value >= 0; --value) bytes += static_cast<char>(value);
  return bytes;
}

TEST(SlideShowInfoPropertiesTest, StoresAuthorTitleDescriptionCopyrightThenTheExtraData) {
  TSlideShowInfoProperties bag;
  bag.SetTitle("Urlaub");
  bag.SetDescription("Zwei Wochen an der Küste");
  bag.SetCopyright("© 2004");
  bag.SetAuthor("Jörg");
  bag.SetExtraData(EveryByteValue());
  const std::string expected = TWireBytes()
                                   .Str("J\xF6rg")
                                   .Str("Urlaub")
                                   .Str("Zwei Wochen an der K\xFCste")
                                   .Str("\xA9 2004")
                                   .SubChunk(TWireBytes().Raw(EveryByteValue()))
                                   .Bytes();
  EXPECT_EQ(Stored(bag), expected);

  TSlideShowInfoProperties read;
  ASSERT_TRUE(Load(read, expected));
  EXPECT_EQ(read.Author(), "Jörg");
  EXPECT_EQ(read.Title(), "Urlaub");
  EXPECT_EQ(read.Description(), "Zwei Wochen an der Küste");
  EXPECT_EQ(read.Copyright(), "© 2004");
  EXPECT_EQ(read.ExtraData(), EveryByteValue());
  EXPECT_EQ(Stored(read), expected);
}

TEST(SlideShowInfoPropertiesTest, AnEmptyExtraDataSubChunkKeepsTheBlock) {
  TSlideShowInfoProperties bag;
  bag.SetExtraData("\x01\x02\x03");
  const std::string stored =
      TWireBytes().Str("A").Str("T").Str("D").Str("C").SubChunk(TWireBytes()).Bytes();
  ASSERT_TRUE(Load(bag, stored));
  EXPECT_EQ(bag.Author(), "A");
  EXPECT_EQ(bag.Copyright(), "C");
  EXPECT_EQ(bag.ExtraData(), "\x01\x02\x03");

  // So a copy from a bag without extra data keeps the target's block too.
  TSlideShowInfoProperties plain;
  bag.Assign(plain);
  EXPECT_EQ(bag.Author(), "");
  EXPECT_EQ(bag.ExtraData(), "\x01\x02\x03");
}

TEST(SlideShowInfoPropertiesTest, ResetClearsEveryFieldAndTheExtraData) {
  TSlideShowInfoProperties bag;
  bag.SetTitle("x");
  bag.SetDescription("y");
  bag.SetCopyright("z");
  bag.SetAuthor("w");
  bag.SetExtraData("data");
  bag.Reset();
  EXPECT_EQ(Stored(bag), Stored(TSlideShowInfoProperties()));
  EXPECT_EQ(bag.ExtraData(), "");
  EXPECT_EQ(bag.Title(), "");
}

TEST(SlideShowInfoPropertiesTest, ExtraDataReachingPastItsContainerFailsTheRead) {
  std::string stored =
      TWireBytes().Str("A").Str("T").Str("D").Str("C").Int(4000).Raw("abc").Bytes();
  TSlideShowInfoProperties bag;
  EXPECT_FALSE(Load(bag, stored));
  EXPECT_EQ(bag.Copyright(), "C");
  EXPECT_EQ(bag.ExtraData(), "");
}

}  // namespace
}  // namespace nimbra
