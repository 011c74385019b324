#include "sms_test_support.h"

#include <gtest/gtest.h>

namespace missivo::sms::test {

Pdu MustDecode(std::string_view hex, bool tpdu) {
  const Result<Pdu> decoded = tpdu ? DecodeTpdu(hex) : DecodePdu(hex);
  EXPECT_TRUE(decoded.ok()) << decoded.message() << "\n" << hex;
  return decoded.ok() ? decoded.value() : Pdu{};
}

std::string Repeat(std::string_view piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += piece;
  return text;
}

void ExpectMessage(const Pdu& pdu, const Expected& expected) {
  EXPECT_EQ(pdu.service_centre.text, expected.service_centre);
  EXPECT_EQ(pdu.address.text, expected.address);
  EXPECT_EQ(pdu.address.type, expected.address_type);
  EXPECT_EQ(pdu.service_centre_time.Iso8601(), expected.time);
  EXPECT_EQ(pdu.user_data.text, expected.text);
}

}  // namespace missivo::sms::test
