#include <gtest/gtest.h>

#include "storage/FileMask.h"
#include "storage/TextCase.h"
#include "storage/Windows1252.h"

namespace nimbra {
namespace {

TEST(TextTest, EveryWindows1252ByteHasItsOwnCharacter) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::string text = Windows1252ToUtf8(all);
  EXPECT_EQ(Utf8ToWindows1252(text), all);
  EXPECT_EQ(Windows1252ToUtf8("\x80\x9F\xE4"), "€Ÿä");
  EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xC2\x81");  // unassigned: its control character
}

TEST(TextTest, CharactersWithoutAByteBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToWindows1252("写真 ü"), "?? \xFC");
  EXPECT_EQ(Utf8ToWindows1252("bad\xC3"), "bad?");
  EXPECT_EQ(Utf8ToWindows1252("\xE0\x80\x80"), "?");  // overlong form
}

TEST(TextTest, CaseIgnoresTheGermanLetters) {
  EXPECT_EQ(UpperCase("straße über öl"), "STRAßE ÜBER ÖL");
  EXPECT_EQ(LowerCase("ÄÖÜ Ÿ Œ"), "äöü ÿ œ");
  EXPECT_TRUE(SameText("Über.JPG", "über.jpg"));
  EXPECT_FALSE(SameText("uber.jpg", "über.jpg"));
  EXPECT_LT(CompareText("apfel", "Birne"), 0);
  EXPECT_GT(CompareText("abc", "AB"), 0);
}

TEST(TextTest, MasksMatchLikeAFileDialog) {
  EXPECT_TRUE(MatchesMask("Photo.JPG", "*.jpg"));
  EXPECT_TRUE(MatchesMask("a.b.c", "*.c"));
  EXPECT_FALSE(MatchesMask("photo.jpeg", "*.jpg"));
  EXPECT_TRUE(MatchesMask("img7.png", "img?.png"));
  EXPECT_FALSE(MatchesMask("img.png", "img?.png"));
  EXPECT_TRUE(MatchesMask("b1.tif", "[a-c]*"));
  EXPECT_TRUE(MatchesMask("B1.tif", "[a-c]*"));
  EXPECT_FALSE(MatchesMask("d1.tif", "[a-c]*"));
  EXPECT_TRUE(MatchesMask("d1.tif", "[!a-c]*"));
  EXPECT_TRUE(MatchesMask("Ärger.txt", "ä*"));
  // A star gives back whole characters, not bytes of one.
  EXPECT_TRUE(MatchesMask("Öl-ÄÄ.txt", "*ä.txt"));
  EXPECT_TRUE(MatchesMask("Öl-ÄÄ.txt", "*-?ä.*"));
  EXPECT_FALSE(MatchesMask("Öl-ÄÖ.txt", "*ä.txt"));
  EXPECT_TRUE(MatchesMask("", "*"));
  EXPECT_FALSE(MatchesMask("x", "[x"));  // an unclosed set matches nothing
  // Many stars against a long near-miss must not take exponential time.
  EXPECT_FALSE(MatchesMask(std::string(5000, 'a'), "*a*a*a*a*a*a*a*a*b"));
}

}  // namespace
}  // namespace nimbra
