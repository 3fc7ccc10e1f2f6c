// The map that describes: each field is handed to a field writer by name, for tools.
#include <string>

#include "framework/FieldMap.h"
#include "framework/FieldWriter.h"
#include "storage/CSFStreamWinTypes.h"

namespace nimbra {

namespace {

class TFieldMapDescriber final : public TFieldMap {
 public:
  explicit TFieldMapDescriber(TFieldWriter& fields) : fields_(fields) {}

  void Boolean(std::string_view name, bool& value) override { fields_.Boolean(name, value); }
  void Byte(std::string_view name, uint8_t& value) override { fields_.Integer(name, value); }
  void Integer(std::string_view name, int32_t& value) override { fields_.Integer(name, value); }
  void Cardinal(std::string_view name, uint32_t& value) override { fields_.Integer(name, value); }
  void Color(std::string_view name, uint32_t& argb) override { fields_.Color(name, argb); }
  void Single(std::string_view name, float& value) override { fields_.Number(name, value); }
  void Double(std::string_view name, double& value) override { fields_.Number(name, value); }
  void String(std::string_view name, std::string& value) override { fields_.Text(name, value); }
  // The edges as four numbers named after the field.
  void Rect(std::string_view name, TDoubleRect& rect) override {
    const std::string field(name);
    fields_.Number(field + "Left", rect.Left);
    fields_.Number(field + "Top", rect.Top);
    fields_.Number(field + "Right", rect.Right);
    fields_.Number(field + "Bottom", rect.Bottom);
  }
  // The font as "name, size pt, style s, colour c".
  void Font(std::string_view name, TFontRecord& font) override {
    fields_.Text(name, font.Name + ", " + std::to_string(font.Size) + " pt, style " +
                           std::to_string(font.Style) + ", colour " + std::to_string(font.Color));
  }
  void ByteInteger(std::string_view name, int32_t& value) override { fields_.Integer(name, value); }
  void RemainingBytes(std::string_view name, std::string& bytes) override {
    fields_.Bytes(name, bytes);
  }
  void Text(std::string_view name, const std::string& text,
            const std::function<bool(std::string)>&) override {
    fields_.Text(name, text);
  }
  void RemainingBytes(std::string_view name, const std::string& bytes,
                      const std::function<bool(std::string)>&) override {
    fields_.Bytes(name, bytes);
  }
  void Part(std::string_view name, const TStoredPart& part) override {
    if (part.Describe) part.Describe(name, fields_);
  }
  void SubChunk(const std::function<void()>& fields) override { fields(); }
  void Whole(const std::function<void()>& fields) override { fields(); }
  bool Has(const std::function<bool(TCSFStream&)>&) override { return true; }

 private:
  TFieldWriter& fields_;
};

}  // namespace

void DescribeFieldsWith(TFieldWriter& writer, const std::function<void(TFieldMap&)>& fields) {
  TFieldMapDescriber describer(writer);
  fields(describer);
}

}  // namespace nimbra
