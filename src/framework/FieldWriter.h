// What a bag tells tools about its fields: each field's name and value, in the order the bag stores
// them. Tools (inspection, JSON output) implement the writer; bags only list their fields.
#pragma once

#include <cstdint>
#include <string_view>

namespace nimbra {

class TFieldWriter {
 public:
  virtual ~TFieldWriter() = default;
  virtual void Integer(std::string_view name, int64_t value) = 0;
  virtual void Number(std::string_view name, double value) = 0;
  virtual void Boolean(std::string_view name, bool value) = 0;
  virtual void Text(std::string_view name, std::string_view value) = 0;
  // Raw bytes a bag keeps without interpreting them.
  virtual void Bytes(std::string_view name, std::string_view value) = 0;
  // A colour as 0xAARRGGBB.
  virtual void Color(std::string_view name, uint32_t argb) = 0;
};

}  // namespace nimbra
