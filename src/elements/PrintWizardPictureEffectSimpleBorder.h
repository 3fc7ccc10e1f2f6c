// The simple border: a frame around the picture in one of six styles, added before the picture is
// scaled and rotated, so it turns and scales with the picture.
#pragma once

#include <cstdint>

#include "elements/PrintWizardPictureEffect.h"

namespace nimbra {

// The frame styles.
inline constexpr uint8_t kBorderStyleSolid = 0;
inline constexpr uint8_t kBorderStylePattern = 1;
inline constexpr uint8_t kBorderStyleFrameGradient = 2;
inline constexpr uint8_t kBorderStyleHorizontalGradient = 3;
inline constexpr uint8_t kBorderStyleVerticalGradient = 4;
inline constexpr uint8_t kBorderStyleRelief = 5;

class TPrintWizardPictureEffectSimpleBorderProperties : public TPrintWizardPictureEffectProperties {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectSimpleBorderProperties() = default;

  // BorderWidth, Transparency, Color1, Color2, Style, PatternCount, IndividualSides, then the side
  // widths left, top, right, bottom, in one sub-chunk.
  void MapFields(TFieldMap& map) override;
  std::string EditorFrameClassNames() const override;

  TColor32 Color1() const { return color1_; }
  void SetColor1(TColor32 colour) { color1_ = colour; }
  TColor32 Color2() const { return color2_; }
  void SetColor2(TColor32 colour) { color2_ = colour; }
  // Centimetres, used when the sides are not set one by one.
  double BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(double centimetres) { borderWidth_ = centimetres; }
  uint8_t Transparency() const { return transparency_; }
  void SetTransparency(uint8_t transparency) { transparency_ = transparency; }
  uint8_t Style() const { return style_; }
  void SetStyle(uint8_t style) { style_ = style; }
  int32_t PatternCount() const { return patternCount_; }
  void SetPatternCount(int32_t count) { patternCount_ = count; }
  bool IndividualSides() const { return individualSides_; }
  void SetIndividualSides(bool individual) { individualSides_ = individual; }
  // Centimetres per side.
  double LeftWidth() const { return leftWidth_; }
  void SetLeftWidth(double centimetres) { leftWidth_ = centimetres; }
  double RightWidth() const { return rightWidth_; }
  void SetRightWidth(double centimetres) { rightWidth_ = centimetres; }
  double TopWidth() const { return topWidth_; }
  void SetTopWidth(double centimetres) { topWidth_ = centimetres; }
  double BottomWidth() const { return bottomWidth_; }
  void SetBottomWidth(double centimetres) { bottomWidth_ = centimetres; }

 private:
  TColor32 color1_ = 0xFF000000;
  TColor32 color2_ = 0xFFFF0000;
  double borderWidth_ = 0.1;
  uint8_t transparency_ = 0;
  uint8_t style_ = kBorderStyleSolid;
  int32_t patternCount_ = 2;
  bool individualSides_ = false;
  double leftWidth_ = 0.1;
  double rightWidth_ = 0.1;
  double topWidth_ = 0.1;
  double bottomWidth_ = 0.1;
};

class TPrintWizardPictureEffectSimpleBorder : public TPrintWizardPictureEffect {
  NIMBRA_DECLARE_PLUGIN()

 public:
  TPrintWizardPictureEffectSimpleBorder();

  static std::string ClassCaption() { return "Einfacher Rand"; }
  static std::string ClassDescription() { return "umrandet ein Bild"; }

  // Grows the bitmap by the border on every side and draws the frame there, the picture inside
  // it unchanged. A border that would make the bitmap larger than any readable picture is left
  // out (Skipped). An empty bitmap stays empty.
  void Apply(TBitmap32& bitmap, const TPixelRect& rect, double dpi,
             TAffineTransformation* transformation, double sx, double sy) override;

  TPrintWizardPictureEffectSimpleBorderProperties& BorderProperties() const;
};

}  // namespace nimbra
