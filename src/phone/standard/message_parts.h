// The messages of a standard device as parts, and long messages joined from
// them: the parts of one message (same sender, reference and total) become one
// message with the joined text, in part order, whatever order or storages they
// came in; a missing part leaves a visible gap.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phone/message_read.h"
#include "sms/sms_pdu.h"
#include "store/row.h"

namespace missivo {

// One stored message as read: a whole message or one part of a long one.
struct MessagePart {
  PhoneSlot slot;
  std::string status;  // "REC READ", "REC UNREAD", "STO SENT", "STO UNSENT"
  std::string sender;  // as the phone gave it; the recipient of outgoing messages
  // The service centre's time stamp (incoming messages in PDU mode), or none.
  std::optional<sms::Timestamp> time;
  // The raw time stamp of a text-mode header ("07/07/05,09:56:03+08"), or empty.
  std::string stamp;
  sms::UserData data;  // the text; its concatenation element for a part of a long message
};

// What stands where a part of a long message is missing.
inline constexpr const char* kMissingPart = "[\xE2\x80\xA6]";  // "[…]" in UTF-8

// One message made of its parts.
struct JoinedMessage {
  std::vector<const MessagePart*> parts;  // in part order; the first decides status, sender, time
  std::string text;                       // UTF-8, kMissingPart for each missing part
  int total = 1;                          // parts the message has (1 for a whole message)
  std::vector<int> sequences;             // the part numbers present, in order
  bool complete = true;
};

// The gap of a missing part as the rows hold it (Windows-1251).
inline constexpr const char* kMissingPartRow = "[\x85]";

// Whether `caption` is what a row of the same message showed before all its
// parts had come: it holds a gap, and the pieces between its gaps stand in
// `complete` in the same order, the first at its start and the last at its end.
bool IsEarlierFormOf(std::string_view caption, std::string_view complete);

// Completes archive rows of long messages that had gaps: each row of `rows`
// (new rows of a read) that a gap row of `archive` with the same sender is an
// earlier form of replaces that archive row, in its place. Returns how many.
std::size_t CompleteGapRows(std::vector<Row>& archive, const std::vector<Row>& rows);

// The messages of `parts`, in the order of their first part read. Parts of a
// long message are grouped by sender, reference and total; a repeated part
// number is taken once.
std::vector<JoinedMessage> JoinParts(const std::vector<MessagePart>& parts);

}  // namespace missivo
