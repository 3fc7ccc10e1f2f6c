// Choosing Qt's platform before the application object exists: without a display the album still
// renders with --once or --no-tray (headless machines, services, a stale DISPLAY after a remote
// session ended). Qt then draws offscreen, and messages go to standard error instead of message
// boxes; the tray itself refuses to start there (main.cpp).
#pragma once

namespace nimbra {

// Sets QT_QPA_PLATFORM to "offscreen" when nobody chose a platform and neither a Wayland display
// is named nor the X display can be reached.
void ChooseOffscreenPlatformWithoutDisplay();

}  // namespace nimbra
