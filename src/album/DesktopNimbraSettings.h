// What the album's settings frame edits: how pages change. The album's settings bag implements
// it, so the frame can live with the other frames in the widget library and know the album only
// by this interface.
#pragma once

#include <cstdint>

namespace nimbra {

// The shortest time between automatic changes, in milliseconds. Shorter ones (0 s would change the
// wallpaper at every two-second timer check) are refused in the settings dialog and read as this
// from stored settings.
inline constexpr int32_t kMinimumChangeInterval = 10000;

// 0 timed, 1 at program start, 2 never by itself.
enum class TChangeMode : uint8_t { Timed = 0, AtProgramStart = 1, Manual = 2 };

// Whether the stored byte is the mode. The byte is kept as read, since a file may hold one that is
// none of the modes, and each reader decides what such a byte means.
constexpr bool IsChangeMode(uint8_t stored, TChangeMode mode) {
  return stored == static_cast<uint8_t>(mode);
}

class IDesktopNimbraSettings {
 public:
  virtual ~IDesktopNimbraSettings() = default;
  // Milliseconds between automatic changes.
  virtual int32_t Interval() const = 0;
  virtual void SetInterval(int32_t milliseconds) = 0;
  // The stored byte; values other than those of TChangeMode may come from a file.
  virtual uint8_t ChangeMode() const = 0;
  virtual void SetChangeMode(uint8_t mode) = 0;
};

}  // namespace nimbra
