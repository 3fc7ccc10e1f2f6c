#include "app/TrayImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <numbers>

namespace nimbra {

namespace {

// The landscape in a frame; with step >= 0 a bright mark circles the sun, one eighth per step.
void DrawAlbumPicture(QPainter& painter, const QRectF& area, int step) {
  painter.setRenderHint(QPainter::Antialiasing);
  const double size = std::min(area.width(), area.height());
  const QRectF frame(area.center().x() - size / 2, area.center().y() - size / 2, size, size);
  const double border = std::max(1.0, size / 12);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x5a, 0x3b, 0x22));
  painter.drawRoundedRect(frame, border, border);
  const QRectF picture = frame.adjusted(border, border, -border, -border);
  painter.setBrush(QColor(0x7c, 0xc0, 0xf0));
  painter.drawRect(picture);
  QPainterPath hill;
  hill.moveTo(picture.left(), picture.bottom());
  hill.lineTo(picture.left(), picture.top() + picture.height() * 0.7);
  hill.quadTo(picture.left() + picture.width() * 0.45, picture.top() + picture.height() * 0.35,
              picture.right(), picture.top() + picture.height() * 0.75);
  hill.lineTo(picture.right(), picture.bottom());
  hill.closeSubpath();
  painter.setBrush(QColor(0x3f, 0x9b, 0x3a));
  painter.drawPath(hill);
  const QPointF sun(picture.left() + picture.width() * 0.72, picture.top() + picture.height() * 0.3);
  const double radius = picture.width() * 0.13;
  painter.setBrush(QColor(0xff, 0xd2, 0x3f));
  painter.drawEllipse(sun, radius, radius);
  if (step < 0) return;
  const double angle = 2 * std::numbers::pi * step / kTrayAnimationFrames;
  const QPointF mark(sun.x() + std::cos(angle) * radius * 1.8,
                     sun.y() + std::sin(angle) * radius * 1.8);
  painter.setBrush(Qt::white);
  painter.drawEllipse(mark, radius * 0.6, radius * 0.6);
}

QPixmap Frame(int size, int step) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  DrawAlbumPicture(painter, QRectF(0, 0, size, size), step);
  painter.end();
  return QPixmap::fromImage(image);
}

}  // namespace

std::vector<QIcon> TrayIconFrames() {
  std::vector<QIcon> frames;
  for (int step = -1; step < kTrayAnimationFrames; ++step) {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) icon.addPixmap(Frame(size, step));
    frames.push_back(icon);
  }
  return frames;
}

QImage AlbumLogo(QSize size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  DrawAlbumPicture(painter, QRectF(QPointF(0, 0), size), -1);
  return image;
}

}  // namespace nimbra
