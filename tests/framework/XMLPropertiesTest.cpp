#include "framework/XMLProperties.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace nimbra {
namespace {

// A bag that publishes two properties: a title (escaped) and a colour written as "$RRGGBB".
class TPosterProperties : public TXMLProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  std::string Title = "Ohne Titel";
  std::string Colour = "$000000";

 protected:
  std::vector<TXMLProperty> PublishedProperties() const override {
    auto* self = const_cast<TPosterProperties*>(this);
    return {{"Title", [this] { return Title; }, [self](const std::string& v) { self->Title = v; }},
            {"Colour", [this] { return Colour; },
             [self](const std::string& v) { self->Colour = v; }, false}};
  }
};

NIMBRA_DEFINE_PLUGIN(TPosterProperties, TXMLProperties)

TEST(XMLPropertiesTest, EscapingKeepsOnlyItsSafeCharacters) {
  EXPECT_EQ(XMLEscape("a<b"), "a&#x3C;b");
  EXPECT_EQ(XMLDecode("a&#x3C;b"), "a<b");
  const std::string safe = " !,-./0189:;=AZaz[\\]_";
  EXPECT_EQ(XMLEscape(safe), safe);
  // Other characters by their 8-bit codes, German letters included.
  EXPECT_EQ(XMLEscape("Größe & 100%"), "Gr&#xF6;&#xDF;e &#x26; 100&#x25;");
  EXPECT_EQ(XMLDecode("Gr&#xF6;&#xDF;e &#x26; 100&#x25;"), "Größe & 100%");
  EXPECT_EQ(XMLDecode("&#x3c;"), "<");
  // Sequences that are not complete stay as they are.
  EXPECT_EQ(XMLDecode("&#x3;&#3C;&amp;"), "&#x3;&#3C;&amp;");
}

TEST(XMLPropertiesTest, DecodingTrimsAndTakesCDataVerbatim) {
  EXPECT_EQ(XMLDecode("  \r\n wert&#x20;\t"), "wert");
  EXPECT_EQ(XMLDecode("<![CDATA[a <b> &#x26; c]]>"), "a <b> &#x26; c");
  EXPECT_EQ(XMLDecode("\r\n <![CDATA[ x ]]> "), "x");
}

TEST(XMLPropertiesTest, ABagWithoutPublishedPropertiesIsAnEmptyElement) {
  const TXMLProperties bag;
  EXPECT_EQ(bag.XMLElementName(), "XMLProperties");
  EXPECT_EQ(bag.XMLText(), "");
  EXPECT_EQ(bag.DocumentXML(), "<XMLProperties></XMLProperties>");
  EXPECT_EQ(bag.PropertyNames(), "");
  EXPECT_EQ(bag.DTD(), "");
}

TEST(XMLPropertiesTest, PublishedPropertiesMakeTheElementBody) {
  TPosterProperties poster;
  poster.Title = "Sommer <2004>";
  poster.Colour = "$FF8000";
  EXPECT_EQ(poster.DocumentXML(),
            "<PosterProperties><Title>Sommer &#x3C;2004&#x3E;</Title>\r\n"
            "<Colour>$FF8000</Colour></PosterProperties>");
  EXPECT_EQ(poster.PropertyNames(), "Title, Colour");
  EXPECT_EQ(poster.DTD(), "<!ELEMENT Title(#PCDATA)>\r\n<!ELEMENT Colour(#PCDATA)>");

  TPosterProperties copy;
  copy.SetXML(poster.DocumentXML());
  EXPECT_EQ(copy.Title, "Sommer <2004>");
  EXPECT_EQ(copy.Colour, "$FF8000");
}

TEST(XMLPropertiesTest, SetXMLFindsItsElementPastDeclarations) {
  TPosterProperties poster;
  poster.SetXML(
      "<!DOCTYPE PosterProperties [ <!ELEMENT Title(#PCDATA)> ]>\r\n"
      "<?xml version=\"1.0\"?>\r\n"
      "<Plakat><posterproperties>\r\n"
      "  <TITLE> <![CDATA[Herbst & Winter]]> </TITLE>\r\n"
      "</POSTERPROPERTIES></Plakat>");
  EXPECT_EQ(poster.Title, "Herbst & Winter");
  EXPECT_EQ(poster.Colour, "$000000");  // not in the document: unchanged

  poster.SetXML("<PosterProperties/>");
  EXPECT_EQ(poster.Title, "Herbst & Winter");
}

TEST(XMLPropertiesTest, BrokenDocumentsAreReportedAsSuch) {
  TPosterProperties poster;
  const std::string broken[] = {"<Anderes></Anderes>", "<PosterProperties><Title>x</Title>",
                                "<PosterProperties><Title>x</PosterProperties>",
                                "<!DOCTYPE x [", "<PosterProperties"};
  for (const std::string& document : broken) {
    try {
      poster.SetXML(document);
      ADD_FAILURE() << "accepted: " << document;
    } catch (const EXMLError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("Error Processing XML -", 0), 0u) << e.what();
    }
  }
  EXPECT_EQ(poster.Title, "Ohne Titel");
}

TEST(XMLPropertiesTest, FilesAreEightBitTextAndAMissingOneChangesNothing) {
  test::TempFolder folder;
  TPosterProperties poster;
  poster.Colour = "$ÄÖ";  // written unescaped, so its letters show the file's encoding
  const std::string file = folder.File("plakat.xml");
  poster.SaveXMLToFile(file);
  const std::string bytes = test::TempFolder::Read(file);
  EXPECT_NE(bytes.find("<Colour>$\xC4\xD6</Colour>"), std::string::npos);

  TPosterProperties read;
  EXPECT_EQ(read.LoadXMLFromFile(file), poster.DocumentXML());
  EXPECT_EQ(read.Colour, "$ÄÖ");
  EXPECT_EQ(read.LoadXMLFromFile(folder.File("fehlt.xml")), "");
  EXPECT_EQ(read.Colour, "$ÄÖ");
}

}  // namespace
}  // namespace nimbra
