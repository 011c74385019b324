// Delivery reports: what a status report read from the phone says about a
// message sent, and the outgoing archive row it belongs to marked delivered.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "store/row.h"

namespace missivo {

// One status report read from the phone (left there as before).
struct DeliveryNote {
  int reference = 0;      // the message reference of the part it reports on
  std::string recipient;  // as the report gives it
  std::string time;       // the discharge time, ISO 8601
  bool delivered = false;
};

// The lossless fields' keys (extra header lines of store/message_fields.h) of
// a sent row: the message reference of each part ("7,8,9"), the references
// reported delivered so far, and the time the last part was delivered, set
// once every part was.
inline constexpr char kReferencesKey[] = "references";
inline constexpr char kReportedKey[] = "reported";
inline constexpr char kDeliveredKey[] = "delivered";

// Notes the delivered reports on the outgoing rows they belong to: the newest
// outgoing row whose references hold the report's reference and whose number
// ends in the same ten digits as the recipient's. A report that row has
// already noted (reports stay on the phone and come again with every read)
// changes nothing. Returns how many notes changed a row.
std::size_t MarkDelivered(std::vector<Row>& rows, const std::vector<DeliveryNote>& notes);

// When the message of an outgoing row was delivered (every part), ISO 8601.
std::optional<std::string> DeliveredTime(const Row& row);

}  // namespace missivo
