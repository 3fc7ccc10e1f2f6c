// Qt's fonts work only while the process has a GUI application. The album has one; nimbra-kit,
// and any other program that draws pages without a display, gets an offscreen one here for as
// long as it draws.
#pragma once

namespace nimbra {

// Creates an offscreen GUI application when the process has no Qt application at all; a program
// with its own keeps it. Call on the main thread, before any thread draws text. Starts nest.
void StartFontSupport();
// Ends one start; the last deletes the application the first created, so call it after every
// thread has stopped drawing.
void StopFontSupport();

// True while a GUI application exists, so that text can be measured and drawn.
bool FontsAvailable();

}  // namespace nimbra
