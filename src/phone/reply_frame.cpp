#include "phone/reply_frame.h"

#include <algorithm>
#include <cctype>

#include "phone/at_exchange.h"

namespace missivo {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::toupper(static_cast<unsigned char>(a)) ==
                  std::toupper(static_cast<unsigned char>(b));
         });
}

// A line of hexadecimal digits that only an encoded body has: a PDU or a text
// in UCS2, two digits to an octet. Short lines ("1234", "CAFE") may be plain
// text and do not count.
bool IsHexLine(std::string_view line) {
  constexpr std::size_t kShortest = 8;
  return line.size() >= kShortest && line.size() % 2 == 0 &&
         std::all_of(line.begin(), line.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace

bool ListsOrReadsMessages(std::string_view command) {
  return StartsWithNoCase(command, "AT+CMGL") || StartsWithNoCase(command, "AT+CMGR") ||
         StartsWithNoCase(command, "AT+MMGL") || StartsWithNoCase(command, "AT+MMGR");
}

bool IsMessageHeader(std::string_view line) {
  return line.starts_with("+CMGL:") || line.starts_with("+CMGR:") || line.starts_with("+MMGL:") ||
         line.starts_with("+MMGR:");
}

ReplyFrame::ReplyFrame(std::string_view command) : lists_messages_(ListsOrReadsMessages(command)) {}

ReplyFrame::End ReplyFrame::Line(std::string_view line) {
  if (IsMessageHeader(line)) {
    header_seen_ = true;
    in_body_ = true;
    body_lines_ = 0;
    hex_body_ = true;
    return End::kNo;
  }
  if (IsFinalResultLine(line)) {
    if (!in_body_) return lists_messages_ && !header_seen_ ? End::kIfQuiet : End::kYes;
    return body_lines_ > 0 && hex_body_ ? End::kYes : End::kIfQuiet;
  }
  // Empty lines tell nothing: devices put them around lines of any kind.
  if (in_body_ && !line.empty()) {
    ++body_lines_;
    hex_body_ = hex_body_ && IsHexLine(line);
  }
  return End::kNo;
}

void ReplyFrame::NotTheEnd() {
  if (!in_body_) return;
  ++body_lines_;
  hex_body_ = false;
}

}  // namespace missivo
