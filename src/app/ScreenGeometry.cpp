#include "app/ScreenGeometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace nimbra {

namespace {

// Qt gives a screen's size in device-independent pixels but keeps its origin in device pixels, so
// that screens of different scales do not overlap; rectangles on it are scaled from that origin.
TRect DevicePixels(const QRect& rect, const QPoint& origin, double ratio) {
  const auto scale = [ratio](int value) { return static_cast<int>(std::lround(value * ratio)); };
  const int left = origin.x() + scale(rect.left() - origin.x());
  const int top = origin.y() + scale(rect.top() - origin.y());
  return {left, top, left + scale(rect.width()), top + scale(rect.height())};
}

std::optional<TScreenGeometry> GeometryOf(const QScreen& screen) {
  const double ratio = screen.devicePixelRatio();
  TScreenGeometry geometry;
  const QPoint origin = screen.geometry().topLeft();
  geometry.Screen = DevicePixels(screen.geometry(), origin, ratio);
  geometry.WorkArea = DevicePixels(screen.availableGeometry(), origin, ratio);
  // Some desktops report no work area at all; then the page covers the screen.
  if (geometry.WorkArea.IsEmpty()) geometry.WorkArea = geometry.Screen;
  geometry.Dpi = screen.logicalDotsPerInch() * ratio;
  geometry.Name = screen.name().toStdString();
  if (geometry.Screen.IsEmpty()) return std::nullopt;
  return geometry;
}

bool HasGuiApplication() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

}  // namespace

std::vector<TScreenGeometry> ScreenGeometries() {
  std::vector<TScreenGeometry> screens;
  if (!HasGuiApplication()) return screens;
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen == nullptr) continue;
    if (std::optional<TScreenGeometry> geometry = GeometryOf(*screen)) {
      screens.push_back(std::move(*geometry));
    }
  }
  std::stable_sort(screens.begin(), screens.end(), [](const auto& a, const auto& b) {
    return a.Screen.Left != b.Screen.Left ? a.Screen.Left < b.Screen.Left
                                          : a.Screen.Top < b.Screen.Top;
  });
  return screens;
}

TRect DesktopBounds(const std::vector<TScreenGeometry>& screens) {
  if (screens.empty()) return {};
  // The desktop's own origin belongs to it even where no screen starts there: the root window
  // and the desktops' spanned pictures begin at it.
  TRect bounds{0, 0, 0, 0};
  for (const TScreenGeometry& screen : screens) {
    const TRect& r = screen.Screen;
    bounds = {std::min(bounds.Left, r.Left), std::min(bounds.Top, r.Top),
              std::max(bounds.Right, r.Right), std::max(bounds.Bottom, r.Bottom)};
  }
  return bounds;
}

TScreenGeometry FixedScreenGeometry(int width, int height, double dpi) {
  TScreenGeometry geometry;
  geometry.Screen = {0, 0, width, height};
  geometry.WorkArea = geometry.Screen;
  geometry.Dpi = dpi;
  return geometry;
}

}  // namespace nimbra
