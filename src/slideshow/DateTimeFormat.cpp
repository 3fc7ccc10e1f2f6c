#include "slideshow/DateTimeFormat.h"

#include <charconv>
#include <cstdio>

namespace nimbra {

namespace {

// Reads an unsigned decimal number of 1 to maxDigits digits at position at.
bool ReadNumber(const std::string& text, size_t& at, size_t maxDigits, int& value, size_t& digits) {
  const size_t start = at;
  while (at < text.size() && at - start < maxDigits && text[at] >= '0' && text[at] <= '9') ++at;
  digits = at - start;
  if (digits == 0) return false;
  return std::from_chars(text.data() + start, text.data() + at, value).ec == std::errc();
}

}  // namespace

TLocalDateTime LocalDateTime(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  return {std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                      std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                      std::chrono::day{static_cast<unsigned>(local.tm_mday)}},
          local.tm_hour, local.tm_min, local.tm_sec};
}

TLocalDateTime LocalNow() {
  return LocalDateTime(std::time(nullptr));
}

std::string FormatShortDate(std::chrono::year_month_day date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u.%02u.%04d", static_cast<unsigned>(date.day()),
                static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
  return text;
}

bool ParseShortDate(const std::string& text, std::chrono::year_month_day& date) {
  size_t at = 0;
  size_t digits = 0;
  int day = 0;
  int month = 0;
  int year = 0;
  if (!ReadNumber(text, at, 2, day, digits) || at >= text.size() || text[at++] != '.') return false;
  if (!ReadNumber(text, at, 2, month, digits) || at >= text.size() || text[at++] != '.') {
    return false;
  }
  if (!ReadNumber(text, at, 4, year, digits) || at != text.size()) return false;
  if (digits <= 2) year += year < 50 ? 2000 : 1900;
  const std::chrono::year_month_day parsed{std::chrono::year{year},
                                           std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
  if (!parsed.ok() || year < 1) return false;
  date = parsed;
  return true;
}

std::string FormatLongTime(int hour, int minute, int second) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
  return text;
}

}  // namespace nimbra
