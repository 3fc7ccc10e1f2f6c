#include "render/SizeUnits.h"

#include "templates/PageGeometry.h"

namespace nimbra {

double UnitsPerInch(uint8_t unit) {
  switch (unit) {
    case kSizeUnitCentimetres: return 2.54;
    case kSizeUnitMillimetres: return 25.4;
    case kSizeUnitDecimetres: return 0.254;
    case kSizeUnitPixels: return 72;
    default: return 1;
  }
}

int32_t LengthToPixels(double length, uint8_t unit, double dotsPerInch) {
  return RoundHalfToEven(length * dotsPerInch / UnitsPerInch(unit));
}

}  // namespace nimbra
