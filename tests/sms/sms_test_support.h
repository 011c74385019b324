// What the codec tests share: a PDU that must decode, texts made of repeats.
#pragma once

#include <string>
#include <string_view>

#include "sms/sms_pdu.h"

namespace missivo::sms::test {

// The decoded PDU (with its service-centre field, or without when `tpdu`);
// a failure to decode fails the calling test.
Pdu MustDecode(std::string_view hex, bool tpdu = false);

// `count` copies of `piece` (a UTF-8 character or more).
std::string Repeat(std::string_view piece, int count);

// The fields of a decoded text message that the tables check.
struct Expected {
  const char* service_centre;
  const char* address;
  std::uint8_t address_type;
  const char* time;  // ISO 8601
  const char* text;
};
void ExpectMessage(const Pdu& pdu, const Expected& expected);

}  // namespace missivo::sms::test
