// Time stamps of the exchange formats: ISO 8601 with a zone, the archive's
// Date/Time form read in the computer's zone, and milliseconds since 1970.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "transfer/sms_record.h"

namespace missivo {

// "2026-12-10T17:43:05+03:00" (".250" after the seconds when the instant has
// milliseconds; "Z" for zone 0). Without a zone, the computer's zone at that
// instant is written.
std::string IsoTime(const SmsTime& time);

// ISO 8601 "YYYY-MM-DDThh:mm[:ss[.fff]]" with "Z", "±hh", "±hhmm" or "±hh:mm";
// a space may stand for the T. Without a zone the wall time is read in the
// computer's zone and the zone stays unknown. Nothing for other texts.
std::optional<SmsTime> ParseIsoTime(std::string_view text);

// The archive's Date/Time "dd/mm/yyyy,hh:mm:ss" read in the computer's zone
// (the zone stays unknown); nothing when it is not one.
std::optional<SmsTime> ParseArchiveDate(std::string_view date_time);

// The instant as the archive's Date/Time: in its own zone when known,
// otherwise in the computer's.
std::string ArchiveDate(const SmsTime& time);

// The instant as the computer's zone sees it, with that zone.
SmsTime InLocalZone(std::int64_t utc_ms);

}  // namespace missivo
