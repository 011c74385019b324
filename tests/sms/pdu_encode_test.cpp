// Encoding: SUBMIT parts byte for byte against published PDUs, the counts and
// part boundaries of long texts, and every encoded part decoded back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sms/sms_encode.h"
#include "sms/sms_pdu.h"
#include "sms_test_support.h"

namespace missivo::sms {
namespace {

using test::MustDecode;
using test::Repeat;

TEST(EncodeSubmitTest, PublishedSubmitPdus) {
  // ModemManager's creator tests without a service centre: "00", then the TPDU.
  const struct {
    const char* name;
    const char* recipient;
    const char* text;
    std::optional<int> validity_minutes;
    const char* hex;
  } cases[] = {
      {"7-bit, five minutes", "+15555551234",
       "Hi there...Tue 17th Jan 2012 05:30.18 pm (GMT+1) ΔΔΔΔΔ", 5,
       "0011000B915155551532F400000036C834888E2ECBCB2E978B5A2F8362373A1AA40CBB4132584C0682D574"
       "33982B8603C1DB20D4B1495DC552200804028100"},
      {"7-bit, last septet alone in its octet", "+15556661234", "This is really cool ΔΔΔΔΔ", 5,
       "0011000B915155661632F40000001954747A0E4ACF41F27298CDCE83C6EF371B0481402010"},
      {"7-bit, no validity", "+15556661234", "This is really cool ΔΔΔΔΔ", std::nullopt,
       "0001000B915155661632F400001954747A0E4ACF41F27298CDCE83C6EF371B0481402010"},
      {"UCS2", "+15555551234", "Да здравствует король, детка!", 5,
       "0011000B915155551532F40008003A041404300020043704340440043004320441044204320443043504420020"
       "043A043E0440043E043B044C002C0020043404350442043A04300021"},
  };
  for (const auto& c : cases) {
    SubmitOptions options;
    options.validity_minutes = c.validity_minutes;
    const auto parts = EncodeSubmit(c.recipient, c.text, options);
    ASSERT_TRUE(parts.ok()) << c.name << ": " << parts.message();
    ASSERT_EQ(parts.value().size(), 1u) << c.name;
    EXPECT_EQ(parts.value()[0].hex, c.hex) << c.name;
    EXPECT_EQ(parts.value()[0].tpdu_length, static_cast<int>(std::string(c.hex).size() / 2) - 1)
        << c.name;
  }
}

TEST(CountTextTest, UnitsPerPartAndParts) {
  const struct {
    const char* name;
    std::string text;
    SplitOptions options;
    Alphabet alphabet;
    const char* caption;
  } cases[] = {
      {"empty", "", {}, Alphabet::kGsm7, "0 / 160, 1 part"},
      {"compose window", Repeat("a", 143), {}, Alphabet::kGsm7, "143 / 160, 1 part"},
      {"160 septets fit one part", Repeat("a", 160), {}, Alphabet::kGsm7, "160 / 160, 1 part"},
      {"161 septets take two", Repeat("a", 161), {}, Alphabet::kGsm7, "161 / 306, 2 parts"},
      {"extension characters count twice",
       Repeat("€", 80),
       {},
       Alphabet::kGsm7,
       "160 / 160, 1 part"},
      {"one more extension character",
       Repeat("a", 159) + "]",
       {},
       Alphabet::kGsm7,
       "161 / 306, 2 parts"},
      {"three parts", Repeat("a", 307), {}, Alphabet::kGsm7, "307 / 459, 3 parts"},
      {"16-bit reference leaves 152",
       Repeat("a", 305),
       {false, true},
       Alphabet::kGsm7,
       "305 / 456, 3 parts"},
      {"70 UCS2 units fit one part", Repeat("Ж", 70), {}, Alphabet::kUcs2, "70 / 70, 1 part"},
      {"71 take two", Repeat("Ж", 71), {}, Alphabet::kUcs2, "71 / 134, 2 parts"},
      {"a pair counts two units", Repeat("a", 69) + "😘", {}, Alphabet::kUcs2, "71 / 134, 2 parts"},
      {"one non-7-bit character makes all UCS2",
       Repeat("a", 69) + "ç",
       {},
       Alphabet::kUcs2,
       "70 / 70, 1 part"},
      {"UCS2 forced", "abc", {true, false}, Alphabet::kUcs2, "3 / 70, 1 part"},
      {"invalid UTF-8 counts as U+FFFD", "a\xFF", {}, Alphabet::kUcs2, "2 / 70, 1 part"},
  };
  for (const auto& c : cases) {
    const TextCount count = CountText(c.text, c.options);
    EXPECT_EQ(count.alphabet, c.alphabet) << c.name;
    EXPECT_EQ(count.Caption(), c.caption) << c.name;
  }
}

TEST(SplitTextTest, PartsNeverEndInsideAnEscapeOrAPair) {
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> parts;
  } cases[] = {
      {"161 digits: 153 and 8",
       Repeat("0123456789", 16) + "0",
       {Repeat("0123456789", 15) + "012", "34567890"}},
      {"escape sequence moves whole to the next part",
       Repeat("a", 152) + "€" + Repeat("b", 10),
       {Repeat("a", 152), "€" + Repeat("b", 10)}},
      {"surrogate pair moves whole to the next part",
       Repeat("Ж", 66) + "😘" + Repeat("Ж", 10),
       {Repeat("Ж", 66), "😘" + Repeat("Ж", 10)}},
      {"71 UCS2 characters: 67 and 4",
       Repeat("你好", 35) + "好",
       {Repeat("你好", 33) + "你", "好你好好"}},
  };
  for (const auto& c : cases) {
    const auto parts = SplitText(c.text);
    ASSERT_TRUE(parts.ok()) << c.name;
    EXPECT_EQ(parts.value(), c.parts) << c.name;
  }
}

TEST(EncodeSubmitTest, EveryPartDecodesBackToTheText) {
  const struct {
    const char* name;
    std::string text;
    SubmitOptions options;
    Alphabet alphabet;
    std::size_t parts;
  } cases[] = {
      {"one 7-bit part with a status report and a day's validity",
       "Hello {world} €5 ^_^",
       {{}, true, 24 * 60, 0, 7},
       Alphabet::kGsm7,
       1},
      {"160 septets in one part", Repeat("z", 160), {}, Alphabet::kGsm7, 1},
      {"161 septets in two", Repeat("z", 161), {}, Alphabet::kGsm7, 2},
      {"80 extension characters in one part", Repeat("~", 80), {}, Alphabet::kGsm7, 1},
      {"an escape sequence at the boundary",
       Repeat("a", 152) + "€" + Repeat("b", 10),
       {},
       Alphabet::kGsm7,
       2},
      {"70 UCS2 units in one part", Repeat("Ж", 70), {}, Alphabet::kUcs2, 1},
      {"71 in two", Repeat("Ж", 71), {}, Alphabet::kUcs2, 2},
      {"a surrogate pair at the boundary",
       Repeat("Ж", 66) + "😘" + Repeat("Ж", 10),
       {},
       Alphabet::kUcs2,
       2},
      {"two 7-bit parts, 8-bit reference",
       Repeat("[x]", 60),
       {{}, false, {}, 0x1234, 0},
       Alphabet::kGsm7,
       2},
      {"three 7-bit parts, 16-bit reference",
       Repeat("abc€", 80),
       {{false, true}, false, {}, 0xBEEF, 0},
       Alphabet::kGsm7,
       3},
      {"three UCS2 parts with pairs", Repeat("Привет 😘 ", 20), {}, Alphabet::kUcs2, 3},
      {"two UCS2 parts, 16-bit reference",
       Repeat("你好", 40),
       {{false, true}, false, {}, 0x0102, 0},
       Alphabet::kUcs2,
       2},
      {"7-bit text sent as UCS2",
       Repeat("plain ", 20),
       {{true, false}, false, {}, 9, 0},
       Alphabet::kUcs2,
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto parts = EncodeSubmit("+79161234567", c.text, c.options);
    ASSERT_TRUE(parts.ok()) << parts.message();
    ASSERT_EQ(parts.value().size(), c.parts);
    std::vector<Pdu> pdus;
    for (const EncodedPart& part : parts.value()) {
      EXPECT_EQ(part.hex.substr(0, 2), "00");
      EXPECT_EQ(part.tpdu_length * 2 + 2, static_cast<int>(part.hex.size()));
      pdus.push_back(MustDecode(part.hex));
    }
    std::vector<const UserData*> texts;
    for (std::size_t i = 0; i < pdus.size(); ++i) {
      const Pdu& pdu = pdus[i];
      EXPECT_EQ(pdu.type, MessageType::kSubmit);
      EXPECT_EQ(pdu.address, (Address{"+79161234567", 0x91}));
      EXPECT_EQ(pdu.coding.alphabet, c.alphabet);
      EXPECT_EQ(pdu.status_report, c.options.status_report);
      EXPECT_EQ(pdu.message_reference, c.options.message_reference);
      EXPECT_EQ(pdu.validity.format,
                c.options.validity_minutes ? Validity::Format::kRelative : Validity::Format::kNone);
      if (c.parts == 1) {
        EXPECT_FALSE(pdu.user_data.concatenation.has_value());
      } else {
        const bool sixteen = c.options.split.sixteen_bit_reference;
        const std::uint16_t reference = sixteen ? c.options.reference : c.options.reference & 0xFF;
        EXPECT_EQ(pdu.user_data.concatenation,
                  (Concatenation{reference, int(c.parts), int(i) + 1, sixteen}));
      }
      texts.push_back(&pdu.user_data);
    }
    EXPECT_EQ(JoinedText(texts), c.text);
  }
}

TEST(EncodeSubmitTest, RefusesWhatCannotBeSent) {
  const struct {
    const char* name;
    std::string recipient;
    std::string text;
    const char* message;
  } cases[] = {
      {"name as recipient", "Mum", "hi", "the recipient \"Mum\" is not a phone number"},
      {"empty recipient", "", "hi", "is not a phone number"},
      {"invalid UTF-8", "+123", "ok\xC3", "the text is not UTF-8 at byte 3"},
      {"more than 255 parts", "+123", Repeat("a", 255 * 153 + 1), "needs 256 parts, more than 255"},
  };
  for (const auto& c : cases) {
    const auto parts = EncodeSubmit(c.recipient, c.text);
    ASSERT_FALSE(parts.ok()) << c.name;
    EXPECT_NE(parts.message().find(c.message), std::string::npos) << parts.message();
  }
}

TEST(EncodeDeliverTest, PartsAsAPhoneListsThem) {
  const struct {
    const char* name;
    DeliverMessage message;
    Address sender;
    std::size_t parts;
  } cases[] = {
      {"alphanumeric sender, -05:00",
       {"+79037011111", "InternetSMS", {2011, 3, 29, 19, 20, 4, -20}, "тест", {}, 0, false},
       {"InternetSMS", 0xD0},
       1},
      {"national sender, +05:45, two parts",
       {"", "89161234567", {2024, 12, 31, 23, 59, 59, 23}, Repeat("Long text ", 20), {}, 77, true},
       {"89161234567", 0x81},
       2},
      {"international sender, +13:00, three parts with a 16-bit reference",
       {"+12404492164",
        "+16175927198",
        {2025, 1, 1, 0, 0, 0, 52},
        Repeat("€", 200),
        {false, true},
        0x4242,
        false},
       {"+16175927198", 0x91},
       3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto parts = EncodeDeliver(c.message);
    ASSERT_TRUE(parts.ok()) << parts.message();
    ASSERT_EQ(parts.value().size(), c.parts);
    std::vector<Pdu> pdus;
    for (const std::string& hex : parts.value())
      pdus.push_back(MustDecode(hex));
    std::vector<const UserData*> texts;
    for (const Pdu& pdu : pdus) {
      EXPECT_EQ(pdu.type, MessageType::kDeliver);
      EXPECT_EQ(pdu.service_centre.text, c.message.service_centre);
      EXPECT_EQ(pdu.address, c.sender);
      EXPECT_EQ(pdu.service_centre_time, c.message.time);
      EXPECT_EQ(pdu.status_report, c.message.status_report_indication);
      texts.push_back(&pdu.user_data);
    }
    EXPECT_EQ(JoinedText(texts), c.message.text);
  }
}

TEST(EncodePduTest, StatusReportAndEveryValidityFormRoundTrip) {
  Pdu report;
  report.type = MessageType::kStatusReport;
  report.service_centre = Address{"+27841004005", 0x91};
  report.message_reference = 183;
  report.address = Address{"0829200000", 0xA1};
  report.service_centre_time = {2013, 7, 17, 15, 58, 9, 8};
  report.discharge_time = {2013, 7, 17, 15, 58, 14, 8};
  const auto hex = EncodePdu(report);
  ASSERT_TRUE(hex.ok()) << hex.message();
  // The published report (python-gsmmodem), byte for byte.
  EXPECT_EQ(hex.value(), "07917248014000F506B70AA18092020000317071518590803170715185418000");
  EXPECT_EQ(MustDecode(hex.value()), MustDecode(hex.value()));

  Pdu submit;
  submit.type = MessageType::kSubmit;
  submit.service_centre = Address{"", 0};
  submit.address = Address{"+123", 0x91};
  submit.user_data.text = "validity";
  Validity relative{Validity::Format::kRelative, 167, {}, {}};
  Validity absolute{Validity::Format::kAbsolute, 0, {2030, 6, 1, 8, 0, 0, -14}, {}};
  Validity enhanced{Validity::Format::kEnhanced, 0, {}, {0x01, 0x80, 0, 0, 0, 0, 0}};
  for (const Validity& validity : {relative, absolute, enhanced}) {
    submit.validity = validity;
    const auto written = EncodePdu(submit);
    ASSERT_TRUE(written.ok()) << written.message();
    const Pdu read = MustDecode(written.value());
    EXPECT_EQ(read.validity, validity);
    EXPECT_EQ(read.user_data.text, "validity");
  }
}

TEST(EncodePduTest, RefusesFieldsThatDoNotFit) {
  Pdu deliver;
  deliver.address = Address{"+123", 0x91};
  const auto refused = [&](const char* name, auto change, const char* message) {
    Pdu pdu = deliver;
    change(pdu);
    const auto written = EncodePdu(pdu);
    ASSERT_FALSE(written.ok()) << name;
    EXPECT_NE(written.message().find(message), std::string::npos) << written.message();
  };
  refused(
      "Cyrillic name", [](Pdu& p) { p.address = MakeAddress("Привет"); },
      "is not a name of up to 11 characters");
  refused(
      "name of 12", [](Pdu& p) { p.address = MakeAddress("TwelveLetter"); },
      "is not a name of up to 11 characters");
  refused(
      "letter in a number",
      [](Pdu& p) {
        p.address = Address{"+12x", 0x91};
      },
      "the sender \"+12x\" is not a phone number");
  refused(
      "Cyrillic text in 7-bit", [](Pdu& p) { p.user_data.text = "Ж"; },
      "a character outside the 7-bit alphabet");
  refused(
      "161 septets", [](Pdu& p) { p.user_data.text = Repeat("a", 161); }, "takes 161 septets");
  refused(
      "71 UCS2 units",
      [](Pdu& p) {
        p.coding = DecodeDataCoding(0x08);
        p.user_data.text = Repeat("Ж", 71);
      },
      "takes 142 octets");
  refused(
      "month 13", [](Pdu& p) { p.service_centre_time.month = 13; }, "cannot be written");
  refused(
      "part 3 of 2",
      [](Pdu& p) {
        p.user_data.concatenation = Concatenation{1, 2, 3, false};
      },
      "part 3 of 2 cannot be written");
}

TEST(RelativeValidityTest, MinutesAndOctets) {
  const struct {
    int minutes;
    std::uint8_t octet;
    int lasts;
  } cases[] = {
      {0, 0, 5},
      {5, 0, 5},
      {6, 1, 10},
      {720, 143, 720},
      {721, 144, 750},
      {1440, 167, 1440},
      {1441, 168, 2880},
      {43200, 196, 43200},
      {43201, 197, 50400},
      {635040, 255, 635040},
      {10000000, 255, 635040},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RelativeValidityOctet(c.minutes), c.octet) << c.minutes;
    EXPECT_EQ(RelativeValidityMinutes(c.octet), c.lasts) << c.minutes;
  }
}

}  // namespace
}  // namespace missivo::sms
