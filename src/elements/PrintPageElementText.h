// Text on a page: the base of the free text, the picture description and the page number. Texts
// are drawn in the element's font, scaled to the page's resolution, transparent over what lies
// below, with a text format of the platform's text drawing flags. In final rendering their
// variables are expanded; the design view shows them as typed.
#pragma once

#include <cstdint>
#include <string>

#include "elements/PrintablePageElement.h"
#include "raster/TextDrawing.h"
#include "storage/CSFStreamWinTypes.h"

namespace nimbra {

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

// What a text is painted on: the bitmap, and the font given to it for this drawing.
struct TTextCanvas {
  TBitmap32& Bitmap;
  TTextFont Font;
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
  // Sets the text format for the context's mode (which may move the element for this drawing
  // alone) and draws the text onto the context's canvas.
  void PrintWith(const TRenderContext& context) override;
  // Draws with the format the last Print left, at the element's current rectangle. When the
  // bitmap is the canvas that Print drew on, the text is there already and nothing is drawn:
  // drawn again, antialiased edges would darken and a moved page number would show twice.
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
  // Draws GetText into the pixel rectangle with DrawFormat in the canvas's font.
  virtual void PaintText(TTextCanvas& canvas, const TPixelRect& rect);
  // Sets DrawFormat for the next drawing; may move the element for that drawing alone (Print
  // restores its rectangle afterwards). Leaves the format as it is here.
  virtual void PrepareDrawFormat() {}
  // The bag's font as the canvas takes it: scaled to the element's resolution, in its colour.
  TTextFont CanvasFont() const;

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
  // The drawing Print and PrintToBitmap share, at the element's current rectangle.
  void DrawOnto(TBitmap32& bitmap, const TPixelRect& pageRect);

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
  // Measures the text, moves the rectangle down by the vertical alignment, and draws it there.
  void PaintText(TTextCanvas& canvas, const TPixelRect& rect) override;

  // The flags HorzAlignment adds to the format: centre, right or none.
  uint32_t AlignmentFormat() const;
  TPrintPageElementAlignedTextProperties& AlignedProperties() const;

 protected:
  explicit TPrintPageElementAlignedText(const TMetaClass& propertiesClass,
                                        double defaultWidth = kDefaultWidth,
                                        double defaultHeight = kDefaultHeight);
};

}  // namespace nimbra
