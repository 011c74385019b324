// The listing and reading replies taken apart as the message read does: any
// bytes give one entry per header line and one row per read header, never a
// crash or a read past a line.
#include <algorithm>

#include "fuzz_support.h"
#include "phone/message_rows.h"
#include "phone/reply_parsers.h"
#include "text/lines.h"

namespace missivo {
namespace {

std::size_t CountHeaders(const std::vector<std::string>& lines, std::string_view a,
                         std::string_view b) {
  return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const auto& line) {
    return line.starts_with(a) || line.starts_with(b);
  }));
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

void CheckListing(std::string_view reply) {
  const std::vector<std::string> lines = SplitAnyBreak(reply);
  const std::vector<ListingEntry> entries = ParseMessageList(lines);
  fuzz::Require(entries.size() == CountHeaders(lines, "+CMGL: ", "+MMGL: "),
                "one listing entry per header line");
  for (const ListingEntry& entry : entries) {
    // The index goes into the next command line: a break would start another command.
    fuzz::Require(!HasLineBreak(entry.index), "a listing index holds no line break");
    fuzz::Require(entry.index.size() <= reply.size() && entry.status.size() <= reply.size(),
                  "listing fields are pieces of the reply");
  }
}

void CheckReading(std::string_view reply) {
  const std::vector<std::string> lines = SplitCrLf(reply);
  const std::vector<MessageRecord> records = ParseMessageReplies(lines);
  fuzz::Require(records.size() == CountHeaders(lines, "+CMGR: ", "+MMGR: "),
                "one record per read header");
  for (const MessageRecord& record : records) {
    // Four hexadecimal digits per character, from at most two lines of 4096.
    fuzz::Require(record.text.size() <= 2 * 4096 / 4, "a text of at most 2048 characters");
    const Row row = MakeMessageRow(record, "1", fuzz::DefaultLanguage(), "01/01/2006,00:00:00\r\n");
    fuzz::Require(row.sub_items.size() == kMessageFieldCount, "a message row has five sub-items");
    fuzz::Require(row.sub_items[kDateTime].size() <= 19, "Date/Time is cut to 19 characters");
    fuzz::Require(std::none_of(row.caption.begin(), row.caption.end(),
                               [](char c) { return static_cast<unsigned char>(c) < 20; }),
                  "the caption holds no control character");
  }
}

void Check(std::string_view reply) {
  CheckListing(reply);
  CheckReading(reply);
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
