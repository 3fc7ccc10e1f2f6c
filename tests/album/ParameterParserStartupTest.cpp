#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "album/ParameterParser.h"

namespace nimbra {
namespace {

using Tokens = std::vector<std::string>;

TEST(ParameterParserStartupTest, QuotedTokensKeepTheirBlanksAndLoseTheirQuotes) {
  EXPECT_EQ(TParameterParser::Tokenize(R"("C:\Program Files\nimbra.exe" "-pC:\My Album\a.kvt" -i)"),
            (Tokens{R"(C:\Program Files\nimbra.exe)", R"(-pC:\My Album\a.kvt)", "-i"}));
  EXPECT_EQ(TParameterParser::Tokenize("nimbra 'single quoted' -a"),
            (Tokens{"nimbra", "single quoted", "-a"}));
  // A quote later in the text: the text before it ends at the first blank.
  EXPECT_EQ(TParameterParser::Tokenize(R"(nimbra -t"x y" -b)"), (Tokens{"nimbra", R"(-t"x)", "y\"", "-b"}));
  EXPECT_EQ(TParameterParser::Tokenize("plain words  twice"), (Tokens{"plain", "words", "", "twice"}));
}

TEST(ParameterParserStartupTest, TheCharacterAfterAClosingQuoteIsSkippedWhateverItIs) {
  EXPECT_EQ(TParameterParser::Tokenize(R"("a"xb c)"), (Tokens{"a", "b", "c"}));
  EXPECT_EQ(TParameterParser::Tokenize(R"("a")"), (Tokens{"a"}));
}

TEST(ParameterParserStartupTest, AQuoteWithoutPartnerStaysInTheText) {
  // The double quote pairs up, so the first quote (a lone ') takes the whole rest.
  EXPECT_EQ(TParameterParser::Tokenize(R"(nimbra 'a "b" c)"), (Tokens{"nimbra", R"('a "b" c)"}));
  EXPECT_EQ(TParameterParser::Tokenize("nimbra it's -i"), (Tokens{"nimbra", "it's", "-i"}));
}

TEST(ParameterParserStartupTest, SwitchesIgnoreCaseAndTheirLeadingCharacter) {
  const TParameterParser parser(Tokens{"nimbra", "/Pshow.kvt", "-t", "-pother.kvt", "-I"});
  EXPECT_TRUE(parser.HasParameter('p'));
  EXPECT_EQ(parser.ParameterValue('p'), "show.kvt");  // the first match wins
  EXPECT_TRUE(parser.HasParameter('T'));
  EXPECT_EQ(parser.ParameterValue('t'), "");
  EXPECT_TRUE(parser.HasParameter('i'));
  EXPECT_FALSE(parser.HasParameter('a'));
  EXPECT_EQ(parser.ParameterValue('a'), "");
}

TEST(ParameterParserStartupTest, TheProgramItselfIsNeverASwitch) {
  // On Linux the program's own path starts with "/".
  EXPECT_FALSE(TParameterParser(Tokens{"/private/nimbra"}).HasParameter('p'));
  EXPECT_FALSE(TParameterParser(Tokens{"/private/nimbra", "x"}).HasParameter('p'));
  EXPECT_FALSE(TParameterParser(Tokens{}).HasParameter('p'));
}

TEST(ParameterParserStartupTest, ValuesAreCutTo255Characters) {
  const std::string name(300, 'n');
  EXPECT_EQ(TParameterParser(Tokens{"nimbra", "-p" + name}).ParameterValue('p'), name.substr(0, 255));
  // Characters, not bytes: a two-byte letter is never cut in half.
  std::string umlauts;
  for (int i = 0; i < 200; ++i) umlauts += "ä";
  const std::string value = TParameterParser(Tokens{"nimbra", "-p" + umlauts}).ParameterValue('p');
  EXPECT_EQ(value, umlauts);
  std::string longer;
  for (int i = 0; i < 300; ++i) longer += "ö";
  EXPECT_EQ(TParameterParser(Tokens{"nimbra", "-t" + longer}).ParameterValue('t'),
            longer.substr(0, 255 * 2));
}

}  // namespace
}  // namespace nimbra
