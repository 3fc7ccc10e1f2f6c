// The map that reads: each field is taken from the stream in the order listed. A field read before
// a failure keeps its new value, except inside Whole, where values wait until all were read.
#include <optional>
#include <vector>

#include "framework/FieldMap.h"
#include "framework/Properties.h"
#include "storage/CSFStreamWinTypes.h"
#include "storage/FalseOnFailure.h"
#include "storage/StoredBytes.h"

namespace nimbra {

namespace {

class TFieldMapReader final : public TFieldMap {
 public:
  explicit TFieldMapReader(TCSFStream& stream) : stream_(stream) {}

  bool Read() const { return read_; }

  void Boolean(std::string_view, bool& value) override {
    if (!stopped_) Take(value, stream_.ReadBoolean());
  }
  void Byte(std::string_view, uint8_t& value) override {
    if (!stopped_) Take(value, stream_.ReadByte());
  }
  void Integer(std::string_view, int32_t& value) override {
    if (!stopped_) Take(value, stream_.ReadInteger());
  }
  void Cardinal(std::string_view, uint32_t& value) override {
    if (!stopped_) Take(value, stream_.ReadCardinal());
  }
  void Color(std::string_view name, uint32_t& argb) override { Cardinal(name, argb); }
  void Single(std::string_view, float& value) override {
    if (!stopped_) Take(value, stream_.ReadSingle());
  }
  void Double(std::string_view, double& value) override {
    if (!stopped_) Take(value, stream_.ReadDouble());
  }
  void String(std::string_view, std::string& value) override {
    if (!stopped_) Take(value, stream_.ReadString());
  }
  void Rect(std::string_view, TDoubleRect& rect) override {
    if (stopped_) return;
    TDoubleRect read;
    for (double* edge : {&read.Left, &read.Top, &read.Right, &read.Bottom}) {
      *edge = stream_.ReadDouble();
    }
    Take(rect, read);
  }
  void Font(std::string_view, TFontRecord& font) override {
    if (stopped_) return;
    if (std::optional<TFontRecord> read = RecordTypesOf(stream_).ReadFont()) Take(font, *read);
  }
  void ByteInteger(std::string_view, int32_t& value) override {
    if (!stopped_) Take(value, static_cast<int32_t>(stream_.ReadByte()));
  }
  void RemainingBytes(std::string_view, std::string& bytes) override {
    if (!stopped_) Take(bytes, ReadRemainingBytes(stream_));
  }
  void Text(std::string_view, const std::string&,
            const std::function<bool(std::string)>& take) override {
    if (!stopped_) Hand(take, stream_.ReadString());
  }
  void RemainingBytes(std::string_view, const std::string&,
                      const std::function<bool(std::string)>& take) override {
    if (!stopped_) Hand(take, ReadRemainingBytes(stream_));
  }
  void Part(std::string_view, const TStoredPart& part) override {
    if (stopped_) return;
    switch (part.Read(stream_)) {
      case TPartRead::Read:
        break;
      case TPartRead::Failed:
        read_ = false;
        break;
      case TPartRead::RestUnread:
        stopped_ = true;
        break;
    }
  }
  void SubChunk(const std::function<void()>& fields) override {
    if (stopped_) return;
    TReadSubChunk chunk(stream_);
    fields();
  }
  void Whole(const std::function<void()>& fields) override {
    if (pending_ != nullptr) {
      fields();
      return;
    }
    std::vector<std::function<void()>> pending;
    pending_ = &pending;
    try {
      fields();
    } catch (...) {
      // Only forgets the values waiting here; whatever failed goes on as it was.
      pending_ = nullptr;
      throw;
    }
    pending_ = nullptr;
    for (const std::function<void()>& assign : pending) assign();
  }
  bool Has(const std::function<bool(TCSFStream&)>& layoutHasIt) override {
    return !stopped_ && layoutHasIt(stream_);
  }

 private:
  template <typename T>
  void Take(T& field, T value) {
    if (pending_ == nullptr) {
      field = std::move(value);
    } else {
      pending_->push_back(
          [&field, value = std::move(value)]() mutable { field = std::move(value); });
    }
  }

  void Hand(const std::function<bool(std::string)>& take, std::string value) {
    if (pending_ == nullptr) {
      read_ = take(std::move(value)) && read_;
    } else {
      pending_->push_back([this, take, value = std::move(value)]() mutable {
        read_ = take(std::move(value)) && read_;
      });
    }
  }

  TCSFStream& stream_;
  bool read_ = true;
  // Set by a part whose data has no reader: nothing after it can be found.
  bool stopped_ = false;
  std::vector<std::function<void()>>* pending_ = nullptr;
};

}  // namespace

bool ReadFieldsWith(TCSFStream& stream, const std::function<void(TFieldMap&)>& fields) {
  return FalseOnFailure([&] {
    TFieldMapReader reader(stream);
    fields(reader);
    return reader.Read();
  });
}

}  // namespace nimbra
