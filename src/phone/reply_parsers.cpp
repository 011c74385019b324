#include "phone/reply_parsers.h"

#include <string_view>

#include "phone/ucs2.h"
#include "text/cp1251.h"
#include "text/lines.h"
#include "text/pieces.h"

namespace missivo {
namespace {

constexpr Pos kHeaderLength = 7;  // "+CMGL: " and the like, blank included
constexpr std::size_t kLineLimit = 4096;

// A line as SplitCrLf cuts it.
std::string_view Cut(std::string_view line) {
  return line.substr(0, kLineLimit);
}

bool StartsWithEither(std::string_view line, std::string_view a, std::string_view b) {
  return line.starts_with(a) || line.starts_with(b);
}

// Positions (from 1) of the first two commas that stand outside double quotes; 0
// for one that is absent.
struct Separators {
  Pos first = 0;
  Pos second = 0;
};

Separators FindSeparators(std::string_view line) {
  Separators found;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (line[i] == ',' && !quoted) {
      const auto pos = static_cast<Pos>(i) + 1;
      if (found.first == 0) {
        found.first = pos;
      } else {
        found.second = pos;
        break;
      }
    }
  }
  return found;
}

// Where the field after the comma at `comma` starts: past the comma and the one
// blank that usually follows it. A comma followed by something else starts its
// field at once; a missing comma (0) counts as followed by a blank.
Pos FieldStart(std::string_view line, Pos comma) {
  if (comma > 0 && CharAt(line, comma + 1) != ' ') return comma + 1;
  return comma + 2;
}

// The field from `start` up to the character before `end`, without its first and
// last character (the quotes).
std::string Unquoted(std::string_view line, Pos start, Pos end) {
  return Piece(line, start + 1, end - start - 2);
}

// Whether the field from `start` up to the character before `end` is a text in
// double quotes.
bool IsQuoted(std::string_view line, Pos start, Pos end) {
  return end - start >= 2 && CharAt(line, start) == '"' && CharAt(line, end - 1) == '"';
}

}  // namespace

std::vector<ListingEntry> ParseMessageList(const std::vector<std::string>& lines) {
  std::vector<ListingEntry> entries;
  for (const auto& line : lines) {
    if (!StartsWithEither(line, "+CMGL: ", "+MMGL: ")) continue;
    const Separators commas = FindSeparators(line);
    ListingEntry entry;
    entry.index = Piece(line, kHeaderLength + 1, commas.first - kHeaderLength - 1);
    entry.status = Unquoted(line, FieldStart(line, commas.first), commas.second);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<MessageRecord> ParseMessageReplies(const std::vector<std::string>& lines) {
  std::vector<MessageRecord> records;
  const auto count = static_cast<std::ptrdiff_t>(lines.size());
  for (std::ptrdiff_t i = 0; i < count; ++i) {
    const std::string_view line = Cut(lines[static_cast<std::size_t>(i)]);
    if (!StartsWithEither(line, "+CMGR: ", "+MMGR: ")) continue;
    const auto length = static_cast<Pos>(line.size());
    const Separators commas = FindSeparators(line);
    MessageRecord record;
    const Pos sender_start = FieldStart(line, commas.first);
    const Pos sender_end = commas.second != 0 ? commas.second : length + 1;
    if (commas.first == 0 || !IsQuoted(line, kHeaderLength + 1, commas.first) ||
        !IsQuoted(line, sender_start, sender_end)) {
      record.header_readable = false;
    } else {
      record.status = Unquoted(line, kHeaderLength + 1, commas.first);
      record.sender = Unquoted(line, sender_start, sender_end);
      record.date = commas.second != 0 ? Unquoted(line, FieldStart(line, commas.second), length + 1)
                                       : std::string(kNoDateStamp);
      record.stamped = commas.second != 0;
    }
    const std::string& first = LineAt(lines, i + 1);
    std::u16string units = DecodeUcs2Units(Cut(first));
    std::u16string whole = DecodeUcs2Units(first);
    if (const std::string& next = LineAt(lines, i + 2); Cut(next) != "OK") {
      units += DecodeUcs2Units(Cut(next));
      whole += DecodeUcs2Units(next);
    }
    record.text = Ucs2UnitsToText(units);
    record.whole_text = Utf16ToUtf8(whole);
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace missivo
