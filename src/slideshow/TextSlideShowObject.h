// Text objects: a text (which may hold variables) in a font, colours and style, placed at the top,
// middle or bottom of the screen or in a free rectangle. The text kind adds animation curves and a
// text effect, which the player draws; until their classes exist they are kept as the bytes read.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "slideshow/BitmapSlideShowObject.h"
#include "storage/CSFStreamWinTypes.h"

namespace nimbra {

// Text styles, numbered as stored.
enum class TTextStyle : uint8_t { Plain = 0, Outlined = 1, Embossed = 2, DropShadow = 3 };
// Horizontal alignment of text, numbered as stored.
enum class TTextAlignment : uint8_t { Left = 0, Right = 1, Centred = 2 };
// Where text sits on the screen, numbered as stored.
enum class TTextPosition : uint8_t { Top = 0, Middle = 1, Bottom = 2, FreeRect = 3 };

// "Arial", 20 points.
TFontRecord DefaultTextFont();

// The font and layout of a text, as the simple text and the composite store them.
struct TTextFormat {
  TFontRecord Font = DefaultTextFont();
  TColor32 TextColor = kColor32White;
  TColor32 SecondColor = kColor32Black;  // outline or shadow
  uint8_t Style = static_cast<uint8_t>(TTextStyle::DropShadow);
  uint8_t Alignment = static_cast<uint8_t>(TTextAlignment::Left);
  bool Smooth = true;
  uint8_t Position = static_cast<uint8_t>(TTextPosition::FreeRect);
  TDoubleRect FreeRect{0.25, 0.25, 0.75, 0.75};

  bool operator==(const TTextFormat&) const = default;
};

// The text, then the format's fields in their stored order. Fonts need the Windows record types:
// on any other stream writing and reading fail.
void MapTextAndFormat(TFieldMap& map, std::string& text, TTextFormat& format);

class TSimpleTextSlideShowObject : public TPreviewEditorSlideShowObject,
                                   public virtual IText,
                                   public virtual ITextFormat {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TSimpleTextSlideShowObject() = default;

  static std::string ClassCaption() { return "Text"; }

  // IText: the stored text, variables unexpanded.
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }
  const TTextFormat& Format() const { return format_; }
  void SetFormat(const TTextFormat& format) { format_ = format; }

  void CopyFrom(const TSlideShowObject& other) override;
  std::string PropertyFrameClassName() const override;
  void MapFields(TFieldMap& map) override;

 private:
  std::string text_;
  TTextFormat format_;
};

class TTextSlideShowObject : public TSimpleTextSlideShowObject,
                             public virtual IOpacityCurve,
                             public virtual IRotationCurve,
                             public virtual IZoomCurve,
                             public virtual IPositionPath,
                             public virtual IPreviewEditorExt {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TTextSlideShowObject() = default;

  static std::string ClassDescription() {
    return "Ein Text mit Animation als Ein- und Ausblendung, sowie der Möglichkeit animierte "
           "Transparenz oder Bewegungspfade zuzuordnen.";
  }

  // A curve's stored form without a presence flag: empty when there is no curve.
  const std::string& CurveData(TCurveKind kind) const {
    return curveData_[static_cast<size_t>(kind)];
  }
  void SetCurveData(TCurveKind kind, std::string bytes) {
    curveData_[static_cast<size_t>(kind)] = std::move(bytes);
  }
  bool HasCurve(TCurveKind kind) const { return !CurveData(kind).empty(); }
  // The text effect container's stored form; empty when there is none.
  const std::string& EffectData() const { return effectData_; }
  void SetEffectData(std::string bytes) { effectData_ = std::move(bytes); }
  bool HasEffect() const { return !effectData_.empty(); }

  void CopyFrom(const TSlideShowObject& other) override;
  // Five sub-chunks: the four curves, then the effect.
  void MapFields(TFieldMap& map) override;

 private:
  std::array<std::string, kCurveCount> curveData_;
  std::string effectData_;
};

}  // namespace nimbra
