#include <gtest/gtest.h>

#include <string>

#include "layouts/LayoutJson.h"

namespace nimbra::test {
namespace {

// The line and reason of the error the text raises; line 0 when it raises none.
std::pair<int, std::string> ErrorOf(const std::string& text) {
  try {
    ParseLayoutJson(text);
  } catch (const ELayoutError& error) {
    return {error.Line(), error.Reason()};
  }
  return {0, {}};
}

TEST(LayoutJsonTest, ValuesKeepTheLineTheyBeginOn) {
  const TJsonValue root = ParseLayoutJson(
      "{\n"
      "  \"a\": [1, -2.5e1, 0.125],\n"
      "  \"b\": {\n"
      "    \"c\": \"x\\\"y\\u00e4\\ud83d\\ude00\",\n"
      "    \"d\": [true, false, null]\n"
      "  }\n"
      "}");
  ASSERT_EQ(root.Kind, TJsonKind::Object);
  ASSERT_EQ(root.Members.size(), 2u);
  const TJsonValue& a = *root.Find("a");
  EXPECT_EQ(a.Line, 2);
  ASSERT_EQ(a.Items.size(), 3u);
  EXPECT_EQ(a.Items[1].Number, -25.0);
  EXPECT_EQ(a.Items[2].Number, 0.125);
  const TJsonValue& b = *root.Find("b");
  EXPECT_EQ(b.Line, 3);
  EXPECT_EQ(b.Find("c")->Line, 4);
  EXPECT_EQ(b.Find("c")->Text, "x\"y\xC3\xA4\xF0\x9F\x98\x80");
  const TJsonValue& d = *b.Find("d");
  EXPECT_EQ(d.Line, 5);
  EXPECT_TRUE(d.Items[0].Boolean);
  EXPECT_EQ(d.Items[1].Kind, TJsonKind::Boolean);
  EXPECT_FALSE(d.Items[1].Boolean);
  EXPECT_EQ(d.Items[2].Kind, TJsonKind::Null);
  EXPECT_EQ(root.Find("missing"), nullptr);
}

TEST(LayoutJsonTest, MistakesNameTheirLine) {
  EXPECT_EQ(ErrorOf("{\n \"a\": 1\n \"b\": 2\n}").first, 3);  // missing comma
  EXPECT_EQ(ErrorOf("{\n \"a\": 1,\n \"a\": 2\n}"),
            (std::pair<int, std::string>{3, "\"a\" is given twice"}));
  EXPECT_EQ(ErrorOf("[1,\n2,\n]").first, 3);  // trailing comma
  EXPECT_EQ(ErrorOf("{}\n{}").first, 2);      // a second value
  EXPECT_EQ(ErrorOf("\n\n[01]").first, 3);    // leading zero
  EXPECT_EQ(ErrorOf("[1.]").first, 1);
  EXPECT_EQ(ErrorOf("[+1]").first, 1);
  EXPECT_EQ(ErrorOf("[1e999]").first, 1);                // out of range
  EXPECT_EQ(ErrorOf("{\n\"a\": \"open\n\"}").first, 2);  // text across lines
  EXPECT_EQ(ErrorOf("[\"\\ud800\"]").first, 1);          // half a character
  EXPECT_EQ(ErrorOf("[\"tab\there\"]").first, 1);        // control character
  EXPECT_EQ(ErrorOf("[tru]").first, 1);
  EXPECT_EQ(ErrorOf("").first, 1);
  EXPECT_EQ(ErrorOf("[1, 2").first, 1);
}

TEST(LayoutJsonTest, NestingAndLengthAreLimited) {
  const int depth = kMaxLayoutJsonDepth;
  EXPECT_EQ(ErrorOf(std::string(depth, '[') + std::string(depth, ']')).first, 0);
  const std::string deeper = std::string(depth + 2, '[') + std::string(depth + 2, ']');
  EXPECT_EQ(ErrorOf(deeper).first, 1);
  // A million unclosed lists must be refused without running out of stack.
  EXPECT_EQ(ErrorOf(std::string(1000000, '[')).first, 1);
  EXPECT_EQ(ErrorOf(std::string(kMaxLayoutJsonSize + 1, ' ')).first, 1);
}

}  // namespace
}  // namespace nimbra::test
