// SMS PDUs as data: the fields of SMS-DELIVER, SMS-SUBMIT and SMS-STATUS-REPORT,
// and the decoder that reads them from the hexadecimal form a phone gives in PDU
// mode. Pure: no I/O, no Qt. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace missivo::sms {

enum class MessageType {
  kDeliver,       // received by the phone (TP-MTI 0; the reserved value 3 is read as this too)
  kSubmit,        // written or sent by the phone (TP-MTI 1)
  kStatusReport,  // the service centre's report on a sent message (TP-MTI 2)
};

// An address field: service centre, originator, destination or recipient.
struct Address {
  // As the phone gave it: "+" and the digits for an international number (type of
  // number 1), the digits alone for national and unknown numbers ("*", "#", "a",
  // "b", "c" for the semi-octets 0xA..0xE), the decoded 7-bit name for an
  // alphanumeric address ("InternetSMS"). Empty for an absent address.
  std::string text;
  std::uint8_t type = 0x81;  // the type-of-address octet as given (0x91, 0x81, 0xD0, ...)

  bool international() const { return (type & 0x70) == 0x10; }
  bool alphanumeric() const { return (type & 0x70) == 0x50; }
  bool operator==(const Address&) const = default;
};

// The address a user types: "+" and digits is international (0x91), digits alone
// (and "*", "#") unknown type (0x81); anything else is an alphanumeric name (0xD0),
// which only an encoder of SMS-DELIVER may use.
Address MakeAddress(std::string_view text);

// A service-centre time stamp (also the discharge time and an absolute validity).
struct Timestamp {
  int year = 2000;  // 2000 + the two digits of the PDU
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int zone_quarters = 0;  // the zone in quarter hours, signed: -20 is -05:00, +23 is +05:45

  // "2011-02-28T11:50:50-05:00"
  std::string Iso8601() const;
  bool operator==(const Timestamp&) const = default;
};

enum class Alphabet { kGsm7, kData8, kUcs2 };

// The data coding scheme octet read into its parts.
struct DataCoding {
  std::uint8_t octet = 0;
  Alphabet alphabet = Alphabet::kGsm7;  // compressed text counts as 8-bit data
  std::optional<int> message_class;     // 0..3 when the scheme gives one
  bool compressed = false;
  bool auto_delete = false;  // the "marked for automatic deletion" group
  // The message waiting groups (0xC0..0xEF): an indication set or cleared.
  struct Waiting {
    bool active = false;
    int kind = 0;          // 0 voicemail, 1 fax, 2 e-mail, 3 other
    bool discard = false;  // group 0xC0: the message itself may be discarded
    bool operator==(const Waiting&) const = default;
  };
  std::optional<Waiting> waiting;

  bool operator==(const DataCoding&) const = default;
};

// The data coding octet as its parts. Reserved groups read as the 7-bit default
// alphabet, as receivers of reserved codings are to do.
DataCoding DecodeDataCoding(std::uint8_t octet);

// The validity period of an SMS-SUBMIT, in the form the first octet announces.
struct Validity {
  enum class Format { kNone, kRelative, kEnhanced, kAbsolute };
  Format format = Format::kNone;
  std::uint8_t relative = 0;           // kRelative: the octet (see RelativeValidityMinutes)
  Timestamp absolute;                  // kAbsolute
  std::vector<std::uint8_t> enhanced;  // kEnhanced: the seven octets as given
  bool operator==(const Validity&) const = default;
};

// A relative validity octet as minutes: 0..143 five-minute steps, 144..167
// half hours after 12 hours, 168..196 days, 197..255 weeks.
int RelativeValidityMinutes(std::uint8_t octet);
// The smallest relative validity octet that lasts at least `minutes` (255 = 63 weeks at most).
std::uint8_t RelativeValidityOctet(int minutes);

// The concatenation element of a user-data header: this part's place in a long message.
struct Concatenation {
  std::uint16_t reference = 0;
  int total = 0;             // parts in the message, 1..255
  int sequence = 0;          // this part, 1..total
  bool sixteen_bit = false;  // element 0x08 (16-bit reference) rather than 0x00
  bool operator==(const Concatenation&) const = default;
};

// One element of a user-data header, kept as given.
struct HeaderElement {
  std::uint8_t id = 0;
  std::vector<std::uint8_t> data;
  bool operator==(const HeaderElement&) const = default;
};

// The user data: header elements and the text.
struct UserData {
  // The text in UTF-8. 8-bit data (and compressed text) reads "[binary data]".
  // A lone half of a surrogate pair reads U+FFFD.
  std::string text;
  // UCS2 text: its UTF-16 code units as given, so that the parts of a long
  // message can be joined before decoding when a surrogate pair was split
  // between two parts (see JoinedText).
  std::u16string ucs2;
  // 8-bit data: the octets after the header, as upper-case hex.
  std::string data_hex;
  std::optional<Concatenation> concatenation;  // the first 0x00 or 0x08 element
  std::vector<HeaderElement> other_elements;   // every other element, in order
  bool operator==(const UserData&) const = default;
};

// The parts of one long message, in part order, as one UTF-8 text: UCS2 units of
// neighbouring parts are joined before decoding, so a surrogate pair split
// between two parts comes back whole.
std::string JoinedText(const std::vector<const UserData*>& parts);

// What a status report's status octet says.
enum class StatusKind {
  kDelivered,  // 0x00..0x1F: the message reached the recipient (or was replaced)
  kPending,    // 0x20..0x3F: a temporary error, the centre still tries
  kFailed,     // 0x40..0x7F and reserved values: a permanent error, or the centre gave up
};
StatusKind StatusKindOf(std::uint8_t status);
// The status octet's meaning in English, e.g. 0x00 "Received by the recipient",
// 0x46 "Validity period expired"; reserved values name their range.
std::string StatusMeaning(std::uint8_t status);

// One PDU read into its fields. Which fields are filled depends on `type`:
//   kDeliver:      originator in `address`, `service_centre_time`, user data
//   kSubmit:       `message_reference`, destination in `address`, `validity`, user data
//   kStatusReport: `message_reference`, recipient in `address`, `service_centre_time`,
//                  `discharge_time`, `status`; user data only when the report has some
struct Pdu {
  MessageType type = MessageType::kDeliver;
  Address service_centre;  // empty text when absent or "00" (the phone's default)

  // The first octet and its flags (bit 2 is TP-MMS for DELIVER and STATUS-REPORT,
  // where a set bit means no more messages wait, and TP-RD for SUBMIT).
  std::uint8_t first_octet = 0;
  bool more_messages = false;      // DELIVER, STATUS-REPORT: bit 2 clear
  bool reject_duplicates = false;  // SUBMIT: bit 2 set
  bool status_report = false;      // bit 5: SRI (DELIVER), SRR (SUBMIT), SRQ (STATUS-REPORT)
  bool user_data_header = false;   // bit 6: UDHI
  bool reply_path = false;         // bit 7: RP

  std::uint8_t message_reference = 0;
  Address address;
  std::uint8_t protocol_id = 0;
  DataCoding coding;
  Timestamp service_centre_time;
  Timestamp discharge_time;
  std::uint8_t status = 0;
  Validity validity;
  UserData user_data;

  bool operator==(const Pdu&) const = default;
};

// A PDU from a +CMGL or +CMGR reply in PDU mode: the service-centre address
// field first (length octet, type, semi-octets; "00" for none), then the TPDU.
//   "07919730071111F10414D04937BD2C7797E9D3E614000811309291024061080442043504410442"
//   -> DELIVER from "InternetSMS", 2011-03-29 19:20:04 +04:00, UCS2 "тест"
// Upper- or lower-case hex, nothing else. Any malformed input gives a failure
// naming what was wrong and at which octet, counted from 1 ("the originator
// address needs 6 octets at octet 5, 2 follow"); octets after the user data are
// ignored.
[[nodiscard]] Result<Pdu> DecodePdu(std::string_view hex);

// The same without the service-centre field, for callers that know the PDU
// starts with the first octet (the TPDU; `AT+CMGS` takes this length).
//   "01000B916171957291F8000005E8329BFD06"  (SUBMIT to +16175927198, "hello")
[[nodiscard]] Result<Pdu> DecodeTpdu(std::string_view hex);

}  // namespace missivo::sms
