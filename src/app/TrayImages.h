// The album's pictures that ship with the program: the tray icon (a framed landscape) with its
// animation frames, shown while a page renders, and the logo of the about box. They are drawn
// rather than stored, so they are sharp at every size the desktop asks for.
#pragma once

#include <QIcon>
#include <QImage>
#include <QSize>
#include <vector>

namespace nimbra {

inline constexpr int kTrayAnimationFrames = 8;

// The still icon first, then the animation frames. Needs a QGuiApplication.
std::vector<QIcon> TrayIconFrames();
// The logo at the given size.
QImage AlbumLogo(QSize size);

}  // namespace nimbra
