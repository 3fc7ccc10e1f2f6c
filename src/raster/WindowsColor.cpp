#include "raster/WindowsColor.h"

#include <array>

namespace nimbra {

namespace {

constexpr uint32_t kSystemColorFlag = 0x80000000u;

// The standard scheme's colours by index, as 0xRRGGBB.
constexpr std::array<uint32_t, 31> kSystemColors = {
    0xC8C8C8,  // scroll bar
    0x000000,  // desktop
    0x99B4D1,  // active caption
    0xBFCDDB,  // inactive caption
    0xF0F0F0,  // menu
    0xFFFFFF,  // window
    0x646464,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0x000000,  // caption text
    0xB4B4B4,  // active border
    0xF4F7FC,  // inactive border
    0xABABAB,  // application workspace
    0x3399FF,  // highlight
    0xFFFFFF,  // highlighted text
    0xF0F0F0,  // button face
    0xA0A0A0,  // button shadow
    0x6D6D6D,  // grey text
    0x000000,  // button text
    0x434E54,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x696969,  // dark 3-D shadow
    0xE3E3E3,  // 3-D light
    0x000000,  // tooltip text
    0xFFFFE1,  // tooltip background
    0x000000,  // (no colour)
    0x0066CC,  // hot-tracked item
    0xB9D1EA,  // active caption gradient
    0xD7E4F2,  // inactive caption gradient
    0x3399FF,  // menu highlight
    0xF0F0F0,  // menu bar
};

}  // namespace

TColor32 WindowsColorToColor32(int32_t color) {
  const auto value = static_cast<uint32_t>(color);
  if ((value & kSystemColorFlag) != 0) {
    const uint32_t index = value & 0xFF;
    const uint32_t rgb = index < kSystemColors.size() ? kSystemColors[index] : 0;
    return 0xFF000000u | rgb;
  }
  return Color32(static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                 static_cast<uint8_t>(value >> 16));
}

}  // namespace nimbra
