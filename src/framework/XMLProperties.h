// A settings bag that can also show itself as XML and take its values back from XML. The XML view
// covers the properties a class publishes (names with accessors); the render-engine settings
// derive from it. No bag of this program publishes any, so their XML is an empty element, while
// their stored form is that of every other bag.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Interface.h"
#include "framework/Properties.h"
#include "storage/NimbraError.h"

namespace nimbra {

// Raised for XML text that cannot be taken apart.
class EXMLError : public ENimbraError {
 public:
  using ENimbraError::ENimbraError;
};

// A property a class publishes for its XML view.
struct TXMLProperty {
  std::string Name;
  // The value as text; escaped on the way out unless Escaped is false.
  std::function<std::string()> Get;
  // Takes the decoded element content.
  std::function<void(const std::string&)> Set;
  bool Escaped = true;
  std::string ContentModel = "#PCDATA";
};

class IXMLProperties : public virtual IInterface {
 public:
  virtual std::string XML() const = 0;
  virtual std::string PropertyNames() const = 0;
  virtual std::string XMLText() const = 0;
  virtual std::string DocumentXML() const = 0;
  virtual std::string LoadXMLFromFile(const std::string& fileName) = 0;
  virtual void SaveXMLToFile(const std::string& fileName) const = 0;
  virtual void SetXMLText(const std::string& body) = 0;
  virtual std::string DTD() const = 0;
  virtual void SetXML(const std::string& document) = 0;
};

class TXMLProperties : public TProperties, public IXMLProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // One line per published property: "<Name>" + encoded value + "</Name>", joined by CR LF.
  std::string XMLText() const override;
  // Sets each published property from its element in the body.
  void SetXMLText(const std::string& body) override;
  // The class name without its leading "T".
  virtual std::string XMLElementName() const;

  std::string XML() const override { return DocumentXML(); }
  std::string PropertyNames() const override;
  // The element of this bag: its name around XMLText.
  std::string DocumentXML() const override;
  // Reads the file (8-bit text) and hands it to SetXML; a missing file changes nothing and gives
  // empty text. Yields the text read.
  std::string LoadXMLFromFile(const std::string& fileName) override;
  // Writes DocumentXML as 8-bit text without byte-order mark, replacing the file; raises
  // EStreamError when it cannot.
  void SaveXMLToFile(const std::string& fileName) const override;
  std::string DTD() const override;
  // Finds this bag's element in a document (skipping a leading DOCTYPE block and "?xml" tags) and
  // hands its content to SetXMLText; raises EXMLError when there is none.
  void SetXML(const std::string& document) override;

 protected:
  // The properties this class publishes, in declaration order; none here.
  virtual std::vector<TXMLProperty> PublishedProperties() const { return {}; }
};

// Every character but space, "!", ",", "-", ".", "/", digits, ":", ";", "=", ASCII letters, "[",
// "\", "]" and "_" becomes "&#xHH;" with its 8-bit (Windows-1252) code in upper-case hex.
std::string XMLEscape(std::string_view value);
// Element content back to its value: "&#xHH;" sequences become their characters, content starting
// with "<![CDATA[" is taken verbatim up to its last three characters, and the result is trimmed.
std::string XMLDecode(std::string_view content);

}  // namespace nimbra
