#include "framework/XMLProperties.h"

#include <filesystem>

#include "storage/AtomicFile.h"
#include "storage/FileStream.h"
#include "storage/TextCase.h"
#include "storage/Windows1252.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TXMLProperties, TProperties)

namespace {

constexpr std::string_view kCDataStart = "<![CDATA[";
constexpr std::string_view kCDataEnd = "]]>";
constexpr std::string_view kDocTypeStart = "<!DOCTYPE ";
// An XML view of settings is small; the bound keeps a foreign file from being read whole.
constexpr int64_t kMaxXMLFileSize = 16 * 1024 * 1024;

bool PassesUnescaped(unsigned char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case ' ': case '!': case ',': case '-': case '.': case '/': case ':': case ';': case '=':
    case '[': case '\\': case ']': case '_':
      return true;
    default: return false;
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// The position of needle in text from `from` on, comparing ASCII letters without regard to case.
size_t FindNoCase(std::string_view text, std::string_view needle, size_t from) {
  if (needle.size() > text.size()) return std::string_view::npos;
  for (size_t at = from; at + needle.size() <= text.size(); ++at) {
    if (SameTextAscii(text.substr(at, needle.size()), needle)) return at;
  }
  return std::string_view::npos;
}

[[noreturn]] void Fail(const std::string& why) { throw EXMLError("Error Processing XML - " + why); }

// The content of the element that starts with the tag at `open` (which ends at `close`).
std::string_view ElementContent(std::string_view text, std::string_view name, size_t close,
                                 bool selfClosing) {
  if (selfClosing) return {};
  const std::string closing = "</" + std::string(name) + ">";
  const size_t end = FindNoCase(text, closing, close + 1);
  if (end == std::string_view::npos) Fail("element <" + std::string(name) + "> is not closed");
  return text.substr(close + 1, end - close - 1);
}

}  // namespace

std::string XMLEscape(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : Utf8ToWindows1252(value)) {
    const auto code = static_cast<unsigned char>(c);
    if (PassesUnescaped(code)) {
      out.push_back(c);
    } else {
      out += "&#x";
      out.push_back(kHex[code >> 4]);
      out.push_back(kHex[code & 0x0F]);
      out.push_back(';');
    }
  }
  return out;
}

std::string XMLDecode(std::string_view content) {
  const std::string_view text = Trimmed(content);
  if (text.starts_with(kCDataStart)) {
    const size_t inner = text.size() >= kCDataStart.size() + kCDataEnd.size()
                             ? text.size() - kCDataStart.size() - kCDataEnd.size()
                             : 0;
    return std::string(Trimmed(text.substr(kCDataStart.size(), inner)));
  }
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 5 < text.size() && text[i + 1] == '#' && text[i + 2] == 'x' &&
        HexValue(text[i + 3]) >= 0 && HexValue(text[i + 4]) >= 0 && text[i + 5] == ';') {
      // The code is the character's 8-bit code, as the escaping wrote it.
      const int code = HexValue(text[i + 3]) * 16 + HexValue(text[i + 4]);
      AppendUtf8(out, Windows1252ToCodePoint(static_cast<unsigned char>(code)));
      i += 5;
    } else {
      out.push_back(text[i]);
    }
  }
  return std::string(Trimmed(out));
}

std::string TXMLProperties::XMLElementName() const { return ClassName().substr(1); }

std::string TXMLProperties::XMLText() const {
  std::vector<std::string> lines;
  for (const TXMLProperty& property : PublishedProperties()) {
    const std::string value = property.Get();
    lines.push_back("<" + property.Name + ">" + (property.Escaped ? XMLEscape(value) : value) +
                    "</" + property.Name + ">");
  }
  return JoinLines(lines);
}

void TXMLProperties::SetXMLText(const std::string& body) {
  for (const TXMLProperty& property : PublishedProperties()) {
    const std::string open = "<" + property.Name;
    for (size_t at = FindNoCase(body, open, 0); at != std::string::npos;
         at = FindNoCase(body, open, at + 1)) {
      // Only the whole name counts: "<Size>" is no tag of "Si".
      const size_t after = at + open.size();
      if (after >= body.size() || (body[after] != '>' && body.compare(after, 2, "/>") != 0)) {
        continue;
      }
      const bool selfClosing = body[after] == '/';
      const size_t close = body.find('>', after);
      property.Set(XMLDecode(ElementContent(body, property.Name, close, selfClosing)));
      break;
    }
  }
}

std::string TXMLProperties::PropertyNames() const {
  std::string names;
  for (const TXMLProperty& property : PublishedProperties()) {
    if (!names.empty()) names += ", ";
    names += property.Name;
  }
  return names;
}

std::string TXMLProperties::DocumentXML() const {
  const std::string name = XMLElementName();
  return "<" + name + ">" + XMLText() + "</" + name + ">";
}

std::string TXMLProperties::DTD() const {
  std::vector<std::string> lines;
  for (const TXMLProperty& property : PublishedProperties()) {
    lines.push_back("<!ELEMENT " + property.Name + "(" + property.ContentModel + ")>");
  }
  return JoinLines(lines);
}

void TXMLProperties::SetXML(const std::string& document) {
  const std::string name = XMLElementName();
  const std::string_view text(document);
  size_t at = text.find_first_not_of(" \t\r\n");
  if (at == std::string_view::npos) at = text.size();
  // A DOCTYPE block at the start declares, it holds no values.
  if (text.compare(at, kDocTypeStart.size(), kDocTypeStart) == 0) {
    const size_t end = text.find("]>", at);
    if (end == std::string_view::npos) Fail("DOCTYPE block without \"]>\"");
    at = end + 2;
  }
  while ((at = text.find('<', at)) != std::string_view::npos) {
    const size_t close = text.find('>', at);
    if (close == std::string_view::npos) Fail("tag without \">\"");
    const std::string_view tag = text.substr(at + 1, close - at - 1);
    const size_t nameEnd = tag.find_first_of(" \t\r\n/");
    const std::string_view tagName = tag.substr(0, nameEnd);
    if (!tag.starts_with("?xml") && !tagName.empty() && SameTextAscii(tagName, name)) {
      SetXMLText(std::string(ElementContent(text, name, close, tag.ends_with('/'))));
      return;
    }
    at = close + 1;
  }
  Fail("no element <" + name + ">");
}

std::string TXMLProperties::LoadXMLFromFile(const std::string& fileName) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(fileName, error)) return {};
  TFileStream in(fileName, FileMode::OpenRead);
  const int64_t size = in.Size();
  if (size > kMaxXMLFileSize) Fail("\"" + fileName + "\" is too large");
  std::string bytes(static_cast<size_t>(size), '\0');
  in.ReadBuffer(bytes.data(), size);
  std::string text = Windows1252ToUtf8(bytes);
  SetXML(text);
  return text;
}

void TXMLProperties::SaveXMLToFile(const std::string& fileName) const {
  const std::string bytes = Utf8ToWindows1252(DocumentXML());
  TAtomicFile target(fileName);
  {
    TFileStream out(target.TemporaryName(), FileMode::Create, fileName);
    out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    out.Flush();
  }
  target.Commit();
}

}  // namespace nimbra
