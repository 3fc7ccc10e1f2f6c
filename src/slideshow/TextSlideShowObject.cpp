#include "slideshow/TextSlideShowObject.h"

#include <exception>
#include <stdexcept>

#include "framework/Properties.h"

namespace nimbra {

NIMBRA_DEFINE_PLUGIN(TSimpleTextSlideShowObject, TPreviewEditorSlideShowObject)
NIMBRA_DEFINE_PLUGIN(TTextSlideShowObject, TSimpleTextSlideShowObject)

namespace {

// Documents are written and read with the Windows record types; a font cannot be stored without.
TCSFStreamWinTypes& RecordStream(TCSFStream& stream) {
  auto* records = dynamic_cast<TCSFStreamWinTypes*>(&stream);
  if (records == nullptr) throw std::invalid_argument("a font needs a stream with record types");
  return *records;
}

}  // namespace

TFontRecord DefaultTextFont() {
  TFontRecord font;
  font.Name = "Arial";
  font.Size = 20;
  return font;
}

void WriteTextAndFormat(TCSFStream& stream, const std::string& text, const TTextFormat& format) {
  TCSFStreamWinTypes& records = RecordStream(stream);
  records.WriteString(text);
  records.WriteFont(format.Font);
  records.WriteCardinal(format.TextColor);
  records.WriteCardinal(format.SecondColor);
  records.WriteByte(format.Style);
  records.WriteByte(format.Alignment);
  records.WriteBoolean(format.Smooth);
  records.WriteByte(format.Position);
  records.WriteDoubleRect(format.FreeRect);
}

void ReadTextAndFormat(TCSFStream& stream, std::string& text, TTextFormat& format) {
  TCSFStreamWinTypes& records = RecordStream(stream);
  text = records.ReadString();
  // A stored "no font" keeps the font the object has.
  if (std::optional<TFontRecord> font = records.ReadFont()) format.Font = std::move(*font);
  format.TextColor = records.ReadCardinal();
  format.SecondColor = records.ReadCardinal();
  format.Style = records.ReadByte();
  format.Alignment = records.ReadByte();
  format.Smooth = records.ReadBoolean();
  format.Position = records.ReadByte();
  format.FreeRect = records.ReadDoubleRect();
}

// ---- TSimpleTextSlideShowObject ----

void TSimpleTextSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TPreviewEditorSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TSimpleTextSlideShowObject*>(&other);
  if (source == nullptr) return;
  text_ = source->text_;
  format_ = source->format_;
}

std::string TSimpleTextSlideShowObject::PropertyFrameClassName() const {
  return "TTextSlideShowObjectPropertyFrame";
}

bool TSimpleTextSlideShowObject::WriteToStream(TCSFStream& stream) const {
  if (!TPreviewEditorSlideShowObject::WriteToStream(stream)) return false;
  try {
    WriteTextAndFormat(stream, text_, format_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TSimpleTextSlideShowObject::ReadFromStream(TCSFStream& stream) {
  if (!TPreviewEditorSlideShowObject::ReadFromStream(stream)) return false;
  try {
    ReadTextAndFormat(stream, text_, format_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// ---- TTextSlideShowObject ----

void TTextSlideShowObject::CopyFrom(const TSlideShowObject& other) {
  TSimpleTextSlideShowObject::CopyFrom(other);
  const auto* source = dynamic_cast<const TTextSlideShowObject*>(&other);
  if (source == nullptr) return;
  curveData_ = source->curveData_;
  effectData_ = source->effectData_;
}

bool TTextSlideShowObject::WriteToStream(TCSFStream& stream) const {
  if (!TSimpleTextSlideShowObject::WriteToStream(stream)) return false;
  try {
    for (const std::string& curve : curveData_) WriteSubChunkBytes(stream, curve);
    WriteSubChunkBytes(stream, effectData_);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool TTextSlideShowObject::ReadFromStream(TCSFStream& stream) {
  if (!TSimpleTextSlideShowObject::ReadFromStream(stream)) return false;
  try {
    for (std::string& curve : curveData_) curve = ReadSubChunkBytes(stream);
    effectData_ = ReadSubChunkBytes(stream);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace nimbra
