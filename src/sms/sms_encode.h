// Writing SMS PDUs: any decoded PDU back to hex, a text to send as the parts of
// an SMS-SUBMIT, a received message as SMS-DELIVER parts (for the simulated
// phone and tests), and the count a compose window shows. Pure: no I/O, no Qt.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "sms/sms_pdu.h"

namespace missivo::sms {

// A PDU as hex (upper case): the TPDU alone, or with its service-centre field
// first ("00" when `service_centre` is empty). The inverse of DecodeTpdu and
// DecodePdu: decoding what this gives yields the same fields. The user data is
// written in the alphabet of `coding`: UCS2 from `user_data.ucs2` when it holds
// units, else from `user_data.text`; 8-bit data from `user_data.data_hex`. Fails
// (naming the field) when a field does not fit its form: an address that is not
// digits, a character outside the 7-bit alphabet, user data over 140 octets.
// A status report for the simulated phone is a Pdu of type kStatusReport written here.
[[nodiscard]] Result<std::string> EncodeTpdu(const Pdu& pdu);
[[nodiscard]] Result<std::string> EncodePdu(const Pdu& pdu);

struct SplitOptions {
  bool force_ucs2 = false;             // UCS2 even when the 7-bit alphabet would hold the text
  bool sixteen_bit_reference = false;  // concatenation element 0x08 instead of 0x00
};

// How a text goes out: 7-bit when every character is in the default alphabet or
// its extension table (an extension character takes two septets), else UCS2.
// One part holds 160 septets or 70 UTF-16 units; each part of a longer text
// holds 153 / 67 (152 / 66 with a 16-bit reference). A part never ends inside an
// escape sequence or a surrogate pair.
struct TextCount {
  Alphabet alphabet = Alphabet::kGsm7;  // kGsm7 or kUcs2
  int used = 0;                         // septets or UTF-16 units of the whole text
  int per_part = 0;  // 160 / 70 for a text of one part, 153 / 67 (152 / 66) for more
  int parts = 1;     // an empty text is one (empty) part

  // "143 / 160, 1 part"; "200 / 306, 2 parts" (used / what the parts hold).
  std::string Caption() const;
};
// Invalid UTF-8 counts as U+FFFD, one UCS2 unit per bad byte.
TextCount CountText(std::string_view text, const SplitOptions& options = {});

// The texts of the parts a text is sent in, in order (UTF-8), as CountText counts them.
[[nodiscard]] Result<std::vector<std::string>> SplitText(std::string_view text,
                                                         const SplitOptions& options = {});

struct SubmitOptions {
  SplitOptions split;
  bool status_report = false;           // ask for a status report (TP-SRR)
  std::optional<int> validity_minutes;  // relative validity; none: no validity field
  std::uint16_t reference = 0;          // concatenation reference shared by the parts
  std::uint8_t message_reference = 0;   // TP-MR; 0 lets the phone choose
};

// One part to send: `hex` is "00" (the phone's default service centre) and the
// TPDU; `tpdu_length` is the TPDU's octets, for AT+CMGS=<length>.
struct EncodedPart {
  std::string hex;
  int tpdu_length = 0;
};

// The SMS-SUBMIT parts of a UTF-8 text to `recipient` ("+79161234567" or digits).
// A text of more than one part carries a concatenation header in each part: one
// reference, total, and the part's number from 1. Fails on a recipient that is
// not a number, text that is not UTF-8, or more than 255 parts.
[[nodiscard]] Result<std::vector<EncodedPart>> EncodeSubmit(std::string_view recipient,
                                                            std::string_view text,
                                                            const SubmitOptions& options = {});

// A received message, for the simulated phone and tests.
struct DeliverMessage {
  std::string service_centre;  // "+79037011111"; empty writes "00"
  std::string sender;          // a number, or an alphanumeric name of up to 11 characters
  Timestamp time;
  std::string text;  // UTF-8
  SplitOptions split;
  std::uint16_t reference = 0;  // concatenation reference when the text takes several parts
  bool status_report_indication = false;
};

// The SMS-DELIVER parts of a message, each as hex with its service-centre field,
// as a phone lists them in PDU mode.
[[nodiscard]] Result<std::vector<std::string>> EncodeDeliver(const DeliverMessage& message);

}  // namespace missivo::sms
