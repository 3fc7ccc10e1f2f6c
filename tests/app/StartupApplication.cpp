#include "StartupApplication.h"

#include <QApplication>
#include <cstdlib>

namespace nimbra::test {

QApplication& StartupApplication() {
  static int argc = 1;
  static char name[] = "nimbra-startup-tests";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication application(argc, argv);
  return application;
}

}  // namespace nimbra::test
