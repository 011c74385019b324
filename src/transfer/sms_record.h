// Messages and contacts as the exchange formats carry them, apart from the
// archive's rows: every text in UTF-8, the time as an instant with its zone.
// The format readers make these records and the writers take them; mapping
// them to and from archive rows is done in one place (archive_records.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/message_fields.h"

namespace missivo {

// An instant: milliseconds since 1970-01-01 00:00 UTC, and the zone it was
// stamped in (minutes east of UTC) when known.
struct SmsTime {
  std::int64_t utc_ms = 0;
  std::optional<int> zone_minutes;

  friend bool operator==(const SmsTime&, const SmsTime&) = default;
};

struct SmsRecord {
  RowKind kind = RowKind::kIncoming;
  std::string text;     // the whole text, line breaks kept
  std::string number;   // the other party's number as the phone or the file gave it
  std::string contact;  // the contact's name; empty when unknown
  std::string from;     // the From column of the archive (name and number once resolved)
  std::string type;     // the Type column of the archive, in the language of the row
  std::optional<SmsTime> time;
  bool read = true;
  // Where the message lives on the phone, as the archive shows it.
  std::string size;
  std::string index;
  std::vector<std::string> parts;

  friend bool operator==(const SmsRecord&, const SmsRecord&) = default;
};

// One phone number of a contact; a contact with several numbers gives several.
struct ContactRecord {
  std::string name;
  std::string number;

  friend bool operator==(const ContactRecord&, const ContactRecord&) = default;
};

}  // namespace missivo
