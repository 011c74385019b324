// Sending messages through the AT exchange's prompt, against phonesim over
// real pseudo-terminals: the exact commands and PDUs, one part and three, the
// phone's refusal in words, and a hang-up after the first of three parts.
#include "phone/message_send.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "phone/delivery_reports.h"
#include "phone/device_identity.h"
#include "phone/standard/standard_profile.h"
#include "phone/ucs2.h"
#include "sms/sms_pdu.h"
#include "store/contact_fields.h"
#include "store/message_fields.h"
#include "support/phone_link.h"
#include "text/default_language.h"
#include "text/utf8.h"

namespace missivo {
namespace {

using test::PhoneLink;
using test::W;

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  for (int k = 0; k < times; ++k)
    out += piece;
  return out;
}

// The standard device of these tests: PDU mode, asked nothing about itself.
const StandardProfile& Standard() {
  static const StandardProfile profile([] {
    DeviceIdentity identity;
    identity.modes = {true, true, true};
    return identity;
  }());
  return profile;
}

// The lines of the simulator's log from the first send command on.
std::vector<std::string> Sent(const PhoneLink& link) {
  std::vector<std::string> lines;
  for (const std::string& line : link.phone.Commands()) {
    if (!line.starts_with("AT+CMGF") && !line.starts_with("AT+CSCS")) lines.push_back(line);
  }
  return lines;
}

TEST(SendRepliesTest, ReferenceAndErrorCode) {
  const struct {
    const char* name;
    std::string reply;
    std::optional<int> reference;
    std::optional<int> code;
  } cases[] = {
      {"captured prompt and reference", "> \r\n+CMGS: 183\r\nOK\r\n", 183, std::nullopt},
      {"reference with a time stamp", "\r\n+CMGS: 7,\"26/12/10,17:50:02+12\"\r\n\r\nOK\r\n", 7,
       std::nullopt},
      {"echo of the PDU before it", "0011000B91\x1A\r\n+CMGS: 0\r\n\r\nOK\r\n", 0, std::nullopt},
      {"reference past 255 is none", "\r\n+CMGS: 256\r\n\r\nOK\r\n", std::nullopt, std::nullopt},
      {"OK alone", "\r\nOK\r\n", std::nullopt, std::nullopt},
      {"network out of order", "\r\n+CMS ERROR: 38\r\n", std::nullopt, 38},
      {"equipment error", "\r\n+CME ERROR: 10\r\n", std::nullopt, 10},
      {"error code not a number", "\r\n+CMS ERROR: x\r\n", std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseMessageReference(c.reply), c.reference) << c.name;
    EXPECT_EQ(ParseErrorCode(c.reply), c.code) << c.name;
  }
  EXPECT_EQ(CmsErrorMeaning(38), "network out of order");
  EXPECT_EQ(CmsErrorMeaning(330), "service centre address unknown");
  EXPECT_EQ(CmsErrorMeaning(12345), "");
}

TEST(PromptExchangeTest, TextFollowsThePromptAndTheReplyEndsAtItsResult) {
  PhoneLink link(R"({"profile": "standard", "first_reference": 41})");
  std::string reply;
  // Valid 7-bit SUBMIT: "This is really cool ΔΔΔΔΔ" to +15556661234 (published).
  const std::string pdu =
      "0001000B915155661632F400001954747A0E4ACF41F27298CDCE83C6EF371B0481402010";
  link.exchange.ExchangeCommand("AT+CMGF=0\r", reply);
  ASSERT_TRUE(link.exchange.ExchangeWithPrompt("AT+CMGS=35\r", pdu, reply));
  EXPECT_EQ(reply, pdu + "\r\n+CMGS: 41\r\n\r\nOK\r");
  // The bytes on the line: the command with its CR alone, the PDU, Ctrl-Z.
  EXPECT_NE(link.phone.Received().find("AT+CMGS=35\r" + pdu + "\x1A"), std::string::npos);
  // A command the phone refuses gets no text.
  EXPECT_FALSE(link.exchange.ExchangeWithPrompt("AT+CMGS=3\r", pdu, reply));
  EXPECT_EQ(reply, "AT+CMGS=3\r\r\n+CMS ERROR: 304\r");
  EXPECT_EQ(link.phone.Commands().back(), "AT+CMGS=3");
  // A PDU of another length than announced is handed over and refused.
  EXPECT_TRUE(link.exchange.ExchangeWithPrompt("AT+CMGS=20\r", pdu, reply));
  EXPECT_TRUE(reply.ends_with("\r\n+CMS ERROR: 304\r")) << reply;
  // The family's phone wants UCS2 hexadecimal.
  PhoneLink family("{}");
  EXPECT_TRUE(family.exchange.ExchangeWithPrompt("AT+CMGS=\"+1555\"\r", "Hi", reply));
  EXPECT_TRUE(reply.ends_with("\r\n+CMS ERROR: 305\r")) << reply;
  EXPECT_EQ(family.phone.Commands(), (std::vector<std::string>{"AT+CMGS=\"+1555\"", "Hi^Z"}));
  EXPECT_TRUE(link.ui.messages.empty()) << "the caller reports a failed send, not the exchange";
}

TEST(SendMessageTest, OneAndThreePartsOnBothKinds) {
  const std::string long_latin = Repeat("Long message, part by part. ", 15);  // 420 septets
  const std::string long_cyrillic = Repeat("Длинное сообщение. ", 8);         // 152 UCS2 units
  const struct {
    const char* name;
    const char* scenario;
    const DeviceProfile* profile;
    std::string text;
    std::vector<int> references;
    std::vector<std::string> exact = {};  // the log from the first send command, when given
  } cases[] = {
      {"family, one part",
       R"({"first_reference": 5})",
       &FamilyProfile(),
       "Привет, мир!",
       {5},
       {"AT+CMGS=\"+15556661234\"", "041F04400438043204350442002C0020043C043804400021^Z"}},
      {"family, three messages",
       R"({"first_reference": 254})",
       &FamilyProfile(),
       long_cyrillic,
       {254, 255, 0}},
      {"standard, one 7-bit part (published PDU)",
       R"({"profile": "standard"})",
       &Standard(),
       "This is really cool ΔΔΔΔΔ",
       {1},
       {"AT+CMGS=35",
        "0001000B915155661632F400001954747A0E4ACF41F27298CDCE83C6EF371B0481402010^Z"}},
      {"standard, three 7-bit parts",
       R"({"profile": "standard", "first_reference": 9})",
       &Standard(),
       long_latin,
       {9, 10, 11}},
      {"standard, three UCS2 parts",
       R"({"profile": "standard"})",
       &Standard(),
       long_cyrillic,
       {1, 2, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PhoneLink link(c.scenario);
    const SendReport report =
        SendMessage(link.exchange, *c.profile, "+15556661234", c.text, {.reference = 0x42});
    EXPECT_TRUE(report.AllConfirmed()) << report.Summary();
    EXPECT_EQ(report.references, c.references);
    EXPECT_TRUE(report.reason.empty());
    const std::vector<std::string> sent = Sent(link);
    if (!c.exact.empty()) {
      EXPECT_EQ(sent, c.exact);
    }
    ASSERT_EQ(sent.size(), 2 * c.references.size());
    // Every part after its own command; the parts together are the text.
    std::string joined;
    for (std::size_t k = 0; k < c.references.size(); ++k) {
      const std::string& body = sent[2 * k + 1];
      ASSERT_TRUE(body.ends_with("^Z")) << body;
      const std::string hex = body.substr(0, body.size() - 2);
      if (c.profile == &FamilyProfile()) {
        EXPECT_EQ(sent[2 * k], "AT+CMGS=\"+15556661234\"");
        EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        joined += Utf16ToUtf8(DecodeUcs2Units(hex));
        continue;
      }
      EXPECT_EQ(sent[2 * k], "AT+CMGS=" + std::to_string(hex.size() / 2 - 1));
      const auto pdu = sms::DecodePdu(hex);
      ASSERT_TRUE(pdu.ok()) << pdu.message();
      EXPECT_EQ(pdu.value().address.text, "+15556661234");
      joined += pdu.value().user_data.text;
      const auto& concatenation = pdu.value().user_data.concatenation;
      if (c.references.size() == 1) {
        EXPECT_FALSE(concatenation.has_value());
      } else {
        ASSERT_TRUE(concatenation.has_value());
        EXPECT_EQ(concatenation->reference, 0x42);
        EXPECT_EQ(concatenation->total, 3);
        EXPECT_EQ(concatenation->sequence, k + 1);
      }
    }
    EXPECT_EQ(joined, c.text);
  }
}

TEST(SendMessageTest, RefusalsAndHangUpsSayWhatWent) {
  const std::string three_parts = Repeat("Long message, part by part. ", 15);
  const struct {
    const char* name;
    std::string scenario;
    std::vector<int> references;
    bool uncertain;
    std::string summary;
    std::size_t commands;  // lines the phone received in all: nothing resent
  } cases[] = {
      // Commands: AT+CMGF=0 (1), then per part AT+CMGS (2, 4, 6) and its PDU (3, 5, 7).
      {"the network refuses the first PDU",
       R"({"profile": "standard", "faults": [{"number": 3, "action": "cms_error", "code": 38}]})",
       {},
       false,
       "not sent: the phone answered +CMS ERROR: 38 (network out of order)",
       3},
      {"the second send command refused",
       R"({"profile": "standard", "faults": [{"command": "AT+CMGS*", "number": 4,
          "action": "cms_error", "code": 331}]})",
       {1},
       false,
       "part 1 of 3 confirmed (reference 1); parts 2-3 not sent: the phone answered "
       "+CMS ERROR: 331 (no network service)",
       4},
      {"hang-up while the second PDU is answered",
       R"({"profile": "standard", "hang_up_after": 5})",
       {1},
       true,
       "part 1 of 3 confirmed (reference 1); part 2 may or may not have gone; part 3 not sent: "
       "the line failed",
       5},
      {"hang-up before the second prompt: nothing more was handed over",
       R"({"profile": "standard", "hang_up_after": 4})",
       {1},
       false,
       "part 1 of 3 confirmed (reference 1); parts 2-3 not sent: the line failed",
       4},
      {"hang-up before the first prompt",
       R"({"profile": "standard", "hang_up_after": 2})",
       {},
       false,
       "not sent: the line failed",
       2},
      {"no answer to the first PDU",
       R"({"profile": "standard", "faults": [{"number": 3, "action": "silent"}]})",
       {},
       true,
       "part 1 of 3 may or may not have gone; parts 2-3 not sent: the line failed: Timeout",
       3},
      {"a reference, then ERROR",
       R"({"profile": "standard", "faults": [{"number": 3, "action": "reply",
          "reply": "\r\n+CMGS: 1\r\n\r\nERROR\r\n"}]})",
       {},
       true,
       "part 1 of 3 may or may not have gone; parts 2-3 not sent: the phone gave the reference 1, "
       "then answered ERROR",
       3},
      {"no answer to the third PDU",
       R"({"profile": "standard", "faults": [{"number": 7, "action": "silent"}]})",
       {1, 2},
       true,
       "parts 1-2 of 3 confirmed (references 1, 2); part 3 may or may not have gone: the line "
       "failed: Timeout",
       7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PhoneLink link(c.scenario);
    link.exchange.SetSilenceLimit(std::chrono::milliseconds(700));
    const SendReport report = SendMessage(link.exchange, Standard(), "+15556661234", three_parts);
    EXPECT_FALSE(report.AllConfirmed());
    EXPECT_EQ(report.parts, 3);
    EXPECT_EQ(report.references, c.references);
    EXPECT_EQ(report.uncertain, c.uncertain);
    EXPECT_TRUE(report.Summary().starts_with(c.summary)) << report.Summary();
    EXPECT_EQ(link.phone.Commands().size(), c.commands);
  }
  // One part: a reference and then an error is no "sent".
  PhoneLink link(R"({"profile": "standard", "faults": [{"number": 3, "action": "reply",
                     "reply": "\r\n+CMGS: 7\r\n\r\n+CMS ERROR: 500\r\n"}]})");
  const SendReport report = SendMessage(link.exchange, Standard(), "+15556661234", "Hi");
  EXPECT_FALSE(report.AllConfirmed());
  EXPECT_EQ(report.Summary(),
            "part 1 may or may not have gone: the phone gave the reference 7, then answered "
            "+CMS ERROR: 500 (unknown error)");
}

TEST(SendMessageTest, NothingGoesWhenThePlanCannotBeMade) {
  PhoneLink link(R"({"profile": "standard"})");
  DeviceIdentity text_only;
  text_only.modes = {true, false, true};
  const struct {
    const char* name;
    const DeviceProfile* profile;
    const char* number;
    const char* summary;
  } cases[] = {
      {"family: not a number", &FamilyProfile(), "Мама", "not sent: the recipient is not a number"},
      {"family: a quote in the number", &FamilyProfile(), "+7\"", "not sent: the recipient"},
      {"standard: not a number", &Standard(), "12ab", "not sent: "},
  };
  for (const auto& c : cases) {
    const SendReport report = SendMessage(link.exchange, *c.profile, c.number, "text");
    EXPECT_EQ(report.parts, 0) << c.name;
    EXPECT_TRUE(report.Summary().starts_with(c.summary)) << c.name << ": " << report.Summary();
  }
  const StandardProfile text_mode(text_only);
  EXPECT_EQ(SendMessage(link.exchange, text_mode, "+1555", "text").Summary(),
            "not sent: the device has no PDU mode, which sending needs");
  EXPECT_TRUE(link.phone.Commands().empty());
}

TEST(RecipientTest, NumbersAndContactNames) {
  const std::vector<Row> contacts = {
      {W("Мама"), {"+7 916 123-45-67"}, kImageContact},
      {W("Иван"), {"+79030000001"}, kImageContact},
      {W("Иван"), {"+79030000002"}, kImageContact},
      {W("Пётр"), {""}, kImageContact},
      // Both "???" in the caption: told apart by their whole names.
      MakeContactRow("王小明", "+8613812345678"),
      MakeContactRow("李小明", "+8613800000000"),
  };
  const struct {
    const char* who;
    const char* number;  // empty: an error starting with `error`
    const char* error;
  } cases[] = {
      {"+7 (916) 123-45-67", "+79161234567", ""},
      {"89161234567", "89161234567", ""},
      {"мама", "+79161234567", ""},
      {" МАМА ", "+79161234567", ""},
      {"Иван", "", "several contacts"},
      {"Петр", "", "the contact of that name has no usable number"},
      {"Никто", "", "not a number, and no contact"},
      {"李小明", "+8613800000000", ""},
      {"???", "", "not a number, and no contact"},
      {"+", "", "not a number"},
      {"++7", "", "not a number"},
      {"", "", "no recipient"},
  };
  for (const auto& c : cases) {
    const Result<std::string> number = RecipientNumber(c.who, contacts);
    if (*c.number != 0) {
      ASSERT_TRUE(number.ok()) << c.who << ": " << number.message();
      EXPECT_EQ(number.value(), c.number) << c.who;
    } else {
      ASSERT_FALSE(number.ok()) << c.who;
      EXPECT_TRUE(number.message().starts_with(c.error)) << c.who << ": " << number.message();
    }
  }
}

TEST(SentRowTest, OutgoingRowWithItsLosslessFields) {
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  const std::vector<Row> contacts = {{W("Мама"), {"+79161234567"}, kImageContact}};
  SendReport report;
  report.parts = 2;
  report.references = {7, 8};
  const Row row = MakeSentRow("+79161234567", "Привет,\nмама 👋", report, contacts, language,
                              "10/12/2026,17:50:02\r\n", "2026-12-10T17:50:02+03:00");
  EXPECT_EQ(row.caption, W("Привет,мама ?"));
  EXPECT_EQ(SubItem(row, kFrom), W("Мама (+79161234567)"));
  EXPECT_EQ(SubItem(row, kDateTime), "10/12/2026,17:50:02");
  EXPECT_EQ(SubItem(row, kType), language.LangText("Str68"));
  EXPECT_EQ(row.image, kImageOutgoing);
  const auto fields = ReadMessageFields(row);
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->kind, RowKind::kOutgoing);
  EXPECT_EQ(fields->text, "Привет,\nмама 👋");
  EXPECT_EQ(fields->number, "+79161234567");
  EXPECT_EQ(fields->time, "2026-12-10T17:50:02+03:00");
  EXPECT_EQ(fields->other,
            (std::vector<std::pair<std::string, std::string>>{{"references", "7,8"}}));
}

TEST(DeliveryTest, StatusReportsMarkTheSentRowDelivered) {
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  PhoneLink link(R"({"profile": "standard", "first_reference": 40})");
  const std::string three_parts = Repeat("Long message, part by part. ", 15);
  const SendReport report = SendMessage(link.exchange, Standard(), "+79161234567", three_parts,
                                        {.status_report = true, .reference = std::nullopt});
  ASSERT_TRUE(report.AllConfirmed()) << report.Summary();
  // Every part asked for its report (TP-SRR).
  for (const std::string& line : link.phone.Commands()) {
    if (line.ends_with("^Z")) {
      EXPECT_TRUE(sms::DecodePdu(line.substr(0, line.size() - 2)).value().status_report);
    }
  }
  std::vector<Row> archive = {
      MakeSentRow("89161234567", "older, same references", {1, {40}, {}, false}, {}, language,
                  "10/12/2026,17:00:00\r\n", "2026-12-10T17:00:00+03:00"),
      MakeSentRow("+79161234567", three_parts, report, {}, language, "10/12/2026,17:50:02\r\n",
                  "2026-12-10T17:50:02+03:00"),
  };
  const MessageReadResult read = Standard().ReadMessages(link.exchange, {}, language, link.ui);
  ASSERT_EQ(read.deliveries.size(), 3u);
  EXPECT_TRUE(read.rows.size() == 1 && BestKind(read.rows[0]) == RowKind::kOutgoing)
      << "the reports are no messages; the sent message is listed as sent";
  EXPECT_EQ(MarkDelivered(archive, read.deliveries), 3u);
  EXPECT_EQ(DeliveredTime(archive[1]), "2026-12-10T18:00:00+03:00");
  EXPECT_FALSE(DeliveredTime(archive[0]).has_value()) << "the newest row of the reference wins";
  // The reports stay on the phone: read again, they change nothing, and the
  // older message of a reused reference does not take them.
  const std::vector<Row> before = archive;
  EXPECT_EQ(MarkDelivered(archive, read.deliveries), 0u);
  EXPECT_EQ(archive, before);
}

TEST(DeliveryTest, OnlyADeliveredReportOfTheRowsReferenceAndNumberCounts) {
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  const auto sent = [&](std::vector<int> references) {
    return MakeSentRow("+79161234567", "text",
                       {static_cast<int>(references.size()), references, {}, false}, {}, language,
                       "10/12/2026,17:00:00\r\n", "2026-12-10T17:00:00+03:00");
  };
  const struct {
    const char* name;
    std::vector<int> references;
    std::vector<DeliveryNote> notes;
    bool delivered;
  } cases[] = {
      {"one part", {5}, {{5, "+79161234567", "2026-12-10T18:00:00+03:00", true}}, true},
      {"national form of the number", {5}, {{5, "89161234567", "t", true}}, true},
      {"another number", {5}, {{5, "+79160000000", "t", true}}, false},
      {"another reference", {5}, {{6, "+79161234567", "t", true}}, false},
      {"not delivered (failed or pending)", {5}, {{5, "+79161234567", "t", false}}, false},
      {"two of three parts",
       {5, 6, 7},
       {{5, "+79161234567", "t", true}, {7, "+79161234567", "t", true}},
       false},
      {"three of three",
       {5, 6, 7},
       {{5, "+79161234567", "a", true},
        {6, "+79161234567", "b", true},
        {7, "+79161234567", "c", true}},
       true},
  };
  for (const auto& c : cases) {
    std::vector<Row> rows = {sent(c.references)};
    (void)MarkDelivered(rows, c.notes);
    EXPECT_EQ(DeliveredTime(rows[0]).has_value(), c.delivered) << c.name;
  }
}

}  // namespace
}  // namespace missivo
