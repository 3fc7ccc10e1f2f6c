#include "app/ScreenGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace nimbra {

namespace {

TRect DevicePixels(const QRect& rect, double ratio) {
  const auto scale = [ratio](int value) { return static_cast<int>(std::lround(value * ratio)); };
  return {scale(rect.left()), scale(rect.top()), scale(rect.left() + rect.width()),
          scale(rect.top() + rect.height())};
}

}  // namespace

std::optional<TScreenGeometry> PrimaryScreenGeometry() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return std::nullopt;
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return std::nullopt;
  const double ratio = screen->devicePixelRatio();
  TScreenGeometry geometry;
  geometry.Screen = DevicePixels(screen->geometry(), ratio);
  geometry.WorkArea = DevicePixels(screen->availableGeometry(), ratio);
  // Some desktops report no work area at all; then the page covers the screen.
  if (geometry.WorkArea.IsEmpty()) geometry.WorkArea = geometry.Screen;
  geometry.Dpi = screen->logicalDotsPerInch() * ratio;
  if (geometry.Screen.IsEmpty()) return std::nullopt;
  return geometry;
}

TScreenGeometry FixedScreenGeometry(int width, int height, double dpi) {
  TScreenGeometry geometry;
  geometry.Screen = {0, 0, width, height};
  geometry.WorkArea = geometry.Screen;
  geometry.Dpi = dpi;
  return geometry;
}

}  // namespace nimbra
