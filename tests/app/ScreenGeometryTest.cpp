#include "app/ScreenGeometry.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace nimbra {
namespace {

// Run twice: as it is, and at QT_SCALE_FACTOR=2 ("@2x"), on the offscreen platform's one screen.
TEST(ScreenGeometryTest, ScreensAreMeasuredInDevicePixelsFromTheirOrigin) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "nimbra_screen_tests";
  static char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  const QScreen& screen = *QGuiApplication::primaryScreen();
  const double ratio = screen.devicePixelRatio();
  const std::vector<TScreenGeometry> screens = ScreenGeometries();
  ASSERT_EQ(screens.size(), 1U);
  const TScreenGeometry& geometry = screens[0];
  EXPECT_EQ(geometry.Screen.Width(), std::lround(screen.geometry().width() * ratio));
  EXPECT_EQ(geometry.Screen.Height(), std::lround(screen.geometry().height() * ratio));
  EXPECT_EQ(geometry.Screen.Left, screen.geometry().left());
  EXPECT_EQ(geometry.WorkArea, geometry.Screen);  // offscreen has no panels
  EXPECT_DOUBLE_EQ(geometry.Dpi, screen.logicalDotsPerInch() * ratio);
  EXPECT_EQ(geometry.Name, screen.name().toStdString());
  EXPECT_EQ(DesktopBounds(screens), geometry.Screen);
  if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
    EXPECT_DOUBLE_EQ(ratio, 2.0);
  }
}

TEST(ScreenGeometryTest, TheDeskIsTheRectangleAroundAllScreens) {
  TScreenGeometry left;
  left.Screen = {0, 100, 1600, 1000};
  TScreenGeometry right;
  right.Screen = {1600, 0, 4160, 1440};
  EXPECT_EQ(DesktopBounds({left, right}), (TRect{0, 0, 4160, 1440}));
  EXPECT_EQ(DesktopBounds({}), TRect{});
  // A screen away from the origin still has the desktop begin there; one left of it extends it.
  right.Screen = {100, 50, 1380, 1074};
  EXPECT_EQ(DesktopBounds({right}), (TRect{0, 0, 1380, 1074}));
  left.Screen = {-1920, 0, 0, 1080};
  EXPECT_EQ(DesktopBounds({left, right}), (TRect{-1920, 0, 1380, 1080}));
}

}  // namespace
}  // namespace nimbra
