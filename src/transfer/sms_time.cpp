#include "transfer/sms_time.h"

#include <charconv>
#include <cstdio>
#include <ctime>

namespace missivo {
namespace {

constexpr std::int64_t kMsPerSecond = 1000;

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

Civil CivilFromSeconds(std::int64_t seconds) {
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto doe = static_cast<unsigned>(days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  Civil civil;
  civil.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  civil.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  civil.year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (civil.month <= 2));
  civil.hour = static_cast<int>(rest / 3600);
  civil.minute = static_cast<int>(rest / 60 % 60);
  civil.second = static_cast<int>(rest % 60);
  return civil;
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// The computer's offset from UTC (minutes) at the instant.
int LocalOffsetMinutes(std::int64_t utc_seconds) {
  const auto t = static_cast<std::time_t>(utc_seconds);
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return 0;
  return static_cast<int>(local.tm_gmtoff / 60);
}

// The instant of a wall time in the computer's zone.
std::int64_t LocalWallToUtcSeconds(const Civil& c) {
  std::tm tm{};
  tm.tm_year = c.year - 1900;
  tm.tm_mon = c.month - 1;
  tm.tm_mday = c.day;
  tm.tm_hour = c.hour;
  tm.tm_min = c.minute;
  tm.tm_sec = c.second;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

bool Plausible(const Civil& c) {
  return c.month >= 1 && c.month <= 12 && c.day >= 1 && c.day <= 31 && c.hour <= 23 &&
         c.minute <= 59 && c.second <= 60;
}

std::int64_t UtcSecondsOf(const Civil& c) {
  return DaysFromCivil(c.year, static_cast<unsigned>(c.month), static_cast<unsigned>(c.day)) *
             86400 +
         c.hour * 3600 + c.minute * 60 + c.second;
}

}  // namespace

SmsTime InLocalZone(std::int64_t utc_ms) {
  return {utc_ms, LocalOffsetMinutes(FloorDiv(utc_ms, kMsPerSecond))};
}

std::string IsoTime(const SmsTime& time) {
  const std::int64_t seconds = FloorDiv(time.utc_ms, kMsPerSecond);
  const int ms = static_cast<int>(time.utc_ms - seconds * kMsPerSecond);
  const int zone = time.zone_minutes.value_or(LocalOffsetMinutes(seconds));
  const Civil c = CivilFromSeconds(seconds + std::int64_t{zone} * 60);
  char text[48];
  int n = std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", c.year, c.month, c.day,
                        c.hour, c.minute, c.second);
  if (ms != 0) n += std::snprintf(text + n, sizeof text - n, ".%03d", ms);
  if (zone == 0) {
    std::snprintf(text + n, sizeof text - n, "Z");
  } else {
    const int magnitude = zone < 0 ? -zone : zone;
    std::snprintf(text + n, sizeof text - n, "%c%02d:%02d", zone < 0 ? '-' : '+', magnitude / 60,
                  magnitude % 60);
  }
  return text;
}

std::optional<SmsTime> ParseIsoTime(std::string_view text) {
  Civil c;
  if (!Digits(text, 0, 4, c.year) || text.size() < 16 || text[4] != '-' || text[7] != '-' ||
      (text[10] != 'T' && text[10] != ' ') || text[13] != ':' || !Digits(text, 5, 2, c.month) ||
      !Digits(text, 8, 2, c.day) || !Digits(text, 11, 2, c.hour) ||
      !Digits(text, 14, 2, c.minute)) {
    return std::nullopt;
  }
  std::size_t at = 16;
  if (at < text.size() && text[at] == ':') {
    if (!Digits(text, at + 1, 2, c.second)) return std::nullopt;
    at += 3;
  }
  int ms = 0;
  if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
    ++at;
    int scale = 100;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
      ms += (text[at] - '0') * scale;
      scale /= 10;
      ++at;
      ++digits;
    }
    if (digits == 0) return std::nullopt;
  }
  if (!Plausible(c)) return std::nullopt;
  std::optional<int> zone;
  if (at < text.size()) {
    if (text[at] == 'Z' && at + 1 == text.size()) {
      zone = 0;
    } else if (text[at] == '+' || text[at] == '-') {
      int hours = 0, minutes = 0;
      const std::string_view rest = text.substr(at + 1);
      if (!Digits(rest, 0, 2, hours)) return std::nullopt;
      if (rest.size() == 5 && rest[2] == ':') {
        if (!Digits(rest, 3, 2, minutes)) return std::nullopt;
      } else if (rest.size() == 4) {
        if (!Digits(rest, 2, 2, minutes)) return std::nullopt;
      } else if (rest.size() != 2) {
        return std::nullopt;
      }
      if (hours > 23 || minutes > 59) return std::nullopt;
      zone = (text[at] == '-' ? -1 : 1) * (hours * 60 + minutes);
    } else {
      return std::nullopt;
    }
  }
  const std::int64_t seconds =
      zone ? UtcSecondsOf(c) - std::int64_t{*zone} * 60 : LocalWallToUtcSeconds(c);
  return SmsTime{seconds * kMsPerSecond + ms, zone};
}

std::optional<SmsTime> ParseArchiveDate(std::string_view date_time) {
  Civil c;
  if (date_time.size() < 19 || date_time[2] != '/' || date_time[5] != '/' || date_time[10] != ',' ||
      date_time[13] != ':' || date_time[16] != ':' || !Digits(date_time, 0, 2, c.day) ||
      !Digits(date_time, 3, 2, c.month) || !Digits(date_time, 6, 4, c.year) ||
      !Digits(date_time, 11, 2, c.hour) || !Digits(date_time, 14, 2, c.minute) ||
      !Digits(date_time, 17, 2, c.second) || !Plausible(c)) {
    return std::nullopt;
  }
  return SmsTime{LocalWallToUtcSeconds(c) * kMsPerSecond, std::nullopt};
}

std::string ArchiveDate(const SmsTime& time) {
  const std::int64_t seconds = FloorDiv(time.utc_ms, kMsPerSecond);
  const int zone = time.zone_minutes.value_or(LocalOffsetMinutes(seconds));
  const Civil c = CivilFromSeconds(seconds + std::int64_t{zone} * 60);
  char text[40];
  std::snprintf(text, sizeof text, "%02d/%02d/%04d,%02d:%02d:%02d", c.day, c.month, c.year, c.hour,
                c.minute, c.second);
  return text;
}

}  // namespace missivo
