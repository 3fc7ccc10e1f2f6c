#include "raster/TextDrawing.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <vector>

#include "raster/FontSupport.h"

namespace nimbra {

namespace {

// The em of a font asked for with height 0: 12 points on a screen of 96 dots per inch.
constexpr int kDefaultPixelSize = 16;
// Wider than any text Qt can lay out.
constexpr double kUnlimitedWidth = 1e9;

bool Has(uint32_t format, uint32_t flag) { return (format & flag) != 0; }

// Line breaks become Qt's line separator, which ends a line inside one layout; on a single line
// they are spaces.
QString PrepareText(std::string_view text, uint32_t format) {
  QString prepared = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QChar lineBreak = Has(format, kDrawTextSingleLine) ? QChar(' ') : QChar::LineSeparator;
  prepared.replace(QStringLiteral("\r\n"), QString(lineBreak));
  prepared.replace(QChar('\r'), lineBreak);
  prepared.replace(QChar('\n'), lineBreak);
  return prepared;
}

// The em in pixels, 1 … kMaxTextPixelSize.
int PixelSize(const TTextFont& font, QFont& qfont) {
  if (font.Height == 0) return kDefaultPixelSize;
  const int64_t height = std::min<int64_t>(std::abs(int64_t{font.Height}), kMaxTextPixelSize);
  if (font.Height < 0) return static_cast<int>(height);
  // A cell height: the em that gives the face this ascent plus descent.
  constexpr double kReference = 1000;
  qfont.setPixelSize(static_cast<int>(kReference));
  const QFontMetricsF metrics(qfont);
  const double cell = metrics.ascent() + metrics.descent();
  const double em = cell > 0 ? double(height) * kReference / cell : double(height);
  return static_cast<int>(std::clamp(std::lround(em), 1L, long{kMaxTextPixelSize}));
}

QFont ToQFont(const TTextFont& font) {
  QFont qfont(QString::fromStdString(font.Face));
  qfont.setBold(font.Bold);
  qfont.setItalic(font.Italic);
  qfont.setUnderline(font.Underline);
  qfont.setStrikeOut(font.StrikeOut);
  // Texts were designed without kerning: with it, lines would break elsewhere.
  qfont.setKerning(false);
  // Grey edges only: coloured fringes would show on a wallpaper that is scaled or rotated.
  qfont.setStyleStrategy(QFont::NoSubpixelAntialias);
  qfont.setPixelSize(PixelSize(font, qfont));
  return qfont;
}

}  // namespace

struct TTextBlock::TImpl {
  QFont font;
  QColor colour;
  uint32_t format = 0;
  int ascent = 0;
  int lineHeight = 0;
  QTextLayout layout;
  // The whole-pixel width of each line's text, trailing spaces left out.
  std::vector<int> lineWidths;
};

TTextBlock::TTextBlock(std::string_view text, const TTextFont& font, int32_t width,
                       uint32_t format)
    : impl_(std::make_unique<TImpl>()) {
  impl_->format = format;
  if (text.empty() || !FontsAvailable()) return;
  impl_->font = ToQFont(font);
  impl_->colour = QColor::fromRgba(font.Colour);
  const QFontMetrics metrics(impl_->font);
  impl_->ascent = metrics.ascent();
  impl_->lineHeight = metrics.ascent() + metrics.descent();

  QTextLayout& layout = impl_->layout;
  layout.setText(PrepareText(text, format));
  layout.setFont(impl_->font);
  const bool wordBreak = Has(format, kDrawTextWordBreak) && !Has(format, kDrawTextSingleLine);
  QTextOption option;
  // A word wider than the rectangle stays whole and is clipped, as designers saw it.
  option.setWrapMode(wordBreak ? QTextOption::WordWrap : QTextOption::NoWrap);
  option.setUseDesignMetrics(false);
  layout.setTextOption(option);
  layout.setCacheEnabled(true);
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    // Without word break a line ends only at a line break.
    line.setLineWidth(wordBreak ? std::max(0, width) : kUnlimitedWidth);
    line.setPosition(QPointF(0, 0));
    impl_->lineWidths.push_back(static_cast<int>(std::ceil(line.naturalTextWidth())));
  }
  layout.endLayout();
}

TTextBlock::~TTextBlock() = default;

int32_t TTextBlock::LineCount() const { return static_cast<int32_t>(impl_->lineWidths.size()); }

int32_t TTextBlock::Height() const {
  return static_cast<int32_t>(
      std::min<int64_t>(int64_t{LineCount()} * impl_->lineHeight, INT32_MAX));
}

void TTextBlock::Draw(TBitmap32& bitmap, const TRect& rect) const {
  const uint32_t format = impl_->format;
  if (LineCount() == 0 || bitmap.Empty() || Has(format, kDrawTextCalcRect)) return;
  TRect visible{0, 0, bitmap.Width(), bitmap.Height()};
  if (!Has(format, kDrawTextNoClip)) visible = IntersectRect(visible, rect);
  if (visible.IsEmpty()) return;

  QImage image(reinterpret_cast<uchar*>(bitmap.Bits()), bitmap.Width(), bitmap.Height(),
               qsizetype(bitmap.Width()) * 4, QImage::Format_ARGB32);
  QPainter painter;
  if (!painter.begin(&image)) return;
  painter.setClipRect(QRect(visible.Left, visible.Top, visible.Width(), visible.Height()));
  painter.setPen(impl_->colour);
  painter.setFont(impl_->font);

  int64_t top = rect.Top;
  if (Has(format, kDrawTextSingleLine) && Has(format, kDrawTextVCenter)) {
    top = (int64_t{rect.Top} + rect.Bottom - impl_->lineHeight) / 2;
  }
  for (int32_t i = 0; i < LineCount(); ++i, top += impl_->lineHeight) {
    if (top >= visible.Bottom) break;
    if (top + impl_->lineHeight <= visible.Top) continue;
    const int lineWidth = impl_->lineWidths[static_cast<size_t>(i)];
    int64_t left = rect.Left;
    if (Has(format, kDrawTextRight)) {
      left = int64_t{rect.Right} - lineWidth;
    } else if (Has(format, kDrawTextCenter)) {
      left = rect.Left + (int64_t{rect.Right} - rect.Left - lineWidth) / 2;
    }
    const QTextLine line = impl_->layout.lineAt(i);
    // The baseline sits at the font's ascent, also where a fallback face makes the line taller.
    const QPointF origin(double(left), double(top + impl_->ascent) - line.ascent());
    line.draw(&painter, origin);
  }
  painter.end();
}

}  // namespace nimbra
