// Parsers of the message listing and message reading replies. Pure functions:
// lines in, fields out; they never fail, a malformed line gives short or empty fields.
#pragma once

#include <string>
#include <vector>

namespace missivo {

// One header line of the listing.
struct ListingEntry {
  std::string index;   // the phone's storage index, as text
  std::string status;  // "REC READ", "REC UNREAD", "STO SENT", "STO UNSENT" or what the phone sends

  friend bool operator==(const ListingEntry&, const ListingEntry&) = default;
};

// One message of a read reply.
struct MessageRecord {
  std::string status;
  std::string sender;  // the recipient for outgoing messages
  std::string date;    // the raw time stamp, or kNoDateStamp when the header has none
  std::string text;    // decoded, control characters included
  // The whole text in UTF-8, every character, from the text lines as received
  // (not cut at 4096 characters like the lines `text` is made from).
  std::string whole_text{};
  bool stamped = false;  // the header gave a time stamp
  // false: the header line did not parse (status and sender are not both
  // quoted fields); status, sender and date are then empty and only the text counts.
  bool header_readable = true;

  friend bool operator==(const MessageRecord&, const MessageRecord&) = default;
};

// The stamp of a message whose header has no field after the sender.
inline constexpr const char* kNoDateStamp = "2006/01/01,00:00:00";

// The listing headers, in order; every other line is skipped.
//   +CMGL: 3, "REC UNREAD", "+15555550123", "2006/05/17,14:03:59"
//   +MMGL: 3,"REC UNREAD","+15555550123"
// The index is what stands between "+CMGL: " and the first comma; the status is
// the second field without its quotes. Fields are split at commas outside
// double quotes, with or without one blank after the comma.
std::vector<ListingEntry> ParseMessageList(const std::vector<std::string>& lines);

// The messages of a read reply, in order of their headers.
//   +CMGR: "REC READ", "+15555550123", "2006/05/17,14:03:59"
//   041F04400438043204350442          <- the text, UCS2 hexadecimal
//   (a long text continues on this line)
//   OK
// Status and sender are the first two fields without their quotes; the date is
// everything after the second separating comma without its first and last
// character (the quotes), so the comma inside the stamp belongs to it. With no
// second comma the sender runs to the line's second-last character and the date
// is kNoDateStamp. The text is the line after the header, joined with the next
// one unless that one is exactly "OK"; the join is made on code units, so a
// surrogate pair split over the two lines is one character. A header without a
// separating comma, or whose status or sender is not in quotes, does not parse:
// its record has only the text (header_readable false).
std::vector<MessageRecord> ParseMessageReplies(const std::vector<std::string>& lines);

}  // namespace missivo
