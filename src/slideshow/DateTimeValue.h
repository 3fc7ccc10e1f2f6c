// Dates and times as documents and variables use them: days since 30 December 1899 (day 0), with
// the time of day as the fraction.
#pragma once

#include <optional>

namespace nimbra {

using TDateTime = double;

// None when the parts make no valid date (years 1 to 9999) and time of day.
std::optional<TDateTime> EncodeDateTime(int year, int month, int day, int hour, int minute,
                                        int second, int millisecond = 0);

}  // namespace nimbra
