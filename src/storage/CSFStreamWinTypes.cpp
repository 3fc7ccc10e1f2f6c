#include "storage/CSFStreamWinTypes.h"

#include "storage/NimbraError.h"
#include "storage/StreamErrors.h"
#include "storage/Windows1252.h"

namespace nimbra {

namespace {

// Colour, name length, size and style around the name.
constexpr int32_t kFontRecordFixedBytes = 17;

}  // namespace

void TCSFStreamWinTypes::WriteFont(const std::optional<TFontRecord>& font) {
  if (!font) {
    WriteInteger(-1);
    return;
  }
  const std::string name = Utf8ToWindows1252(font->Name);
  const auto recordLength = static_cast<int32_t>(kFontRecordFixedBytes + name.size());
  WriteInteger(recordLength);
  WriteInteger(recordLength);
  WriteInteger(font->Color);
  WriteInteger(static_cast<int32_t>(name.size()));
  WriteBuffer(name.data(), static_cast<int64_t>(name.size()));
  WriteInteger(font->Size);
  WriteByte(font->Style);
}

std::optional<TFontRecord> TCSFStreamWinTypes::ReadFont() {
  const int32_t recordLength = ReadInteger();
  if (recordLength < 0) return std::nullopt;
  const int64_t start = Position();
  // The record must hold its own fields and lie within the data before anything is taken from it.
  if (recordLength < kFontRecordFixedBytes || recordLength > RemainingInContainer()) {
    throw EReadError("Invalid font record");
  }
  ReadInteger();  // the record length again
  TFontRecord font;
  font.Color = ReadInteger();
  const int32_t nameLength = ReadInteger();
  if (nameLength < 0 || nameLength > recordLength - kFontRecordFixedBytes) {
    throw EReadError("Invalid font record");
  }
  std::string name(static_cast<size_t>(nameLength), '\0');
  ReadBuffer(name.data(), nameLength);
  font.Name = Windows1252ToUtf8(name);
  font.Size = ReadInteger();
  font.Style = ReadByte();
  SetPosition(start + recordLength);
  return font;
}

void TCSFStreamWinTypes::WriteDoubleRect(const TDoubleRect& rect) {
  WriteDouble(rect.Left);
  WriteDouble(rect.Top);
  WriteDouble(rect.Right);
  WriteDouble(rect.Bottom);
}

TDoubleRect TCSFStreamWinTypes::ReadDoubleRect() {
  TDoubleRect rect;
  rect.Left = ReadDouble();
  rect.Top = ReadDouble();
  rect.Right = ReadDouble();
  rect.Bottom = ReadDouble();
  return rect;
}

std::unique_ptr<TCSFStream> TCSFStreamWinTypes::CreateSameClass(std::unique_ptr<TStream> base,
                                                                CSFMode mode) const {
  return std::make_unique<TCSFStreamWinTypes>(std::move(base), mode);
}

TCSFStreamWinTypes& RecordTypesOf(TCSFStream& stream) {
  auto* records = dynamic_cast<TCSFStreamWinTypes*>(&stream);
  if (records == nullptr) throw ENimbraError("a font needs a stream with the Windows record types");
  return *records;
}

TCSFFileWinTypes::TCSFFileWinTypes(const std::string& fileName, CSFMode mode)
    : TCSFStreamWinTypes(OpenCSFFileStream(fileName, mode), mode) {}

}  // namespace nimbra
