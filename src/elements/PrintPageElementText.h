// Text on a page: the base of the free text, the picture description and the page number. Texts
// are drawn in the element's font, scaled to the page's resolution, transparent over what lies
// below, with a text format of the platform's text drawing flags. In final rendering their
// variables are expanded; the design view shows them as typed.
#pragma once

#include <cstdint>
#include <string>

#include "elements/PrintablePageElement.h"
#include "storage/CSFStreamWinTypes.h"

namespace nimbra {

// Text format flags.
inline constexpr uint32_t kDrawTextCenter = 1;
inline constexpr uint32_t kDrawTextRight = 2;
inline constexpr uint32_t kDrawTextVCenter = 4;
inline constexpr uint32_t kDrawTextWordBreak = 16;
inline constexpr uint32_t kDrawTextSingleLine = 32;
inline constexpr uint32_t kDrawTextNoClip = 256;
inline constexpr uint32_t kDrawTextCalcRect = 1024;

// The logical resolution the platform derives font heights from.
inline constexpr int32_t kScreenLogicalDpi = 96;

class TPrintPageElementTextProperties : public TVisiblePageElementProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementTextProperties() = default;

  // One sub-chunk: Font as a font value, then Text. A stored "no font" keeps the current font.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  const std::string& Text() const { return text_; }
  void SetText(std::string text) { text_ = std::move(text); }
  const TFontRecord& Font() const { return font_; }
  void SetFont(TFontRecord font) { font_ = std::move(font); }

 protected:
  explicit TPrintPageElementTextProperties(std::string text) : text_(std::move(text)) {}

 private:
  std::string text_;
  TFontRecord font_{0, "Arial", 10, 0};
};

class TPrintPageElementText : public TPrintablePageElement,
                              public IBitmapPrintable,
                              public IContextPrintable {
  NIMBRA_DECLARE_PLUGIN()

 public:
  static std::string ClassCaption() { return "Text"; }
  static std::string ClassDescription() { return "Textfeld, Bildbeschreibung oder Seitenummer"; }

  std::string Category() const override { return kElementCategoryGeneral; }
  // The caption, followed by ": " and Text when Text is not empty.
  std::string DisplayName() const override;

  // PrintWith, with what the documented calls set.
  void Print(TBitmap32* canvas, const TPixelRect& pageRect) override;
  // Sets the text format and draws the text. Pixels come with the drawing code; until then
  // nothing is drawn.
  void PrintWith(const TRenderContext& context) override;
  // Draws with the format the last Print left, at the element's current rectangle; not yet drawn.
  void PrintToBitmap(TBitmap32& bitmap, TBitmap32* canvas, const TPixelRect& pageRect) override;

  // The text to draw: expanded in final rendering, as typed in the design view.
  virtual std::string GetText() const;
  // GetText as the engine draws it with the context: the engine hands the mode over in the
  // context alone, so the element takes that mode for the call and then goes back to its own.
  std::string TextFor(const TRenderContext& context);
  // The font height to draw with, in the platform's font-height units at the element's
  // resolution: round(h / 72 × Resolution), h being the negative pixel height of the font's point
  // size at the screen's logical resolution (halves to even).
  virtual int32_t ScaleFont(const TFontRecord& font) const;
  // Draws GetText into the pixel rectangle with DrawFormat; not yet drawn.
  virtual void PaintText(TBitmap32& canvas, const TPixelRect& rect);
  // Sets DrawFormat for the next drawing; may move the element for that drawing alone (Print
  // restores its rectangle afterwards). Leaves the format as it is here.
  virtual void PrepareDrawFormat() {}

  uint32_t DrawFormat() const { return drawFormat_; }
  void SetDrawFormat(uint32_t format) { drawFormat_ = format; }
  TPrintPageElementTextProperties& TextProperties() const;
  // True while the engine renders for output rather than for the design view.
  bool FinalRendering() const { return Rendering() != 0; }

 protected:
  explicit TPrintPageElementText(const TMetaClass& propertiesClass,
                                 double defaultWidth = kDefaultWidth,
                                 double defaultHeight = kDefaultHeight);

 private:
  uint32_t drawFormat_ = 0;
};

// Horizontal and vertical alignments.
inline constexpr uint8_t kAlignLeft = 0;
inline constexpr uint8_t kAlignCenter = 1;
inline constexpr uint8_t kAlignRight = 2;
inline constexpr uint8_t kAlignTop = 0;
inline constexpr uint8_t kAlignMiddle = 1;
inline constexpr uint8_t kAlignBottom = 2;

class TPrintPageElementAlignedTextProperties : public TPrintPageElementTextProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintPageElementAlignedTextProperties() = default;

  // One sub-chunk: HorzAlignment, VertAlignment.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  uint8_t HorzAlignment() const { return horzAlignment_; }
  void SetHorzAlignment(uint8_t alignment) { horzAlignment_ = alignment; }
  uint8_t VertAlignment() const { return vertAlignment_; }
  void SetVertAlignment(uint8_t alignment) { vertAlignment_ = alignment; }

 protected:
  explicit TPrintPageElementAlignedTextProperties(std::string text)
      : TPrintPageElementTextProperties(std::move(text)) {}

 private:
  uint8_t horzAlignment_ = kAlignLeft;
  uint8_t vertAlignment_ = kAlignTop;
};

class TPrintPageElementAlignedText : public TPrintPageElementText {
  NIMBRA_DECLARE_PLUGIN()

 public:
  // Moves the rectangle down by the vertical alignment before drawing; not yet drawn.
  void PaintText(TBitmap32& canvas, const TPixelRect& rect) override;

  // The flags HorzAlignment adds to the format: centre, right or none.
  uint32_t AlignmentFormat() const;
  TPrintPageElementAlignedTextProperties& AlignedProperties() const;

 protected:
  explicit TPrintPageElementAlignedText(const TMetaClass& propertiesClass,
                                        double defaultWidth = kDefaultWidth,
                                        double defaultHeight = kDefaultHeight);
};

}  // namespace nimbra
