// Dates and times written as the album's texts show them: the German short date (dd.MM.yyyy) and
// long time (HH:mm:ss). Document variables, template variables and their stored values all go
// through here, so a date reads the same wherever it appears.
#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace nimbra {

// A date and time of day on the local clock.
struct TLocalDateTime {
  std::chrono::year_month_day Date;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

// The local date and time of a moment (seconds since 1970).
TLocalDateTime LocalDateTime(std::time_t moment);
// The local date and time now.
TLocalDateTime LocalNow();

// Two-digit day and month and a four-digit year, separated by dots.
std::string FormatShortDate(std::chrono::year_month_day date);
// Reads day.month.year (one or two digits for day and month; a two-digit year lies in 1950–2049);
// false for anything else or an impossible date.
bool ParseShortDate(const std::string& text, std::chrono::year_month_day& date);
// Two digits each, separated by colons; empty when the parts make no time of day.
std::string FormatLongTime(int hour, int minute, int second);

}  // namespace nimbra
