#include "raster/Painter.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace nimbra {

struct TPainter::TImpl {
  QImage image;
  QPainter painter;
};

namespace {

QColor ToQColor(TColor32 colour) {
  return QColor::fromRgba(colour);
}

QPolygonF ToPolygon(std::span<const TFloatPoint> points) {
  QPolygonF polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const TFloatPoint& p : points) polygon.append(QPointF(p.X, p.Y));
  return polygon;
}

QRectF ToQRect(const TFloatRect& r) {
  return QRectF(QPointF(r.Left, r.Top), QPointF(r.Right, r.Bottom)).normalized();
}

}  // namespace

TPainter::TPainter(TBitmap32& target) : impl_(std::make_unique<TImpl>()) {
  if (target.Empty()) return;
  impl_->image = QImage(reinterpret_cast<uchar*>(target.Bits()), target.Width(), target.Height(),
                        qsizetype(target.Width()) * 4, QImage::Format_ARGB32);
  if (!impl_->painter.begin(&impl_->image)) return;
  impl_->painter.setRenderHint(QPainter::Antialiasing, true);
  // Qt puts pixel (x, y) on the square from (x, y) to (x + 1, y + 1); we name its centre (x, y).
  impl_->painter.translate(0.5, 0.5);
}

TPainter::~TPainter() {
  if (impl_->painter.isActive()) impl_->painter.end();
}

bool TPainter::IsActive() const {
  return impl_->painter.isActive();
}

void TPainter::SetAntialiasing(bool on) {
  if (IsActive()) impl_->painter.setRenderHint(QPainter::Antialiasing, on);
}

void TPainter::FillEllipse(const TFloatRect& bounds, TColor32 colour) {
  if (!IsActive()) return;
  QPainterPath path;
  path.addEllipse(ToQRect(bounds));
  impl_->painter.fillPath(path, ToQColor(colour));
}

void TPainter::DrawEllipse(const TFloatRect& bounds, TColor32 colour, double width) {
  if (!IsActive()) return;
  QPainter& p = impl_->painter;
  p.setPen(QPen(ToQColor(colour), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(ToQRect(bounds));
}

void TPainter::FillPolygon(std::span<const TFloatPoint> points, TColor32 colour, TFillRule rule) {
  if (!IsActive() || points.size() < 3) return;
  QPainterPath path;
  path.addPolygon(ToPolygon(points));
  path.closeSubpath();
  path.setFillRule(rule == TFillRule::Winding ? Qt::WindingFill : Qt::OddEvenFill);
  impl_->painter.fillPath(path, ToQColor(colour));
}

void TPainter::DrawPolyline(std::span<const TFloatPoint> points, TColor32 colour, double width,
                            bool closed) {
  if (!IsActive() || points.size() < 2) return;
  QPainter& p = impl_->painter;
  p.setPen(QPen(ToQColor(colour), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  p.setBrush(Qt::NoBrush);
  const QPolygonF polygon = ToPolygon(points);
  if (closed) {
    p.drawPolygon(polygon);
  } else {
    p.drawPolyline(polygon);
  }
}

void TPainter::DrawLine(TFloatPoint from, TFloatPoint to, TColor32 colour, double width) {
  const TFloatPoint points[2] = {from, to};
  DrawPolyline(points, colour, width);
}

QPainter& TPainter::Native() {
  return impl_->painter;
}

}  // namespace nimbra
