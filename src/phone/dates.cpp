#include "phone/dates.h"

#include <cstdio>

#include "text/pieces.h"

namespace missivo {
namespace {

// `zeros` "0" characters followed by `text`.
std::string ZerosBefore(std::size_t zeros, std::string_view text) {
  std::string padded(zeros, '0');
  padded.append(text);
  return padded;
}

// The piece between two separators, with a "0" in front when it is shorter than two.
std::string Between(std::string_view stamp, Pos after, Pos before) {
  std::string piece = Piece(stamp, after + 1, before - after - 1);
  return piece.size() <= 1 ? ZerosBefore(1, piece) : piece;
}

Pos FindLast(char c, std::string_view text, Pos after) {
  const std::size_t found = text.rfind(c);
  if (found == std::string_view::npos || static_cast<Pos>(found) + 1 <= after) return 0;
  return static_cast<Pos>(found) + 1;
}

std::string LeadingDigits(std::string_view text, Pos start) {
  std::string digits;
  for (Pos at = start; at <= static_cast<Pos>(text.size()); ++at) {
    const char c = CharAt(text, at);
    if (c < '0' || c > '9') break;
    digits.push_back(c);
  }
  return digits;
}

}  // namespace

std::string NormalizeDate(std::string_view stamp) {
  const auto length = static_cast<Pos>(stamp.size());
  const Pos slash1 = FindFrom("/", stamp, 1);
  const Pos slash2 = slash1 != 0 ? FindFrom("/", stamp, slash1 + 1) : 0;
  const Pos comma = slash2 != 0 ? FindFrom(",", stamp, slash2 + 1) : 0;
  const Pos colon1 = comma != 0 ? FindFrom(":", stamp, comma + 1) : 0;
  const Pos colon2 = colon1 != 0 ? FindLast(':', stamp, colon1) : 0;

  const std::string year = slash1 == 3 ? "20" + Piece(stamp, 1, 2) : Piece(stamp, slash1 - 4, 4);
  const std::string month = Between(stamp, slash1, slash2);
  const std::string day = Between(stamp, slash2, comma);
  const std::string hour = Between(stamp, comma, colon1);
  std::string minute;
  std::string second;
  if (colon2 != 0) {
    minute = Between(stamp, colon1, colon2);
    second = Piece(stamp, colon2 + 1, length - colon2);
    if (second.size() <= 1) second = ZerosBefore(2 - second.size(), second);
  } else {
    // Only hours and minutes, or no time at all.
    minute = colon1 != 0 ? LeadingDigits(stamp, colon1 + 1) : std::string();
    second = "00";
  }
  if (minute.size() < 2) minute = ZerosBefore(2 - minute.size(), minute);
  return day + "/" + month + "/" + year + "," + hour + ":" + minute + ":" + second + "\r\n";
}

std::string MakeDate(const std::tm& local) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d,%02d:%02d:%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return NormalizeDate(stamp);
}

std::string MakeDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return MakeDate(local);
}

}  // namespace missivo
