// Lengths of the picture engine's settings in their units, and their conversion to pixels at a
// resolution in dots per inch.
#pragma once

#include <cstdint>

namespace nimbra {

inline constexpr uint8_t kSizeUnitCentimetres = 0;
inline constexpr uint8_t kSizeUnitMillimetres = 1;
inline constexpr uint8_t kSizeUnitDecimetres = 2;
inline constexpr uint8_t kSizeUnitInches = 3;
inline constexpr uint8_t kSizeUnitPixels = 4;

// How many of the unit make an inch. Pixels count as typographic points (72 to the inch) when a
// length in pixels is converted at all; an unknown unit counts as inches.
double UnitsPerInch(uint8_t unit);

// round(length × dotsPerInch / UnitsPerInch(unit)), halves to even.
int32_t LengthToPixels(double length, uint8_t unit, double dotsPerInch);

}  // namespace nimbra
