// The map that writes: each field goes on the stream at its stored width, in the order listed.
#include "framework/FieldMap.h"
#include "framework/Properties.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/FalseOnFailure.h"

namespace nimbra {

namespace {

class TFieldMapWriter final : public TFieldMap {
 public:
  explicit TFieldMapWriter(TCSFStream& stream) : stream_(stream) {}

  bool Written() const { return written_; }

  void Boolean(std::string_view, bool& value) override { stream_.WriteBoolean(value); }
  void Byte(std::string_view, uint8_t& value) override { stream_.WriteByte(value); }
  void Integer(std::string_view, int32_t& value) override { stream_.WriteInteger(value); }
  void Cardinal(std::string_view, uint32_t& value) override { stream_.WriteCardinal(value); }
  void Color(std::string_view, uint32_t& argb) override { stream_.WriteCardinal(argb); }
  void Single(std::string_view, float& value) override { stream_.WriteSingle(value); }
  void Double(std::string_view, double& value) override { stream_.WriteDouble(value); }
  void String(std::string_view, std::string& value) override { stream_.WriteString(value); }
  void Rect(std::string_view, TDoubleRect& rect) override {
    for (const double edge : {rect.Left, rect.Top, rect.Right, rect.Bottom}) {
      stream_.WriteDouble(edge);
    }
  }
  void Font(std::string_view, TFontRecord& font) override {
    RecordTypesOf(stream_).WriteFont(font);
  }
  void ByteInteger(std::string_view, int32_t& value) override {
    stream_.WriteByte(static_cast<uint8_t>(value));
  }
  void RemainingBytes(std::string_view, std::string& bytes) override { WriteBytes(bytes); }
  void Text(std::string_view, const std::string& text,
            const std::function<bool(std::string)>&) override {
    stream_.WriteString(text);
  }
  void RemainingBytes(std::string_view, const std::string& bytes,
                      const std::function<bool(std::string)>&) override {
    WriteBytes(bytes);
  }
  void Part(std::string_view, const TStoredPart& part) override {
    written_ = part.Write(stream_) && written_;
  }
  void SubChunk(const std::function<void()>& fields) override {
    TWriteSubChunk chunk(stream_);
    fields();
    chunk.End();
  }
  void Whole(const std::function<void()>& fields) override { fields(); }
  bool Has(const std::function<bool(TCSFStream&)>&) override { return true; }
  bool Writes() const override { return true; }

 private:
  void WriteBytes(const std::string& bytes) {
    stream_.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  }

  TCSFStream& stream_;
  bool written_ = true;
};

}  // namespace

bool WriteFieldsWith(TCSFStream& stream, const std::function<void(TFieldMap&)>& fields) {
  return FalseOnFailure([&] {
    TFieldMapWriter writer(stream);
    fields(writer);
    return writer.Written();
  });
}

}  // namespace nimbra
