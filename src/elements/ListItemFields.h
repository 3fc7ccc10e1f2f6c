// Shows tools one item of a list a bag holds (an effect, a collage picture, a variable): the item's
// fields are named after the list and the item's place in it ("effects[2].angle"), so that the
// items' fields stay apart in one flat description.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/FieldWriter.h"

namespace nimbra {

class TListItemFields final : public TFieldWriter {
 public:
  TListItemFields(TFieldWriter& fields, std::string_view list, int32_t index)
      : fields_(fields), item_(std::string(list) + "[" + std::to_string(index) + "]") {}

  // The name of the item itself: "effects[2]".
  const std::string& ItemName() const { return item_; }

  void Integer(std::string_view name, int64_t value) override { fields_.Integer(Of(name), value); }
  void Number(std::string_view name, double value) override { fields_.Number(Of(name), value); }
  void Boolean(std::string_view name, bool value) override { fields_.Boolean(Of(name), value); }
  void Text(std::string_view name, std::string_view value) override {
    fields_.Text(Of(name), value);
  }
  void Bytes(std::string_view name, std::string_view value) override {
    fields_.Bytes(Of(name), value);
  }
  void Color(std::string_view name, uint32_t argb) override { fields_.Color(Of(name), argb); }

 private:
  std::string Of(std::string_view name) const { return item_ + "." + std::string(name); }

  TFieldWriter& fields_;
  std::string item_;
};

}  // namespace nimbra
