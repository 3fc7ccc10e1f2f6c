#include "layouts/LayoutJson.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <unordered_set>

namespace nimbra {

namespace {

class TJsonParser {
 public:
  explicit TJsonParser(std::string_view text) : text_(text) {}

  TJsonValue ParseDocument() {
    SkipBlanks();
    TJsonValue value = ParseValue(0);
    SkipBlanks();
    if (pos_ < text_.size()) Fail("more text after the end of the layout");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const { throw ELayoutError(line_, what); }

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }

  void SkipBlanks() {
    while (!AtEnd()) {
      const char c = Peek();
      if (c == '\n') {
        ++line_;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        return;
      }
      ++pos_;
    }
  }

  static std::string Shown(char c) {
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
      return "a byte that cannot start a value";
    }
    return std::string("'") + c + "'";
  }

  TJsonValue ParseValue(int depth) {
    if (depth > kMaxLayoutJsonDepth)
      Fail("the layout nests deeper than " + std::to_string(kMaxLayoutJsonDepth) + " levels");
    if (AtEnd()) Fail("the layout ends where a value should follow");
    TJsonValue value;
    value.Line = line_;
    const char c = Peek();
    if (c == '{') {
      ParseObject(value, depth);
    } else if (c == '[') {
      ParseArray(value, depth);
    } else if (c == '"') {
      value.Kind = TJsonKind::String;
      value.Text = ParseString();
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      value.Kind = TJsonKind::Number;
      value.Number = ParseNumber();
    } else if (ConsumeWord("true")) {
      value.Kind = TJsonKind::Boolean;
      value.Boolean = true;
    } else if (ConsumeWord("false")) {
      value.Kind = TJsonKind::Boolean;
    } else if (ConsumeWord("null")) {
      value.Kind = TJsonKind::Null;
    } else {
      Fail(Shown(c) + " where a value should begin");
    }
    return value;
  }

  bool ConsumeWord(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  void ParseObject(TJsonValue& value, int depth) {
    value.Kind = TJsonKind::Object;
    ++pos_;
    SkipBlanks();
    if (!AtEnd() && Peek() == '}') {
      ++pos_;
      return;
    }
    std::unordered_set<std::string> names;
    while (true) {
      SkipBlanks();
      if (AtEnd() || Peek() != '"') Fail("a name in double quotes should follow here");
      const int nameLine = line_;
      std::string name = ParseString();
      if (!names.insert(name).second) {
        throw ELayoutError(nameLine, "\"" + name + "\" is given twice");
      }
      SkipBlanks();
      if (AtEnd() || Peek() != ':') Fail("a ':' should follow the name \"" + name + "\"");
      ++pos_;
      SkipBlanks();
      TJsonValue member = ParseValue(depth + 1);
      value.Members.push_back(TJsonMember{std::move(name), std::move(member)});
      SkipBlanks();
      if (AtEnd()) Fail("the layout ends inside an object; a '}' is missing");
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      if (Peek() == '}') {
        ++pos_;
        return;
      }
      Fail("a ',' or '}' should follow, not " + Shown(Peek()));
    }
  }

  void ParseArray(TJsonValue& value, int depth) {
    value.Kind = TJsonKind::Array;
    ++pos_;
    SkipBlanks();
    if (!AtEnd() && Peek() == ']') {
      ++pos_;
      return;
    }
    while (true) {
      SkipBlanks();
      value.Items.push_back(ParseValue(depth + 1));
      SkipBlanks();
      if (AtEnd()) Fail("the layout ends inside a list; a ']' is missing");
      if (Peek() == ',') {
        ++pos_;
        continue;
      }
      if (Peek() == ']') {
        ++pos_;
        return;
      }
      Fail("a ',' or ']' should follow, not " + Shown(Peek()));
    }
  }

  static void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  uint32_t ParseHex4() {
    if (pos_ + 4 > text_.size()) Fail("a \\u escape needs four hexadecimal digits");
    uint32_t code = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[pos_++];
      code <<= 4;
      if (c >= '0' && c <= '9') {
        code |= static_cast<uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        code |= static_cast<uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        code |= static_cast<uint32_t>(c - 'A' + 10);
      } else {
        Fail("a \\u escape needs four hexadecimal digits");
      }
    }
    return code;
  }

  uint32_t ParseEscapedCode() {
    uint32_t code = ParseHex4();
    if (code >= 0xDC00 && code <= 0xDFFF) Fail("a \\u escape holds half a character");
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (text_.substr(pos_, 2) != "\\u") Fail("a \\u escape holds half a character");
      pos_ += 2;
      const uint32_t low = ParseHex4();
      if (low < 0xDC00 || low > 0xDFFF) Fail("a \\u escape holds half a character");
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    }
    return code;
  }

  std::string ParseString() {
    ++pos_;  // the opening quote
    std::string out;
    while (true) {
      if (AtEnd()) Fail("a text has no closing '\"'");
      const char c = text_[pos_++];
      if (c == '"') return out;
      if (c == '\n') Fail("a text has no closing '\"' on its line");
      if (static_cast<unsigned char>(c) < 0x20) Fail("a text holds a control character");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (AtEnd()) Fail("a text ends in the middle of an escape");
      const char escape = text_[pos_++];
      switch (escape) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u':
          AppendUtf8(out, ParseEscapedCode());
          break;
        default:
          Fail(std::string("unknown escape \\") + Shown(escape));
      }
    }
  }

  double ParseNumber() {
    // The JSON grammar first (from_chars alone would take "01", "+1" or "1."), then the value.
    const size_t start = pos_;
    auto digits = [&] {
      const size_t from = pos_;
      while (!AtEnd() && Peek() >= '0' && Peek() <= '9') ++pos_;
      return pos_ - from;
    };
    if (Peek() == '-') ++pos_;
    if (AtEnd()) Fail("a number has no digits");
    if (Peek() == '0') {
      ++pos_;
    } else if (digits() == 0) {
      Fail("a number has no digits");
    }
    if (!AtEnd() && Peek() == '.') {
      ++pos_;
      if (digits() == 0) Fail("a number needs digits after its '.'");
    }
    if (!AtEnd() && (Peek() == 'e' || Peek() == 'E')) {
      ++pos_;
      if (!AtEnd() && (Peek() == '+' || Peek() == '-')) ++pos_;
      if (digits() == 0) Fail("a number needs digits in its exponent");
    }
    if (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '.')) {
      Fail("a number is followed by " + Shown(Peek()));
    }
    double number = 0;
    const char* first = text_.data() + start;
    const auto [end, error] = std::from_chars(first, text_.data() + pos_, number);
    if (error != std::errc() || end != text_.data() + pos_ || !std::isfinite(number)) {
      Fail("the number " + std::string(text_.substr(start, pos_ - start)) + " is out of range");
    }
    return number;
  }

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace

ELayoutError::ELayoutError(int line, const std::string& what)
    : ENimbraError("line " + std::to_string(line) + ": " + what),
      line_(line),
      reason_(what) {}

TJsonValue::TJsonValue() = default;
TJsonValue::TJsonValue(const TJsonValue&) = default;
TJsonValue::TJsonValue(TJsonValue&&) noexcept = default;
TJsonValue& TJsonValue::operator=(const TJsonValue&) = default;
TJsonValue& TJsonValue::operator=(TJsonValue&&) noexcept = default;
TJsonValue::~TJsonValue() = default;

const TJsonValue* TJsonValue::Find(std::string_view name) const {
  for (const auto& [key, value] : Members) {
    if (key == name) return &value;
  }
  return nullptr;
}

TJsonValue ParseLayoutJson(std::string_view text) {
  if (text.size() > kMaxLayoutJsonSize) {
    throw ELayoutError(
        1, "the layout is longer than " + std::to_string(kMaxLayoutJsonSize) + " bytes");
  }
  // A byte-order mark is common in hand-written files and means nothing here.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return TJsonParser(text).ParseDocument();
}

std::string KindName(TJsonKind kind) {
  switch (kind) {
    case TJsonKind::Null:
      return "null";
    case TJsonKind::Boolean:
      return "true or false";
    case TJsonKind::Number:
      return "a number";
    case TJsonKind::String:
      return "a text";
    case TJsonKind::Array:
      return "a list";
    case TJsonKind::Object:
      return "an object";
  }
  return "a value";
}

}  // namespace nimbra
