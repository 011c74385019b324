#include "phone/standard/standard_listing.h"

#include <charconv>

#include "phone/at_exchange.h"
#include "phone/standard/standard_replies.h"
#include "text/lines.h"

namespace missivo {
namespace {

bool IsDecimal(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

int StatNumber(std::string_view text) {
  int value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : -1;
}

bool LooksLikeStamp(std::string_view field) {
  return field.find('/') != std::string_view::npos && field.find(',') != std::string_view::npos;
}

// The position of the reply's final result line: its last line that is not
// empty. A line that reads "OK" or "ERROR" before it is text of a message;
// the exchange ended the reply at its real final result. The number of lines
// when the last one is no final result (a reply cut short).
std::size_t FinalResultLine(const std::vector<std::string>& lines) {
  std::size_t last = lines.size();
  while (last > 0 && lines[last - 1].empty())
    --last;
  return last > 0 && IsFinalResultLine(lines[last - 1]) ? last - 1 : lines.size();
}

}  // namespace

std::string StatusOfStat(int stat) {
  switch (stat) {
    case 0:
      return "REC UNREAD";
    case 1:
      return "REC READ";
    case 2:
      return "STO UNSENT";
    case 3:
      return "STO SENT";
    default:
      return {};
  }
}

std::vector<PduEntry> ParsePduListing(std::string_view reply) {
  std::vector<PduEntry> entries;
  const std::vector<std::string> lines = SplitAnyBreak(reply);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto rest = AfterPrefix(lines[i], "+CMGL:");
    if (!rest) continue;
    const std::vector<std::string> fields = SplitFields(*rest);
    if (fields.size() < 2 || !IsDecimal(fields[0])) continue;
    std::size_t next = i + 1;
    while (next < lines.size() && lines[next].empty())
      ++next;
    if (next >= lines.size() || lines[next].starts_with("+CMGL:") ||
        IsFinalResultLine(lines[next])) {
      continue;
    }
    entries.push_back({fields[0], StatNumber(fields[1]), lines[next]});
    i = next;
  }
  return entries;
}

std::vector<TextEntry> ParseTextListing(std::string_view reply, std::string_view header) {
  std::vector<TextEntry> entries;
  const bool indexed = header == "+CMGL:";
  std::vector<std::string> body;
  const auto finish = [&] {
    if (entries.empty()) return;
    while (!body.empty() && body.back().empty())
      body.pop_back();
    std::string text;
    for (std::size_t k = 0; k < body.size(); ++k)
      text += (k > 0 ? "\n" : "") + body[k];
    entries.back().body = std::move(text);
    body.clear();
  };
  std::vector<std::string> lines = SplitCrLf(reply, std::string::npos);
  // The reply ends at the CR after its final result line.
  for (std::string& line : lines) {
    if (line.ends_with('\r')) line.pop_back();
  }
  const std::size_t end = FinalResultLine(lines);
  bool in_entry = false;
  for (std::size_t i = 0; i < end; ++i) {
    const std::string& line = lines[i];
    if (const auto rest = AfterPrefix(line, header)) {
      finish();
      std::vector<std::string> fields = SplitFields(*rest);
      if (!indexed) fields.insert(fields.begin(), std::string());
      if (fields.size() < 3 || (indexed && !IsDecimal(fields[0]))) {
        in_entry = false;
        continue;
      }
      TextEntry entry;
      entry.index = fields[0];
      entry.status = Unquote(fields[1]);
      entry.status_report = IsDecimal(fields[2]);
      if (!entry.status_report) {
        entry.address = Unquote(fields[2]);
        if (fields.size() > 4) {
          entry.stamp = Unquote(fields[4]);
        } else if (fields.size() == 4 && LooksLikeStamp(fields[3])) {
          entry.stamp = Unquote(fields[3]);  // no name field
        }
      }
      entries.push_back(std::move(entry));
      in_entry = true;
    } else if (in_entry) {
      body.push_back(line);
    }
  }
  if (in_entry) finish();
  return entries;
}

}  // namespace missivo
