#include "text/iso_time.h"

#include <cstdio>

namespace missivo {
namespace {

// Reads 1 to `most` digits at the front of `text` into `value`.
bool TakeNumber(std::string_view& text, std::size_t most, int& value) {
  std::size_t used = 0;
  value = 0;
  while (used < text.size() && used < most && text[used] >= '0' && text[used] <= '9')
    value = value * 10 + (text[used++] - '0');
  text.remove_prefix(used);
  return used > 0;
}

bool TakeChar(std::string_view& text, char c) {
  if (text.empty() || text.front() != c) return false;
  text.remove_prefix(1);
  return true;
}

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::string IsoTimeOfStamp(std::string_view stamp) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  const std::size_t year_digits = stamp.find('/');
  if (year_digits != 2 && year_digits != 4) return {};
  if (!TakeNumber(stamp, year_digits, year) || !TakeChar(stamp, '/') ||
      !TakeNumber(stamp, 2, month) || !TakeChar(stamp, '/') || !TakeNumber(stamp, 2, day) ||
      !TakeChar(stamp, ',') || !TakeNumber(stamp, 2, hour) || !TakeChar(stamp, ':') ||
      !TakeNumber(stamp, 2, minute) || !TakeChar(stamp, ':') || !TakeNumber(stamp, 2, second)) {
    return {};
  }
  if (year_digits == 2) year += 2000;
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 59) {
    return {};
  }
  char iso[40];
  const int length = std::snprintf(iso, sizeof iso, "%04d-%02d-%02dT%02d:%02d:%02d", year, month,
                                   day, hour, minute, second);
  if (!stamp.empty()) {
    const char sign = stamp.front();
    stamp.remove_prefix(1);
    int quarters = 0;
    if ((sign != '+' && sign != '-') || !TakeNumber(stamp, 2, quarters) || !stamp.empty() ||
        quarters > 56) {
      return {};
    }
    std::snprintf(iso + length, sizeof iso - static_cast<std::size_t>(length), "%c%02d:%02d", sign,
                  quarters / 4, quarters % 4 * 15);
  }
  return iso;
}

std::string IsoTimeOfDateTime(std::string_view date_time) {
  if (date_time.size() >= 10 && date_time[2] == '/' && date_time[5] == '/' &&
      date_time.substr(6, 4).find_first_not_of("0123456789") == std::string_view::npos) {
    std::string stamp(date_time.substr(6, 4));
    stamp.append("/").append(date_time.substr(3, 2)).append("/").append(date_time.substr(0, 2));
    stamp.append(date_time.substr(10));
    return IsoTimeOfStamp(stamp);
  }
  return IsoTimeOfStamp(date_time);
}

}  // namespace missivo
