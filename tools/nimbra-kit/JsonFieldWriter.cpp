#include "nimbra-kit/JsonFieldWriter.h"

#include <cstdio>

namespace nimbra::kit {

std::string HexText(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

std::string ColorText(uint32_t argb) {
  char text[10];
  std::snprintf(text, sizeof text, "#%08X", argb);
  return text;
}

void TJsonFieldWriter::Integer(std::string_view name, int64_t value) {
  object_[std::string(name)] = value;
}

void TJsonFieldWriter::Number(std::string_view name, double value) {
  object_[std::string(name)] = value;
}

void TJsonFieldWriter::Boolean(std::string_view name, bool value) {
  object_[std::string(name)] = value;
}

void TJsonFieldWriter::Text(std::string_view name, std::string_view value) {
  object_[std::string(name)] = std::string(value);
}

void TJsonFieldWriter::Bytes(std::string_view name, std::string_view value) {
  object_[std::string(name)] = HexText(value);
}

void TJsonFieldWriter::Color(std::string_view name, uint32_t argb) {
  object_[std::string(name)] = ColorText(argb);
}

}  // namespace nimbra::kit
