#include "phone/unsolicited.h"

#include <algorithm>
#include <cctype>

namespace missivo {
namespace {

// The codes, each up to and including the character that ends its name.
constexpr std::string_view kCodes[] = {
    "+CMTI:",  "+CDSI:",  "+CBMI:",  "+CMT:",  "+CDS:",       "+CBM:",     "+CREG:", "+CGREG:",
    "+CEREG:", "+CRING:", "+CLIP:",  "+CUSD:", "+CIEV:",      "+CCWA:",    "^RSSI:", "^BOOT:",
    "^MODE:",  "^SRVST:", "^SIMST:", "^HCSQ:", "^DSFLOWRPT:", "^RFSWITCH:"};
constexpr std::string_view kTwoLineCodes[] = {"+CMT:", "+CDS:", "+CBM:"};
constexpr std::string_view kWholeLineCodes[] = {"RING", "^SYSSTART"};

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

// Whether the command, after its "AT", names `code` (its name without the colon):
// "AT+CREG?" names "+CREG:".
bool CommandNames(std::string_view command, std::string_view code) {
  const std::string_view name = code.substr(0, code.size() - 1);
  if (command.size() < 2 + name.size()) return false;
  const std::string_view after_at = command.substr(2);
  if (!std::equal(name.begin(), name.end(), after_at.begin(), [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) ==
               std::toupper(static_cast<unsigned char>(b));
      })) {
    return false;
  }
  // "AT+CMT" does not name "+CMTI:": the name ends where the command's name does.
  const std::size_t next = 2 + name.size();
  return next == command.size() || !std::isalpha(static_cast<unsigned char>(command[next]));
}

}  // namespace

bool IsUnsolicitedLine(std::string_view line, std::string_view command) {
  for (std::string_view whole : kWholeLineCodes) {
    if (line == whole) return true;
  }
  for (std::string_view code : kCodes) {
    if (line.starts_with(code)) return !CommandNames(command, code);
  }
  return false;
}

bool IsTwoLineUnsolicited(std::string_view line) {
  return std::any_of(std::begin(kTwoLineCodes), std::end(kTwoLineCodes),
                     [&](std::string_view code) { return line.starts_with(code); });
}

std::string WithoutUnsolicited(std::string_view reply, std::string_view command) {
  std::string kept;
  kept.reserve(reply.size());
  bool drop_next = false;
  std::size_t at = 0;
  while (at < reply.size()) {
    std::size_t end = at;
    while (end < reply.size() && !IsLineEnd(reply[end]))
      ++end;
    const std::string_view line = reply.substr(at, end - at);
    // One line end belongs to the line: CR LF, or a lone CR or LF.
    std::size_t next = end;
    if (next < reply.size()) next += reply.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    if (line.empty()) {
      kept.append(reply.substr(at, next - at));
    } else if (drop_next) {
      drop_next = false;
    } else if (IsUnsolicitedLine(line, command)) {
      drop_next = IsTwoLineUnsolicited(line);
    } else {
      kept.append(reply.substr(at, next - at));
    }
    at = next;
  }
  return kept;
}

}  // namespace missivo
