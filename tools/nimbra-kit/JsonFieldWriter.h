// Writes a bag's fields into a JSON object, and turns raw bytes into text a person can read.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "framework/FieldWriter.h"

namespace nimbra::kit {

class TJsonFieldWriter : public TFieldWriter {
 public:
  explicit TJsonFieldWriter(nlohmann::ordered_json& object) : object_(object) {}

  void Integer(std::string_view name, int64_t value) override;
  void Number(std::string_view name, double value) override;
  void Boolean(std::string_view name, bool value) override;
  void Text(std::string_view name, std::string_view value) override;
  void Bytes(std::string_view name, std::string_view value) override;
  void Color(std::string_view name, uint32_t argb) override;

 private:
  nlohmann::ordered_json& object_;
};

// "0a1bff..." — two lower-case hexadecimal digits per byte.
std::string HexText(std::string_view bytes);
// "#AARRGGBB".
std::string ColorText(uint32_t argb);

}  // namespace nimbra::kit
