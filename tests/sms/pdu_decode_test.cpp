// Decoding PDUs as phones list them: published PDUs with their decoded fields,
// time zones, coding schemes, headers, status reports, and malformed input.
// Sources of the PDUs: tests/data/sms/README.md.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "sms/sms_pdu.h"
#include "sms_test_support.h"

namespace missivo::sms {
namespace {

using test::Expected;
using test::ExpectMessage;
using test::MustDecode;

TEST(DecodePduTest, PublishedDeliverPdus) {
  const struct {
    const char* name;
    const char* hex;
    Expected expected;
  } cases[] = {
      {"7-bit with escape-table characters and a -05:00 zone (pdu1)",
       "07912104442961F4040B916171957291F800001120821105050A6AC8B2BC7C9A83C220F6DB7D2ECB41EDF27C1E"
       "3E97411BDE06754FD3D1A0F9BB5D0695F1F4B29B5C2683C6E8B03C3CA697E5F34D6AE303D1D1F2F7DD0D4ABB59"
       "A0797D8C0685E7A00028EC26832A960B28EC2683BE6050780EBA97D96C17",
       {"+12404492164", "+16175927198", 0x91, "2011-02-28T11:50:50-05:00",
        "Here's a longer message [{with some extended characters}] thrown in, such as £ and ΩΠΨ "
        "and §¿ as well."}},
      {"alphanumeric sender, UCS2 (pdu2)",
       "07919730071111F10414D04937BD2C7797E9D3E614000811309291024061080442043504410442",
       {"+79037011111", "InternetSMS", 0xD0, "2011-03-29T19:20:04+04:00", "тест"}},
      {"international sender (pdu3)",
       "07912143658709F1040B918100551512F20000111010214365000AE8329BFD4697D9EC37",
       {"+12345678901", "+18005551212", 0x91, "2011-01-01T12:34:56+00:00", "hellohello"}},
      {"national sender kept without a plus (pdu3-natl)",
       "07912143658709F1040B818100551512F20000111010214365000AE8329BFD4697D9EC37",
       {"+12345678901", "18005551212", 0x81, "2011-01-01T12:34:56+00:00", "hellohello"}},
      {"8-bit data (pdu3-8bit)",
       "07912143658709F1040B918100551512F20004111010214365000AE8329BFD4697D9EC37DE",
       {"+12345678901", "+18005551212", 0x91, "2011-01-01T12:34:56+00:00", "[binary data]"}},
      {"coding group F, class 1, CR LF and accents in 160 septets (pdu-dcsf1)",
       "07913306091093F0040485810000F111604231805180A049B7F90D9A1AA5A01668F8769BD3E4B29B9E2EB359A0"
       "3FC85D06A9C3ED707A0EA2CBC3EE79BB4CA7CBCBA05643617DA7C76990FD4D979741EE77DD5E0ED741ED371D44"
       "2E83E0E1F9BC0CD281E677D9B84C06C1DF7539E85C9097E520FB9B2E2F83C6EF369C5E064D8D52D0BC2E07DDEF"
       "77D7DC2C7799E5A0771D040FCB41F402BB0047BFDD6550B80ECAD966",
       {"+33609001390", "1800", 0x85, "2011-06-24T13:08:15+02:00",
        "Info SFR - Confidentiel, à ne jamais transmettre -\r\nVoici votre nouveau mot de passe : "
        "sw2ced pour gérer votre compte SFR sur www.sfr.fr ou par téléphone au 963"}},
      {"empty alpha field, -05:00 (Telit HE910)",
       "07916163838428F9040B916121021021F700005190514164220A23C4B0BCFD5E8740C4B0BCFD5E83C26E324819"
       "6687C9A0301D440DBBC3677918",
       {"+16363848829", "+16122001127", 0x91, "2015-09-15T14:46:22-05:00",
        "Darmok! Darmok and Jalad at Tanagra"}},
      {"half-hour zone +05:30 (India)",
       "0791198948004544040C9119894882006200007050307040042206CF35689E9603",
       {"+919884005444", "+919884280026", 0x91, "2007-05-03T07:04:40+05:30", "Ok sir"}},
      {"listing entry 1: 16-digit sender, 159 septets (South Africa)",
       "07917248010080F020109172480010359099990000312070101344809FCEF21D14769341E8B2BC0CA2BF41737A"
       "381F0211DFEE131DA4AECFE92079798C0ECBCF65D0B40A0D0E9141E9B1080ABBC9A073990ECABFEB7290BC3C46"
       "87E5E73219144ECBE9E976796594168BA06199CD1E82E86FD0B0CC660F41EDB47B0E3281A6CDE97C659497CB20"
       "72981E06D1DFA0FABC0C0ABBF3F474BBEC02514D4350180E67E75DA06199CD060D01",
       {"+27841000080", "+2784000153099999", 0x91, "2013-02-07T01:31:44+02:00",
        "New and here to stay! Don't just recharge SUPACHARGE and get your recharged "
        "airtime+FREE CellC to CellC mins & SMSs+Free data to use anytime. T&C apply. Cell C"}},
      {"listing entry 0 (South Africa)",
       "07917248014000F3240B917247587706F400003110824115248012C8329BFD06C9C373B8B82C97E741F034",
       {"+27841004003", "+27748577604", 0x91, "2013-01-28T14:51:42+02:00", "Hello raspberry pi"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Pdu pdu = MustDecode(c.hex);
    EXPECT_EQ(pdu.type, MessageType::kDeliver);
    ExpectMessage(pdu, c.expected);
  }
}

TEST(DecodePduTest, FieldsOfTheFirstOctetAndTheCodingScheme) {
  // pdu3: first octet 04 (no more messages), PID 00; the dcsf1 PDU has class 1;
  // the "-mms" variant clears bit 2 and "-nzpid" sets the PID to FF.
  const Pdu plain =
      MustDecode("07912143658709F1040B918100551512F20000111010214365000AE8329BFD4697D9EC37");
  EXPECT_FALSE(plain.more_messages);
  EXPECT_FALSE(plain.user_data_header);
  EXPECT_FALSE(plain.reply_path);
  EXPECT_EQ(plain.coding.alphabet, Alphabet::kGsm7);
  EXPECT_FALSE(plain.coding.message_class.has_value());

  const Pdu more =
      MustDecode("07912143658709F1000B918100551512F20000111010214365000AE8329BFD4697D9EC37");
  EXPECT_TRUE(more.more_messages);
  EXPECT_EQ(more.user_data.text, "hellohello");

  const Pdu pid =
      MustDecode("07912143658709F1040B918100551512F2FF00111010214365000AE8329BFD4697D9EC37");
  EXPECT_EQ(pid.protocol_id, 0xFF);
  EXPECT_EQ(pid.user_data.text, "hellohello");

  const Pdu data =
      MustDecode("07912143658709F1040B918100551512F200F4111010214365000AE8329BFD4697D9EC37DE");
  EXPECT_EQ(data.coding.alphabet, Alphabet::kData8);
  EXPECT_EQ(data.coding.message_class, 0);
  EXPECT_EQ(data.user_data.data_hex, "E8329BFD4697D9EC37DE");
  EXPECT_EQ(data.user_data.text, "[binary data]");
}

TEST(DecodePduTest, SubmitPdusAsPhonesStoreThem) {
  // A SUBMIT stored by the phone (SRR set, no validity, UCS2), and one read as a
  // bare TPDU and with a service-centre field.
  const Pdu stored = MustDecode(
      "002100098136397339F70008224F60597D4F60597D4F60597D4F60597D4F60597D4F60597D4F60"
      "597D4F60597D4F60");
  EXPECT_EQ(stored.type, MessageType::kSubmit);
  EXPECT_TRUE(stored.status_report);
  EXPECT_TRUE(stored.service_centre.text.empty());
  EXPECT_EQ(stored.address.text, "639337937");
  EXPECT_EQ(stored.validity.format, Validity::Format::kNone);
  EXPECT_EQ(stored.user_data.text, "你好你好你好你好你好你好你好你好你");

  for (const bool tpdu : {true, false}) {
    const Pdu submit = MustDecode(tpdu ? "010005912143f500000bc8329bfd06dddf723619"
                                       : "07911614220991f1010005912143f500000bc8329bfd06dddf723619",
                                  tpdu);
    EXPECT_EQ(submit.type, MessageType::kSubmit);
    EXPECT_EQ(submit.service_centre.text, tpdu ? "" : "+61412290191");
    EXPECT_EQ(submit.address.text, "+12345");
    EXPECT_EQ(submit.user_data.text, "Hello world");
  }

  // Relative validity: 0x11 announces it, octet 00 is five minutes.
  const Pdu relative =
      MustDecode("0011000B915155661632F40000001954747A0E4ACF41F27298CDCE83C6EF371B0481402010");
  EXPECT_EQ(relative.validity.format, Validity::Format::kRelative);
  EXPECT_EQ(RelativeValidityMinutes(relative.validity.relative), 5);
  EXPECT_EQ(relative.user_data.text, "This is really cool ΔΔΔΔΔ");
}

TEST(DecodePduTest, ZonesInQuarterHoursWithTheirSign) {
  // pdu3 with its zone octet (the last of the time stamp) replaced.
  const struct {
    const char* zone_octet;
    const char* time;
  } cases[] = {
      {"00", "2011-01-01T12:34:56+00:00"}, {"0A", "2011-01-01T12:34:56-05:00"},
      {"32", "2011-01-01T12:34:56+05:45"}, {"25", "2011-01-01T12:34:56+13:00"},
      {"49", "2011-01-01T12:34:56-03:30"}, {"18", "2011-01-01T12:34:56-00:15"},
      {"22", "2011-01-01T12:34:56+05:30"}, {"63", "2011-01-01T12:34:56+09:00"},
  };
  for (const auto& c : cases) {
    const std::string hex = std::string("07912143658709F1040B918100551512F20000111010214365") +
                            c.zone_octet + "0AE8329BFD4697D9EC37";
    EXPECT_EQ(MustDecode(hex).service_centre_time.Iso8601(), c.time) << c.zone_octet;
  }
}

TEST(DecodePduTest, ConcatenationByEightAndSixteenBitReferences) {
  // Two parts with IEI 00 (a real phone set the fill bit after the header to 1),
  // part 1 of 2 with IEI 08, and three UCS2 parts with IEI 00.
  const struct {
    const char* name;
    const char* hex;
    Concatenation part;
    const char* text;
  } cases[] = {
      {"8-bit reference, part 1 of 2",
       "07912160130320F5440B916171056429F5000021405291650569A00500034C0201A9E8F41C949E83C2207B599E"
       "07B1DFEE33885E9ED341E4F23C7D7697C920FA1B54C697E5E3F4BC0C6AD7D9F434081E96D341E3303C2C4EB3D3"
       "F4BC0B94A483E6E8779D4D06CDD1EF3BA80E0785E7A0B7BB0C6A97E7F3F0B9CC02B9DF7450780EA2DFDF2C5078"
       "0EA2A3CBA0BA9B5C96B3F369F71954768FDFE4B4FB0C9297E1F2F2BCECA6CF41",
       {0x4C, 2, 1, false},
       "This is a very long test designed to exercise multi part capability. It should show up as "
       "one message, not as two, as the underlying encoding represents "},
      {"8-bit reference, part 2 of 2",
       "07912160130320F6440B916171056429F5000021405291651569320500034C0202E9E8301D44479741F0B09C3E"
       "0785E56590BCCC0ED3CB6410FD0D7ABBCBA0B0FB4D4797E52E10",
       {0x4C, 2, 2, false},
       "that the parts are related to one another. "},
      {"the same part with its fill bit 0",
       "07912160130320F6440B916171056429F5000021405291651569320500034C0202E8E8301D44479741F0B09C3E"
       "0785E56590BCCC0ED3CB6410FD0D7ABBCBA0B0FB4D4797E52E10",
       {0x4C, 2, 2, false},
       "that the parts are related to one another. "},
      {"16-bit reference, part 1 of 2",
       "07911356131313F64004850120390011609232239180A006080400100201D7327BFD6EB340E2321BF46E83EA77"
       "90F59D1E97DBE1341B442F83C465763D3DA797E56537C81D0ECB41AB59CC1693C16031D96C064241E5656838AF"
       "03A96230982A269BCD462917C8FA4E8FCBED709A0D7ABBE9F6B0FB5C7683D27350984D4FABC9A0B33C4C4FCF5D"
       "20EBFB2D079DCB62793DBD06D9C36E50FB2D4E97D9A0B49B5E96BBCB",
       {0x0010, 2, 1, true},
       "Welkom, bel om uw Voicemail te beluisteren naar +31612001233 (PrePay: *100*1233#). "
       "Voicemail ontvangen is altijd gratis. Voor gebruik van mobiel interne"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Pdu pdu = MustDecode(c.hex);
    EXPECT_TRUE(pdu.user_data_header);
    ASSERT_TRUE(pdu.user_data.concatenation.has_value());
    EXPECT_EQ(*pdu.user_data.concatenation, c.part);
    EXPECT_TRUE(pdu.user_data.other_elements.empty());
    EXPECT_EQ(pdu.user_data.text, c.text);
  }
}

TEST(DecodePduTest, ThreeUcs2PartsJoinInOrder) {
  const char* const hex[] = {
      "038121F340048155550119906041001222048C0500031E0301041804420430043A002C00200410043B0435043A04"
      "410430043D04340440002000200441043B044304480430043B00200437043000200434043204350440044C044E00"
      "20002004380020002004320441043500200431043E043B044C044804350020043F0440043504380441043F043E04"
      "3B043D044F043B0441044F002000200433043D0435",
      "038121F340048155550119906041001222048C0500031E03020432043E043C002E000A041D0430043A043E043D04"
      "350446002C0020043D043500200432002004410438043B04300445002004340430043B04350435002004420435"
      "0440043F04350442044C002C0020043E043D00200441044204400435043C043804420435043B044C043D043E0020"
      "04320431043504360430043B002004320020043A043E",
      "038121F340048155550119906041001222044A0500031E0303043C043D043004420443002C0020043F043E043704"
      "300431044B0432000A0434043004360435002C002004470442043E002000200431044B043B0020043D04300433"
      "002E"};
  std::vector<Pdu> parts;
  for (const char* part : hex)
    parts.push_back(MustDecode(part));
  for (std::size_t i = 0; i < parts.size(); ++i) {
    EXPECT_EQ(parts[i].service_centre.text, "123");
    EXPECT_EQ(parts[i].address.text, "5555");
    EXPECT_EQ(parts[i].coding.alphabet, Alphabet::kUcs2);
    EXPECT_EQ(parts[i].coding.message_class, 1);
    EXPECT_EQ(parts[i].service_centre_time.Iso8601(), "2009-06-14T00:21:22+10:00");
    EXPECT_EQ(parts[i].user_data.concatenation, (Concatenation{0x1E, 3, int(i) + 1, false}));
  }
  // Joined in part order, as the caller sorts them by sequence number.
  EXPECT_EQ(JoinedText({&parts[0].user_data, &parts[1].user_data, &parts[2].user_data}),
            "Итак, Александр  слушал за дверью  и  все больше преисполнялся  гневом.\n"
            "Наконец, не в силах далее терпеть, он стремительно вбежал в комнату, позабыв\n"
            "даже, что  был наг.");
}

// A DELIVER from +16175927198 in UCS2 whose user data is `units`, optionally
// with an 8-bit concatenation header.
std::string Ucs2Deliver(const std::string& units, const std::string& header = "") {
  const std::size_t octets = (header.size() + units.size()) / 2;
  char length[3];
  std::snprintf(length, sizeof length, "%02X", static_cast<unsigned>(octets));
  return std::string("00") + (header.empty() ? "04" : "44") + "0B916171957291F8000811201011223300" +
         length + header + units;
}

TEST(DecodePduTest, SurrogatePairsWholeAndSplitBetweenParts) {
  // UCS2 user data of a real message: seven pairs D83D DE18, then a lone D83D
  // (its pair went into the next part).
  const std::string text_units =
      "005400680061006E006B00200079006F0075002E002000570065002000770069006C006C00200063006F006E0074"
      "00610063007400200079006F007500200073006F006F006E00200078006F0078006F00200078006F0078006F0020"
      "0061006E0064002000490020D83DDE18D83DDE18D83DDE18D83DDE18D83DDE18D83DDE18D83DDE18D83D";
  const Pdu cut = MustDecode(Ucs2Deliver(text_units));
  EXPECT_EQ(cut.user_data.text,
            "Thank you. We will contact you soon xoxo xoxo and I 😘😘😘😘😘😘😘\uFFFD");

  // The pair split between two parts comes back whole when the parts are joined,
  // and a part that starts with the lone low half keeps it as U+FFFD on its own.
  const Pdu first = MustDecode(Ucs2Deliver("00410042D83D", "050003070201"));
  const Pdu second = MustDecode(Ucs2Deliver("DE180043", "050003070202"));
  EXPECT_EQ(first.user_data.text, "AB\uFFFD");
  EXPECT_EQ(second.user_data.text, "\uFFFDC");
  EXPECT_EQ(JoinedText({&first.user_data, &second.user_data}), "AB😘C");
  // A missing first part leaves the lone half as U+FFFD; an odd last octet is left out.
  EXPECT_EQ(JoinedText({&second.user_data}), "\uFFFDC");
  EXPECT_EQ(MustDecode(Ucs2Deliver("0041004200")).user_data.text, "AB");
}

TEST(DecodePduTest, OtherHeaderElementsAreSkippedAndKept) {
  // A port-addressing element (05) before the concatenation, and a concatenation
  // element with a total of 0, which is to be ignored.
  const Pdu ports = MustDecode(Ucs2Deliver("0041", "0B05040B8423F00003AA0301"));
  ASSERT_TRUE(ports.user_data.concatenation.has_value());
  EXPECT_EQ(ports.user_data.concatenation->reference, 0xAA);
  ASSERT_EQ(ports.user_data.other_elements.size(), 1u);
  EXPECT_EQ(ports.user_data.other_elements[0].id, 0x05);
  EXPECT_EQ(ports.user_data.text, "A");

  const Pdu zero = MustDecode(Ucs2Deliver("0041", "050003AA0001"));
  EXPECT_FALSE(zero.user_data.concatenation.has_value());
  EXPECT_EQ(zero.user_data.other_elements.size(), 1u);
}

TEST(DecodePduTest, StatusReports) {
  const struct {
    const char* name;
    const char* hex;
    std::uint8_t reference;
    const char* recipient;
    const char* sent;
    const char* done;
    std::uint8_t status;
    StatusKind kind;
  } cases[] = {
      {"delivered (python-gsmmodem)",
       "07917248014000F506B70AA18092020000317071518590803170715185418000", 183, "0829200000",
       "2013-07-17T15:58:09+02:00", "2013-07-17T15:58:14+02:00", 0x00, StatusKind::kDelivered},
      {"still trying (ModemManager pdu-not-stored)",
       "07914356060013F1065A098136397339F7219011700463802190117004638030", 0x5A, "639337937",
       "2012-09-11T07:40:36+02:00", "2012-09-11T07:40:36+02:00", 0x30, StatusKind::kPending},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Pdu pdu = MustDecode(c.hex);
    EXPECT_EQ(pdu.type, MessageType::kStatusReport);
    EXPECT_EQ(pdu.message_reference, c.reference);
    EXPECT_EQ(pdu.address.text, c.recipient);
    EXPECT_EQ(pdu.service_centre_time.Iso8601(), c.sent);
    EXPECT_EQ(pdu.discharge_time.Iso8601(), c.done);
    EXPECT_EQ(pdu.status, c.status);
    EXPECT_EQ(StatusKindOf(pdu.status), c.kind);
  }
  // The optional parameters after the status: PID, coding and user data.
  const Pdu with_text = MustDecode(
      "000642049136195150713220052351408132200542400700040"
      "67265706F7274");
  EXPECT_EQ(with_text.status, 0x40);
  EXPECT_EQ(with_text.coding.alphabet, Alphabet::kData8);
  EXPECT_EQ(with_text.user_data.data_hex, "7265706F7274");
}

TEST(StatusMeaningTest, Values) {
  const struct {
    std::uint8_t status;
    const char* meaning;
  } cases[] = {
      {0x00, "Received by the recipient"},
      {0x02, "Replaced by the centre"},
      {0x21, "Recipient busy, the centre still tries"},
      {0x46, "Validity period expired"},
      {0x65, "Error in the recipient, the centre gave up"},
      {0x3A, "Temporary error (centre-specific value), the centre still tries"},
      {0x90, "Reserved status value"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(StatusMeaning(c.status), c.meaning) << int(c.status);
  EXPECT_EQ(StatusKindOf(0x65), StatusKind::kFailed);
}

TEST(DecodeDataCodingTest, Groups) {
  using W = DataCoding::Waiting;
  const struct {
    std::uint8_t octet;
    Alphabet alphabet;
    std::optional<int> message_class;
    std::optional<W> waiting;
  } cases[] = {
      {0x00, Alphabet::kGsm7, {}, {}},
      {0x04, Alphabet::kData8, {}, {}},
      {0x08, Alphabet::kUcs2, {}, {}},
      {0x0C, Alphabet::kGsm7, {}, {}},
      {0x10, Alphabet::kGsm7, 0, {}},
      {0x19, Alphabet::kUcs2, 1, {}},
      {0x22, Alphabet::kData8, {}, {}},
      {0x4A, Alphabet::kUcs2, {}, {}},
      {0x80, Alphabet::kGsm7, {}, {}},
      {0xC8, Alphabet::kGsm7, {}, W{true, 0, true}},
      {0xD1, Alphabet::kGsm7, {}, W{false, 1, false}},
      {0xEA, Alphabet::kUcs2, {}, W{true, 2, false}},
      {0xF1, Alphabet::kGsm7, 1, {}},
      {0xF6, Alphabet::kData8, 2, {}},
  };
  for (const auto& c : cases) {
    const DataCoding coding = DecodeDataCoding(c.octet);
    EXPECT_EQ(coding.alphabet, c.alphabet) << int(c.octet);
    EXPECT_EQ(coding.message_class, c.message_class) << int(c.octet);
    EXPECT_EQ(coding.waiting, c.waiting) << int(c.octet);
  }
  EXPECT_TRUE(DecodeDataCoding(0x22).compressed);
  EXPECT_TRUE(DecodeDataCoding(0x4A).auto_delete);
}

TEST(DecodePduTest, MalformedInputNamesWhatAndWhere) {
  const struct {
    const char* name;
    const char* hex;
    const char* message;
  } cases[] = {
      {"empty", "", "the PDU ends before the service-centre length at octet 1"},
      {"odd digits (a listing cut short)", "079100F40D11010", "odd number of hex digits (15)"},
      {"not hex", "0791G0", "character 5 of the PDU (octet 3) is not a hex digit"},
      {"service centre cut short", "07911614220991",
       "the service-centre number needs 6 octets at octet 3, 5 follow"},
      {"service centre too long", "0D91", "service-centre field of 13 octets is longer than 11"},
      {"user data one septet short (pdu-insufficient-data)",
       "07912143658709F1040B918100551512F20000111010214365000BE8329BFD4697D9EC37",
       "the user data needs 10 octets at octet 28, 9 follow"},
      {"originator of 21 digits", "00041591",
       "the originator address of 21 digits is longer than 20"},
      {"time stamp with a non-decimal digit", "00040491214300001A1010214365000AE8329BFD4697D9EC37",
       "the service-centre time stamp has the non-decimal digits 0x1A at octet 9"},
      {"month 13", "0004049121430000113110214365000AE8329BFD4697D9EC37",
       "2011-13-01T12:34:56+00:00 is not a valid time"},
      {"7-bit length over 160", "000404912143000011101021436500A1",
       "user-data length 161 is over 160"},
      {"UCS2 length over 140", "0004049121430008111010214365008D",
       "user-data length 141 is over 140 octets at octet 16"},
      {"header longer than the user data", "004404912143000811101021436500020500",
       "user-data header of 6 octets is longer than the user data of 2"},
      {"element running past the header", "0044049121430008111010214365000403000301",
       "header element 0x00 of 3 octets runs past the header at octet 18"},
      {"concatenation element of the wrong size", "00440491214300081110102143650005040002010100",
       "concatenation element 0x00 has 2 octets"},
      {"header septets over the length", "00440491214300001110102143650006050003010201",
       "user-data header takes 7 septets of the 6"},
      {"status report without its status", "000642049136195150713220052351408132200542",
       "the PDU ends before the status at octet 22"},
  };
  for (const auto& c : cases) {
    const Result<Pdu> decoded = DecodePdu(c.hex);
    ASSERT_FALSE(decoded.ok()) << c.name;
    EXPECT_NE(decoded.message().find(c.message), std::string::npos)
        << c.name << ": " << decoded.message();
  }
}

}  // namespace
}  // namespace missivo::sms
