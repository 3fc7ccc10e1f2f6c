// The Qt application of the start-up tests: the album window and the program need one.
#pragma once

class QApplication;

namespace nimbra::test {

// The process's QApplication on the offscreen platform, made on first use.
QApplication& StartupApplication();

}  // namespace nimbra::test
